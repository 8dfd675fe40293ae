#include "agenda_list/list_refresh.h"

#include "agenda_list/list_builder.h"
#include "agenda_list/list_columns.h"

namespace infotrakon::agenda_list {

void RefreshAgendaList(std::int32_t mode, panel::Panel& panel,
                       const agenda_db::ReaderContext& context) {
    if (mode != 1) return;
    SetListColumns(panel.Option4.value(), panel.ListView1);
    const bool planned = panel.Option1.value();
    const bool pending = panel.Option2.value();
    const bool handled = panel.Option3.value();
    const bool deadlines = panel.Option4.value();
    const std::string period = panel.Combo2.text();
    FillAgendaList(panel, panel.ListView1, planned, pending, handled, deadlines, period, context);
}

}  // namespace infotrakon::agenda_list
