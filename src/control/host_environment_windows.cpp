#include "control/infotrakon.h"
#include "settings/local_file_system.h"
#include "settings/windows_registry_store.h"

namespace infotrakon::control {

HostEnvironment HostEnvironment::ForHost(const std::string& /*winePrefix*/) {
    return Of(std::make_shared<settings::WindowsRegistryStore>(),
              std::make_shared<settings::LocalFileSystem>());
}

}  // namespace infotrakon::control
