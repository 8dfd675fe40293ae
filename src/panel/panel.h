#pragma once

#include <string_view>
#include <vector>

#include "panel/data_control.h"
#include "panel/elements.h"

namespace infotrakon::panel {

inline constexpr Twips kDesignWidth = 8310;
inline constexpr Twips kDesignHeight = 5805;

// The panel's white surface with its 31 named elements, created with their design state.
// Every piece of the panel's state lives in one of them.
class Panel {
  public:
    explicit Panel(const TextMetrics& metrics = DefaultTextMetrics());
    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;

    Twips width() const { return width_; }
    Twips height() const { return height_; }
    Colour backColour() const { return kWhite; }
    const Font& font() const { return font_; }
    // The host's new size; the host then raises the resize event.
    void SetSize(Twips width, Twips height);

    // All elements, in the order of the panel's definition (visible ones first).
    const std::vector<Element*>& elements() const { return elements_; }
    Element* Find(std::string_view name) const;

    void AddObserver(ElementObserver* observer) { hub_.Add(observer); }
    void RemoveObserver(ElementObserver* observer) { hub_.Remove(observer); }

    // Visible.
    Label Label16, Label17, Label4, Label5, Label6, Label7, Label8, Label9, Label10, Label11,
        Label12, Label13, Label14, Label15;
    OptionButton Option1, Option2, Option3, Option4;
    ComboBox Combo2;
    ListView ListView1;
    CommandButton Command2;
    // Hidden.
    Label Label3, Label2, Label1;
    ComboBox Combo1;
    CommandButton Command1;
    DatePicker DTPicker1, DTPicker2;
    DataGrid DataGrid1;
    DataControl Adodc1;
    FileDialog CommonDialog1;

    OptionGroup options;

  private:
    Font font_;
    Twips width_ = kDesignWidth;
    Twips height_ = kDesignHeight;
    std::vector<Element*> elements_;
    ChangeHub hub_;
};

}  // namespace infotrakon::panel
