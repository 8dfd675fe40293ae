#include "control/panel_json.h"

#include <nlohmann/json.hpp>

#include "panel/element_visit.h"

namespace infotrakon::control {
namespace {

using nlohmann::ordered_json;

std::string Dump(const ordered_json& json) {
    return json.dump(2, ' ', false, ordered_json::error_handler_t::replace);
}

std::string DateText(const Date& date) { return date.WholeDay().ToIso(); }

ordered_json ItemsJson(const panel::ComboBox& combo) {
    ordered_json items = ordered_json::array();
    for (const panel::ComboItem& item : combo.items()) items.push_back(item.text);
    return items;
}

ordered_json ColumnsJson(const panel::ListView& list) {
    ordered_json columns = ordered_json::array();
    for (const panel::ColumnHeader& column : list.columns())
        columns.push_back({{"header", column.text}, {"width", column.width}});
    return columns;
}

ordered_json RowsJson(const panel::ListView& list) {
    ordered_json rows = ordered_json::array();
    for (const panel::ListItem& item : list.items())
        rows.push_back(
            {{"text", item.text},
             {"subItems",
              {item.subItems[0], item.subItems[1], item.subItems[2], item.subItems[3]}}});
    return rows;
}

// What the element's kind adds to the place and visibility that every element has.
void AddStateOfKind(ordered_json& json, const panel::Element& element) {
    panel::Visit(
        element, [&](const panel::Label& label) { json["caption"] = label.caption(); },
        [&](const panel::OptionButton& option) {
            json["caption"] = option.caption();
            json["value"] = option.value();
        },
        [&](const panel::CommandButton& button) { json["caption"] = button.caption(); },
        [&](const panel::ComboBox& combo) {
            json["text"] = combo.text();
            json["listIndex"] = combo.listIndex();
            json["items"] = ItemsJson(combo);
        },
        [&](const panel::ListView& list) {
            json["columns"] = ColumnsJson(list);
            json["rows"] = RowsJson(list);
        },
        [&](const panel::DatePicker& picker) { json["value"] = DateText(picker.value()); },
        [&](const panel::DataControl& data) {
            json["connectionString"] = data.connectionString();
            json["recordSource"] = data.recordSource();
        },
        panel::SkipKinds<panel::DataGrid, panel::FileDialog>{});
}

ordered_json ElementJson(const panel::Element& element) {
    ordered_json json;
    json["kind"] = panel::KindName(element.kind());
    json["left"] = element.left();
    json["top"] = element.top();
    json["width"] = element.width();
    json["height"] = element.height();
    json["visible"] = element.visible();
    AddStateOfKind(json, element);
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
