#include "control/panel_json.h"

#include <nlohmann/json.hpp>

namespace infotrakon::control {
namespace {

using nlohmann::ordered_json;

std::string Dump(const ordered_json& json) {
    return json.dump(2, ' ', false, ordered_json::error_handler_t::replace);
}

std::string DateText(const Date& date) { return date.WholeDay().ToIso(); }

ordered_json ElementJson(const panel::Element& element) {
    ordered_json json;
    json["kind"] = panel::KindName(element.kind());
    json["left"] = element.left();
    json["top"] = element.top();
    json["width"] = element.width();
    json["height"] = element.height();
    json["visible"] = element.visible();
    using panel::ElementKind;
    switch (element.kind()) {
        case ElementKind::kLabel:
            json["caption"] = static_cast<const panel::Label&>(element).caption();
            break;
        case ElementKind::kOptionButton: {
            const auto& option = static_cast<const panel::OptionButton&>(element);
            json["caption"] = option.caption();
            json["value"] = option.value();
            break;
        }
        case ElementKind::kCommandButton:
            json["caption"] = static_cast<const panel::CommandButton&>(element).caption();
            break;
        case ElementKind::kComboBox: {
            const auto& combo = static_cast<const panel::ComboBox&>(element);
            json["text"] = combo.text();
            json["listIndex"] = combo.listIndex();
            ordered_json items = ordered_json::array();
            for (const panel::ComboItem& item : combo.items()) items.push_back(item.text);
            json["items"] = items;
            break;
        }
        case ElementKind::kListView: {
            const auto& list = static_cast<const panel::ListView&>(element);
            ordered_json columns = ordered_json::array();
            for (const panel::ColumnHeader& column : list.columns())
                columns.push_back({{"header", column.text}, {"width", column.width}});
            json["columns"] = columns;
            ordered_json rows = ordered_json::array();
            for (const panel::ListItem& item : list.items())
                rows.push_back(
                    {{"text", item.text},
                     {"subItems",
                      {item.subItems[0], item.subItems[1], item.subItems[2], item.subItems[3]}}});
            json["rows"] = rows;
            break;
        }
        case ElementKind::kDatePicker:
            json["value"] = DateText(static_cast<const panel::DatePicker&>(element).value());
            break;
        case ElementKind::kDataControl: {
            const auto& data = static_cast<const panel::DataControl&>(element);
            json["connectionString"] = data.connectionString();
            json["recordSource"] = data.recordSource();
            break;
        }
        case ElementKind::kDataGrid:
        case ElementKind::kFileDialog:
            break;
    }
    return json;
}

}  // namespace

std::string PanelJson(const panel::Panel& panel, const std::optional<Error>& error) {
    ordered_json json;
    ordered_json elements = ordered_json::object();
    for (const panel::Element* element : panel.elements())
        elements[element->name()] = ElementJson(*element);
    json["elements"] = elements;
    json["error"] = error ? ordered_json{{"number", error->number()}, {"message", error->what()}}
                          : ordered_json(nullptr);
    return Dump(json) + "\n";
}

}  // namespace infotrakon::control
