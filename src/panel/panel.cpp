#include "panel/panel.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <utility>
#include <variant>

#include "core/error.h"
#include "panel/element_visit.h"

namespace infotrakon::panel {
namespace {

Font Sized(double size, int weight = 400) {
    Font font;
    font.size = size;
    font.weight = weight;
    return font;
}

const Font kTitle = Sized(13.5, 700);
const Font kCaption = Sized(9.75);
const Font kAmount = Sized(9.75, 700);

// Only a label measures its caption, so only a label takes the text metrics.
template <class Kind>
Kind Made(const ElementDefinition& definition, const TextMetrics& metrics) {
    if constexpr (std::is_constructible_v<Kind, const ElementDefinition&, const TextMetrics&>) {
        return Kind(definition, metrics);
    } else {
        return Kind(definition);
    }
}

}  // namespace

// The member's name is the element's name.
#define INFOTRAKON_MAKE_ELEMENT(Kind, member, ...) \
    member(Made<Kind>({.name = #member, __VA_ARGS__}, metrics)),
#define INFOTRAKON_ELEMENT_ADDRESS(Kind, member, ...) &member,

Panel::Panel(const TextMetrics& metrics)
    : INFOTRAKON_PANEL_FORM(INFOTRAKON_MAKE_ELEMENT) elements_{
          INFOTRAKON_PANEL_FORM(INFOTRAKON_ELEMENT_ADDRESS)} {
    for (OptionButton* option : {&Option1, &Option2, &Option3, &Option4}) options.Add(*option);
    for (Element* element : elements_) element->AttachHub(&hub_);
}

#undef INFOTRAKON_MAKE_ELEMENT
#undef INFOTRAKON_ELEMENT_ADDRESS

void Panel::SetSize(Twips width, Twips height) {
    if (!std::isfinite(width) || !std::isfinite(height))
        throw Error(error_number::kInvalidPropertyValue,
                    "Invalid property value: the panel's size must be finite");
    width_ = width;
    height_ = height;
}

Element* Panel::Find(std::string_view name) const {
    for (Element* element : elements_)
        if (element->name() == name) return element;
    return nullptr;
}

}  // namespace infotrakon::panel

namespace infotrakon::panel {
namespace {

// Whether the platform's window of an element takes keyboard focus.
struct TakesFocus {
    bool operator()(const Label&) const { return false; }
    bool operator()(const FileDialog&) const { return false; }
    bool operator()(const DataControl&) const { return false; }
    bool operator()(const OptionButton&) const { return true; }
    bool operator()(const ComboBox&) const { return true; }
    bool operator()(const CommandButton&) const { return true; }
    bool operator()(const ListView&) const { return true; }
    bool operator()(const DatePicker&) const { return true; }
    bool operator()(const DataGrid&) const { return true; }
};

}  // namespace

std::vector<const Element*> Panel::FocusStops() const {
    std::vector<std::pair<int, const Element*>> stops;
    const OptionButton* chosen = nullptr;
    int groupIndex = 0;
    for (const Element* element : elements_) {
        if (!element->visible() || !element->tabIndex() || !Visit(*element, TakesFocus{})) continue;
        const ElementOfKind kind = element->AsKind();
        const auto* option = std::get_if<const OptionButton*>(&kind);
        if (option == nullptr) {
            stops.emplace_back(*element->tabIndex(), element);
            continue;
        }
        if (chosen == nullptr || *element->tabIndex() < groupIndex)
            groupIndex = *element->tabIndex();
        if (chosen == nullptr || (*option)->value()) chosen = *option;
    }
    if (chosen != nullptr) stops.emplace_back(groupIndex, chosen);
    std::sort(stops.begin(), stops.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<const Element*> ordered;
    for (const auto& stop : stops) ordered.push_back(stop.second);
    return ordered;
}

}  // namespace infotrakon::panel
