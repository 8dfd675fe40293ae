// A host on Windows reads the machine's own files, and its settings from the machine's
// registry unless a settings file is named.
#include "control/infotrakon.h"
#include "settings/registry_file.h"
#include "settings/windows_registry_store.h"

namespace infotrakon::control {

HostEnvironment HostEnvironment::ForHost(const HostLocation& host) {
    std::shared_ptr<const FileSystem> files = PlatformFileSystem();
    std::shared_ptr<settings::RegistryStore> registry;
    if (host.settingsFile)
        registry = std::make_shared<settings::RegistryFileStore>(files, *host.settingsFile);
    else
        registry = std::make_shared<settings::WindowsRegistryStore>();
    return Of(std::move(registry), std::move(files), host.today);
}

}  // namespace infotrakon::control
