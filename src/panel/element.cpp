#include "panel/element.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "core/error.h"
#include "panel/element_definition.h"

namespace infotrakon::panel {
namespace {

// An element's kind is the index of its alternative in ElementOfKind.
template <ElementKind kind, class Kind>
constexpr bool kAlternativeOf =
    std::is_same_v<std::variant_alternative_t<static_cast<std::size_t>(kind), ElementOfKind>,
                   const Kind*>;
static_assert(kAlternativeOf<ElementKind::kLabel, Label> &&
              kAlternativeOf<ElementKind::kOptionButton, OptionButton> &&
              kAlternativeOf<ElementKind::kComboBox, ComboBox> &&
              kAlternativeOf<ElementKind::kCommandButton, CommandButton> &&
              kAlternativeOf<ElementKind::kListView, ListView> &&
              kAlternativeOf<ElementKind::kDatePicker, DatePicker> &&
              kAlternativeOf<ElementKind::kDataGrid, DataGrid> &&
              kAlternativeOf<ElementKind::kFileDialog, FileDialog> &&
              kAlternativeOf<ElementKind::kDataControl, DataControl> &&
              std::variant_size_v<ElementOfKind> == 9);

}  // namespace

const char* KindName(ElementKind kind) {
    switch (kind) {
        case ElementKind::kLabel:
            return "label";
        case ElementKind::kOptionButton:
            return "option button";
        case ElementKind::kComboBox:
            return "combo box";
        case ElementKind::kCommandButton:
            return "command button";
        case ElementKind::kListView:
            return "list view";
        case ElementKind::kDatePicker:
            return "date picker";
        case ElementKind::kDataGrid:
            return "data grid";
        case ElementKind::kFileDialog:
            return "file dialog";
        case ElementKind::kDataControl:
            return "data control";
    }
    return "element";
}

void ChangeHub::Remove(ElementObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void ChangeHub::Notify(const Element& element) const {
    for (ElementObserver* observer : observers_) observer->ElementChanged(element);
}

void ChangeHub::NotifyRows(const ListView& list, RowChange change) const {
    for (ElementObserver* observer : observers_) observer->RowsChanged(list, change);
}

Element::Element(const ElementDefinition& definition)
    : name_(definition.name),
      box_(definition.box),
      visible_(definition.visible),
      tabIndex_(definition.tabIndex) {}

void Element::RequireFinite(const Element& element, const char* property, Twips value) {
    if (!std::isfinite(value))
        throw Error(error_number::kInvalidPropertyValue,
                    "Invalid property value: " + element.name() + "." + property +
                        " must be a finite number of twips");
}

void Element::SetLeft(Twips left) {
    RequireFinite(*this, "Left", left);
    box_.left = left;
    Changed();
}

void Element::SetTop(Twips top) {
    RequireFinite(*this, "Top", top);
    box_.top = top;
    Changed();
}

void Element::SetWidth(Twips width) {
    RequireFinite(*this, "Width", width);
    box_.width = width;
    Changed();
}

void Element::SetHeight(Twips height) {
    RequireFinite(*this, "Height", height);
    box_.height = height;
    Changed();
}

void Element::SetSize(Twips width, Twips height) {
    box_.width = width;
    box_.height = height;
}

}  // namespace infotrakon::panel
