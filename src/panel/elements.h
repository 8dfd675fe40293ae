#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/date.h"
#include "panel/element.h"
#include "panel/element_definition.h"
#include "panel/text_metrics.h"

namespace infotrakon::panel {

class Label final : public Element {
  public:
    Label(const ElementDefinition& definition, const TextMetrics& metrics);
    ElementOfKind AsKind() const override { return this; }

    const std::string& caption() const { return caption_; }
    // An auto-size label takes the size of its new caption; its Left and Top stay.
    void SetCaption(std::string caption);
    Alignment alignment() const { return alignment_; }
    bool autoSize() const { return autoSize_; }
    bool transparent() const { return transparent_; }
    const Font& font() const { return font_; }

  private:
    void FitToCaption();
    std::string caption_;
    Alignment alignment_;
    bool autoSize_;
    bool transparent_;
    Font font_;
    const TextMetrics* metrics_;
};

class OptionGroup;

class OptionButton final : public Element {
  public:
    explicit OptionButton(const ElementDefinition& definition);
    ElementOfKind AsKind() const override { return this; }

    const std::string& caption() const { return caption_; }
    bool value() const { return value_; }
    Colour backColour() const { return backColour_; }
    const Font& font() const { return font_; }
    // Chooses this button in its group, as the user's click does, and raises its click.
    void Choose();
    void SetClickHandler(ClickHandler handler) { click_ = std::move(handler); }

  private:
    friend class OptionGroup;
    void SetValueQuietly(bool value);
    std::string caption_;
    Font font_;
    Colour backColour_;
    bool value_;
    OptionGroup* group_ = nullptr;
    ClickHandler click_;
};

// Exactly one button of the group is chosen at any time.
class OptionGroup {
  public:
    // A button chosen at design becomes the group's chosen one.
    void Add(OptionButton& button);
    void Select(OptionButton& chosen);

  private:
    std::vector<OptionButton*> buttons_;
};

class ComboBox final : public Element {
  public:
    explicit ComboBox(const ElementDefinition& definition);
    ElementOfKind AsKind() const override { return this; }

    ComboStyle style() const { return style_; }
    const std::vector<ComboItem>& items() const { return items_; }
    int listIndex() const { return listIndex_; }
    const std::string& text() const { return text_; }
    const Font& font() const { return font_; }
    // Selects item `index` (-1 for none) and raises the click, as the platform's combo box
    // does when a program writes ListIndex; an index outside the items is refused.
    void SetListIndex(int index);
    void SetClickHandler(ClickHandler handler) { click_ = std::move(handler); }

  private:
    ComboStyle style_;
    std::vector<ComboItem> items_;
    int listIndex_ = -1;
    std::string text_;
    Font font_;
    ClickHandler click_;
};

class CommandButton final : public Element {
  public:
    explicit CommandButton(const ElementDefinition& definition);
    ElementOfKind AsKind() const override { return this; }

    const std::string& caption() const { return caption_; }
    Colour backColour() const { return backColour_; }
    bool hasPicture() const { return hasPicture_; }
    // Raises the click, as the user's press does.
    void Click();
    void SetClickHandler(ClickHandler handler) { click_ = std::move(handler); }

  private:
    std::string caption_;
    Colour backColour_;
    bool hasPicture_;
    ClickHandler click_;
};

struct ListItem {
    std::string text;
    std::array<std::string, 4> subItems;
};

class ListView final : public Element {
  public:
    static constexpr int kSubItemCount = 4;

    explicit ListView(const ElementDefinition& definition);
    ElementOfKind AsKind() const override { return this; }

    const std::vector<ColumnHeader>& columns() const { return columns_; }
    const std::vector<ListItem>& items() const { return items_; }
    const Font& font() const { return font_; }
    Colour backColour() const { return kSystemWindow; }

    // A list cannot be narrower or lower than nothing: a negative width or height is
    // refused with an invalid-property-value error and the list keeps its size.
    void SetWidth(Twips width) override;
    void SetHeight(Twips height) override;

    // ColumnHeaders(index).Width, index from 1. A negative width is taken as 0: the column
    // is hidden, as a column of width 0 is, and the widths after it are still set.
    void SetColumnWidth(int index, Twips width);
    Twips ColumnWidth(int index) const;

    void ClearItems();
    // Appends a row and gives back its index in items().
    std::size_t AddItem(std::string text);
    // SubItems(i), i from 1 to 4, of row `row`.
    void SetSubItem(std::size_t row, int index, std::string text);
    const std::string& SubItem(std::size_t row, int index) const;

  private:
    void RowsChanged(RowChange change) const;
    std::size_t CheckedColumn(int index) const;
    std::size_t CheckedRow(std::size_t row) const;
    std::vector<ColumnHeader> columns_;
    std::vector<ListItem> items_;
    Font font_;
};

class DatePicker final : public Element {
  public:
    explicit DatePicker(const ElementDefinition& definition);
    ElementOfKind AsKind() const override { return this; }

    const Date& value() const { return value_; }
    int year() const { return value_.year(); }
    const Date& minDate() const { return minDate_; }
    const Date& maxDate() const { return maxDate_; }
    // Dates outside 1 January 1601 .. 31 December 9999 are refused.
    void SetValue(const Date& date);

  private:
    Date value_;
    Date minDate_;
    Date maxDate_;
};

class DataGrid final : public Element {
  public:
    explicit DataGrid(const ElementDefinition& definition)
        : Element(definition), font_(definition.font) {}
    ElementOfKind AsKind() const override { return this; }
    const Font& font() const { return font_; }

  private:
    Font font_;
};

class FileDialog final : public Element {
  public:
    explicit FileDialog(const ElementDefinition& definition)
        : Element(definition), settings_(definition.dialog) {}
    ElementOfKind AsKind() const override { return this; }
    const FileDialogSettings& settings() const { return settings_; }

  private:
    FileDialogSettings settings_;
};

}  // namespace infotrakon::panel
