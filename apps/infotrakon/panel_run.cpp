#include "panel_run.h"

#include <algorithm>
#include <sstream>
#include <vector>

#include "agenda_db/agenda_backend.h"
#include "settings/registry_file.h"

namespace infotrakon::app {
namespace {

// Characters, not bytes: the panel's texts are Czech.
std::size_t DisplayWidth(const std::string& text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

std::string Padded(const std::string& text, std::size_t width, bool right) {
    const std::size_t length = DisplayWidth(text);
    const std::string fill(width > length ? width - length : 0, ' ');
    return right ? fill + text : text + fill;
}

}  // namespace

std::string SettingsFileOf(const PanelOptions& options) {
    return options.settings.value_or(options.winePrefix.value_or(settings::DefaultWinePrefix()) +
                                     "/system.reg");
}

control::HostEnvironment EnvironmentFor(const PanelOptions& options,
                                        const panel::TextMetrics& metrics) {
    control::HostEnvironment environment =
        control::HostEnvironment::ForHost({options.winePrefix, options.settings, options.today});
    environment.textMetrics = &metrics;
    return environment;
}

void DeliverEvent(control::InfoTrakon& control, const PanelEvent& event) {
    switch (event.kind) {
        case PanelEvent::Kind::kView:
            control.Click("Option" + std::to_string(event.view));
            break;
        case PanelEvent::Kind::kPeriod:
            control.ChooseItem("Combo2", event.periodIndex);
            break;
        case PanelEvent::Kind::kRefresh:
            control.Click("Command2");
            break;
    }
}

PanelRun RunPanel(const PanelOptions& options, const panel::TextMetrics& metrics) {
    PanelRun run;
    run.control = std::make_unique<control::InfoTrakon>(EnvironmentFor(options, metrics));
    try {
        run.control->Initialize();
        run.control->Resize(options.width, options.height);
        for (const PanelEvent& event : options.events) DeliverEvent(*run.control, event);
    } catch (const Error& error) {
        run.error = error;
    }
    return run;
}

std::string PanelText(const panel::Panel& panel) {
    std::ostringstream out;
    out << panel.Label16.caption() << "\n";
    out << "verze " << panel.Label17.caption() << "\n\n";
    const struct {
        const panel::Label& caption;
        const panel::Label& value;
    } figures[] = {{panel.Label4, panel.Label5},
                   {panel.Label7, panel.Label8},
                   {panel.Label10, panel.Label11},
                   {panel.Label13, panel.Label14}};
    std::size_t captionWidth = 0, valueWidth = 0;
    for (const auto& figure : figures) {
        captionWidth = std::max(captionWidth, DisplayWidth(figure.caption.caption()));
        valueWidth = std::max(valueWidth, DisplayWidth(figure.value.caption()));
    }
    for (const auto& figure : figures)
        out << Padded(figure.caption.caption(), captionWidth, false) << "  "
            << Padded(figure.value.caption(), valueWidth, true) << " Kč\n";

    std::string view;
    for (const panel::OptionButton* option :
         {&panel.Option1, &panel.Option2, &panel.Option3, &panel.Option4})
        if (option->value()) view = option->caption();
    out << "\n" << view << ", " << panel.Combo2.text() << "\n";

    // The visible columns of the list, as wide as their widest text.
    const panel::ListView& list = panel.ListView1;
    std::vector<std::size_t> shown;
    for (std::size_t column = 0; column < list.columns().size(); ++column)
        if (list.columns()[column].width > 0) shown.push_back(column);
    const auto cell = [&](const panel::ListItem& item, std::size_t column) -> const std::string& {
        return column == 0 ? item.text : item.subItems[column - 1];
    };
    std::vector<std::size_t> widths;
    for (const std::size_t column : shown) {
        std::size_t width = DisplayWidth(list.columns()[column].text);
        for (const panel::ListItem& item : list.items())
            width = std::max(width, DisplayWidth(cell(item, column)));
        widths.push_back(width);
    }
    const auto line = [&](const std::function<std::string(std::size_t)>& text) {
        std::string row;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const bool right = list.columns()[shown[i]].alignment == panel::Alignment::kRight;
            row += (i ? "  " : "") + Padded(text(shown[i]), widths[i], right);
        }
        while (!row.empty() && row.back() == ' ') row.pop_back();
        out << row << "\n";
    };
    line([&](std::size_t column) { return list.columns()[column].text; });
    for (const panel::ListItem& item : list.items())
        line([&](std::size_t column) { return cell(item, column); });
    if (list.items().empty()) out << "(žádné záznamy)\n";
    return out.str();
}

}  // namespace infotrakon::app
