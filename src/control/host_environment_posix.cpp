// A host on Linux runs in a Wine prefix: its drives are the prefix's, and its settings are
// the prefix's system.reg unless a settings file is named.
#include "control/infotrakon.h"
#include "core/wine_file_system.h"
#include "settings/registry_file.h"

namespace infotrakon::control {

HostEnvironment HostEnvironment::ForHost(const HostLocation& host) {
    const std::string prefix = host.winePrefix.value_or(settings::DefaultWinePrefix());
    auto files = std::make_shared<WineFileSystem>(prefix);
    auto registry = std::make_shared<settings::RegistryFileStore>(
        files, host.settingsFile.value_or(prefix + "/system.reg"));
    return Of(std::move(registry), std::move(files), host.today);
}

}  // namespace infotrakon::control
