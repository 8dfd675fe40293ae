#pragma once

#include "agenda_db/agenda_access.h"
#include "panel/panel.h"
#include "settings/registry_store.h"

namespace infotrakon::summary {

// The click of "Aktualizovat": the host's last agenda into Label3, the company name into
// Label16, the four cost figures, then the agenda list. An error stops it where it arises;
// the labels of the steps before keep their new texts, the others their old ones.
void RunRefreshCommand(panel::Panel& panel, settings::RegistryStore& registry,
                       const agenda_db::ReaderContext& context);

// Label3's caption: the text form of the host's setting "LastFullFileNameOpen".
void ReadAgendaPath(panel::Panel& panel, settings::RegistryStore& registry,
                    const agenda_db::ReaderContext& context);

}  // namespace infotrakon::summary
