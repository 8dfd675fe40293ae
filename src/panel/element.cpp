#include "panel/element.h"

#include <algorithm>
#include <cmath>

#include "core/error.h"
#include "panel/element_definition.h"

namespace infotrakon::panel {

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

Element::Element(const ElementDefinition& definition, ElementKind kind)
    : name_(definition.name),
      kind_(kind),
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
