#include "panel/elements.h"

#include "core/error.h"

namespace infotrakon::panel {
namespace {

[[noreturn]] void Refuse(const Element& element, const std::string& what) {
    throw Error(error_number::kInvalidPropertyValue,
                "Invalid property value: " + element.name() + " " + what);
}

}  // namespace

Label::Label(const ElementDefinition& definition, const TextMetrics& metrics)
    : Element(definition),
      caption_(definition.caption),
      alignment_(definition.alignment),
      autoSize_(definition.autoSize),
      transparent_(definition.transparent),
      font_(definition.font),
      metrics_(&metrics) {}

void Label::SetCaption(std::string caption) {
    caption_ = std::move(caption);
    FitToCaption();
    Changed();
}

void Label::FitToCaption() {
    if (!autoSize_) return;
    const TextSize size = metrics_->Measure(caption_, font_);
    SetSize(size.width, size.height);
}

OptionButton::OptionButton(const ElementDefinition& definition)
    : Element(definition),
      caption_(definition.caption),
      font_(definition.font),
      backColour_(definition.backColour),
      value_(definition.chosen) {}

void OptionButton::Choose() {
    if (group_ != nullptr) {
        group_->Select(*this);
    } else {
        SetValueQuietly(true);
    }
    if (click_) click_();
}

void OptionButton::SetValueQuietly(bool value) {
    if (value_ == value) return;
    value_ = value;
    Changed();
}

void OptionGroup::Add(OptionButton& button) {
    buttons_.push_back(&button);
    button.group_ = this;
    if (button.value()) Select(button);
}

void OptionGroup::Select(OptionButton& chosen) {
    // Clear the others first, so that an observer never sees two chosen buttons.
    for (OptionButton* button : buttons_)
        if (button != &chosen) button->SetValueQuietly(false);
    chosen.SetValueQuietly(true);
}

ComboBox::ComboBox(const ElementDefinition& definition)
    : Element(definition),
      style_(definition.style),
      items_(definition.items),
      text_(definition.caption),
      font_(definition.font) {}

void ComboBox::SetListIndex(int index) {
    if (index < -1 || index >= static_cast<int>(items_.size()))
        Refuse(*this, "ListIndex " + std::to_string(index) + ": the combo box has " +
                          std::to_string(items_.size()) + " items");
    listIndex_ = index;
    if (index >= 0) {
        text_ = items_[static_cast<std::size_t>(index)].text;
    } else if (style_ == ComboStyle::kDropdownList) {
        text_.clear();
    }
    Changed();
    if (click_) click_();
}

CommandButton::CommandButton(const ElementDefinition& definition)
    : Element(definition),
      caption_(definition.caption),
      backColour_(definition.backColour),
      hasPicture_(definition.picture) {}

void CommandButton::Click() {
    if (click_) click_();
}

ListView::ListView(const ElementDefinition& definition)
    : Element(definition), columns_(definition.columns), font_(definition.font) {}

void ListView::SetWidth(Twips width) {
    if (width < 0) Refuse(*this, "Width " + std::to_string(width) + ": must not be negative");
    Element::SetWidth(width);
}

void ListView::SetHeight(Twips height) {
    if (height < 0) Refuse(*this, "Height " + std::to_string(height) + ": must not be negative");
    Element::SetHeight(height);
}

std::size_t ListView::CheckedColumn(int index) const {
    if (index < 1 || index > static_cast<int>(columns_.size()))
        throw Error(error_number::kSubscriptOutOfRange,
                    "Index out of bounds: " + name() + " has no column " + std::to_string(index));
    return static_cast<std::size_t>(index - 1);
}

std::size_t ListView::CheckedRow(std::size_t row) const {
    if (row >= items_.size())
        throw Error(error_number::kSubscriptOutOfRange,
                    "Index out of bounds: " + name() + " has no row " + std::to_string(row + 1));
    return row;
}

void ListView::SetColumnWidth(int index, Twips width) {
    const std::size_t column = CheckedColumn(index);
    RequireFinite(*this, "ColumnHeaders.Width", width);
    columns_[column].width = width < 0 ? 0 : width;
    Changed();
}

Twips ListView::ColumnWidth(int index) const { return columns_[CheckedColumn(index)].width; }

void ListView::ClearItems() {
    items_.clear();
    RowsChanged({RowChange::Kind::kCleared});
}

std::size_t ListView::AddItem(std::string text) {
    items_.push_back(ListItem{std::move(text), {}});
    RowsChanged({RowChange::Kind::kInserted, items_.size() - 1});
    return items_.size() - 1;
}

void ListView::RowsChanged(RowChange change) const {
    if (hub() != nullptr) hub()->NotifyRows(*this, change);
}

void ListView::SetSubItem(std::size_t row, int index, std::string text) {
    if (index < 1 || index > kSubItemCount)
        Refuse(*this, "SubItems(" + std::to_string(index) + "): sub-items are 1 to 4");
    items_[CheckedRow(row)].subItems[static_cast<std::size_t>(index - 1)] = std::move(text);
    RowsChanged({RowChange::Kind::kChanged, row});
}

const std::string& ListView::SubItem(std::size_t row, int index) const {
    if (index < 1 || index > kSubItemCount)
        Refuse(*this, "SubItems(" + std::to_string(index) + "): sub-items are 1 to 4");
    return items_[CheckedRow(row)].subItems[static_cast<std::size_t>(index - 1)];
}

DatePicker::DatePicker(const ElementDefinition& definition)
    : Element(definition),
      value_(definition.date),
      minDate_(Date::FromCivil(1601, 1, 1)),
      maxDate_(Date::FromCivil(9999, 12, 31)) {}

void DatePicker::SetValue(const Date& date) {
    if (date.WholeDay() < minDate_ || date.WholeDay() > maxDate_)
        Refuse(*this, "Value " + date.ToIso() + ": dates run from 1601-01-01 to 9999-12-31");
    value_ = date;
    Changed();
}

}  // namespace infotrakon::panel
