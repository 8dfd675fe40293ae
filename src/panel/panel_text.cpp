#include "panel/panel_text.h"

#include <sstream>

namespace infotrakon::panel {
namespace {

void DescribeList(std::ostringstream& out, const ListView& list) {
    out << "  columns:";
    for (const ColumnHeader& column : list.columns())
        out << " " << column.text << "(" << column.width << ")";
    out << "\n";
    for (const ListItem& item : list.items()) {
        out << "  | " << item.text;
        for (const std::string& sub : item.subItems) out << " | " << sub;
        out << "\n";
    }
    if (list.items().empty()) out << "  (no rows)\n";
}

}  // namespace

std::string DescribePanel(const Panel& panel) {
    std::ostringstream out;
    out << "InfoTrakon " << panel.width() << " x " << panel.height() << " twips\n";
    for (const Element* element : panel.elements()) {
        if (!element->visible()) continue;
        out << element->name() << " [" << element->left() << "," << element->top() << " "
            << element->width() << "x" << element->height() << "] ";
        if (const auto* label = dynamic_cast<const Label*>(element)) {
            out << "\"" << label->caption() << "\"\n";
        } else if (const auto* option = dynamic_cast<const OptionButton*>(element)) {
            out << (option->value() ? "(o) " : "( ) ") << option->caption() << "\n";
        } else if (const auto* combo = dynamic_cast<const ComboBox*>(element)) {
            out << "[" << combo->text() << " v]\n";
        } else if (const auto* button = dynamic_cast<const CommandButton*>(element)) {
            out << "<" << button->caption() << ">\n";
        } else if (const auto* list = dynamic_cast<const ListView*>(element)) {
            out << list->items().size() << " rows\n";
            DescribeList(out, *list);
        } else {
            out << "\n";
        }
    }
    return out.str();
}

}  // namespace infotrakon::panel
