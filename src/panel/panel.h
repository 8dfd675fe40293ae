#pragma once

#include <string_view>
#include <vector>

#include "panel/data_control.h"
#include "panel/elements.h"
#include "panel/panel_form.h"

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
    // Where the keyboard's focus stops, in the order of the tab indexes: the visible elements
    // that take focus. The option group is one stop, at its first button's tab index, and
    // stands there as its chosen button.
    std::vector<const Element*> FocusStops() const;

    void AddObserver(ElementObserver* observer) { hub_.Add(observer); }
    void RemoveObserver(ElementObserver* observer) { hub_.Remove(observer); }

    // Label16, Option1, Combo2, ...: each element of the form by its name.
#define INFOTRAKON_DECLARE_ELEMENT(Kind, name, ...) Kind name;
    INFOTRAKON_PANEL_FORM(INFOTRAKON_DECLARE_ELEMENT)
#undef INFOTRAKON_DECLARE_ELEMENT

    OptionGroup options;

  private:
    Font font_;
    Twips width_ = kDesignWidth;
    Twips height_ = kDesignHeight;
    std::vector<Element*> elements_;
    ChangeHub hub_;
};

}  // namespace infotrakon::panel
