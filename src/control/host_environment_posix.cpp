#include "control/infotrakon.h"
#include "settings/local_file_system.h"
#include "settings/registry_file.h"

namespace infotrakon::control {

HostEnvironment HostEnvironment::ForHost(const std::string& winePrefix) {
    auto files = std::make_shared<settings::LocalFileSystem>(winePrefix);
    auto registry =
        std::make_shared<settings::RegistryFileStore>(files, winePrefix + "/system.reg");
    return Of(std::move(registry), std::move(files));
}

}  // namespace infotrakon::control
