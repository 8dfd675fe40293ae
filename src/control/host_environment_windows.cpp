#include "agenda_db/agenda_backend.h"
#include "control/infotrakon.h"
#include "settings/local_file_system.h"
#include "settings/windows_registry_store.h"

namespace infotrakon::control {

HostEnvironment HostEnvironment::ForHost(const std::string& /*winePrefix*/) {
    HostEnvironment environment;
    auto files = std::make_shared<settings::LocalFileSystem>();
    environment.registry = std::make_shared<settings::WindowsRegistryStore>();
    environment.files = files;
    environment.clock = std::make_shared<SystemClock>();
    environment.locale = std::make_shared<Locale>(Locale::FromEnvironment());
    environment.backend = std::make_shared<agenda_db::AgendaBackend>(files);
    return environment;
}

}  // namespace infotrakon::control
