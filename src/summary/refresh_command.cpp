#include "summary/refresh_command.h"

#include "agenda_list/list_refresh.h"
#include "core/text_form.h"
#include "settings/module1.h"
#include "summary/aggregate.h"

namespace infotrakon::summary {

void ReadAgendaPath(panel::Panel& panel, settings::RegistryStore& registry,
                    const agenda_db::ReaderContext& context) {
    panel.Label3.SetCaption(TextForm(
        settings::ReadRegistryValue(registry, settings::kHostSettingsKey, settings::kLastFileValue),
        context.locale));
}

void RunRefreshCommand(panel::Panel& panel, settings::RegistryStore& registry,
                       const agenda_db::ReaderContext& context) {
    ReadAgendaPath(panel, registry, context);
    const std::string year = std::to_string(panel.DTPicker1.year());

    // A Null company name shows as no name: the figures and the list still follow, which
    // serves the user better than a refresh stopped at the title.
    panel.Label16.SetCaption(JoinedTextForm(
        FirstFieldValue(panel, context, "nazev", "", "SELECT * FROM firma"), context.locale));

    const struct {
        panel::Label& label;
        std::string filter;
    } figures[] = {
        {panel.Label5, "car=true and servis=true and datum >= #1/1/" + year + "#"},
        {panel.Label8, "car=false and servis=true and datum >= #1/1/" + year + "#"},
        {panel.Label11, "car=true and servis=false and stav=0"},
        {panel.Label14, "car=false and servis=false and stav=0"},
    };
    for (const auto& figure : figures) {
        figure.label.SetCaption(
            TextForm(SumField(panel, context, "castka", figure.filter, "SELECT * FROM carservis"),
                     context.locale));
        figure.label.SetCaption(FormatAmount(figure.label.caption(), context.locale));
    }
    agenda_list::RefreshAgendaList(1, panel, context);
}

}  // namespace infotrakon::summary
