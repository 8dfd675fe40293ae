#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/clock.h"
#include "core/date.h"
#include "core/file_system.h"
#include "core/locale.h"
#include "panel/data_control.h"
#include "panel/panel.h"
#include "panel/text_metrics.h"
#include "settings/registry_store.h"

namespace infotrakon::control {

// Where the host runs, as whoever makes the panel names it; each part left out is the host's
// own.
struct HostLocation {
    // The Wine prefix of a host on Linux: its system.reg and its drives. Without it,
    // $WINEPREFIX, else ~/.wine. A host on Windows has none: there it is not read.
    std::optional<std::string> winePrefix;
    // A registry file (a system.reg or a .reg export) to read the host's settings from
    // instead of the host's registry.
    std::optional<std::string> settingsFile;
    // The day the panel takes for today instead of the system clock's.
    std::optional<Date> today;
};

// The platform the panel runs on: the host's settings, the file system, the clock, the
// user's locale, the data control's provider and the measure of texts.
struct HostEnvironment {
    std::shared_ptr<settings::RegistryStore> registry;
    std::shared_ptr<const FileSystem> files;
    std::shared_ptr<const Clock> clock;
    std::shared_ptr<const Locale> locale;
    std::shared_ptr<panel::DataControlBackend> backend;
    const panel::TextMetrics* textMetrics = &panel::DefaultTextMetrics();

    // The real platform of the host at `host`, with the agenda provider and the user's
    // locale. On Linux, the files and registry of the Wine prefix the host runs in. On
    // Windows, the machine's own registry and files.
    static HostEnvironment ForHost(const HostLocation& host);

    // The user's locale and the system clock, or one pinned to `today`, with the host's
    // `registry` and `files` and the agenda provider over those files.
    static HostEnvironment Of(std::shared_ptr<settings::RegistryStore> registry,
                              std::shared_ptr<const FileSystem> files,
                              const std::optional<Date>& today);
};

// The version text of the control library: major, minor and revision.
std::string VersionText();

// The information panel as a host holds it. Creation gives the panel its design state; the
// host then delivers Initialize (the start-up), clicks and resizes. An error of any of them
// goes to the host as an Error and leaves the panel as the failed step left it. Nothing of
// the panel's own runs at its end: it holds nothing to release.
class InfoTrakon {
  public:
    explicit InfoTrakon(HostEnvironment environment);
    ~InfoTrakon();
    InfoTrakon(const InfoTrakon&) = delete;
    InfoTrakon& operator=(const InfoTrakon&) = delete;

    // The start-up: the host's last agenda into Label3, today into DTPicker1, the first
    // period into Combo2 (which refreshes the list), the refresh command, the version.
    void Initialize();

    // A click of the element of that name: Command2, Option1..Option4 or Combo2. Elements
    // without a click of their own ignore it; an unknown name raises an Error.
    void Click(std::string_view elementName);
    // The user's choice of an item of Combo2 (from 0), which raises its click.
    void ChooseItem(std::string_view elementName, int index);
    // The host's new size of the panel, in twips; the resize layout follows.
    void Resize(float width, float height);

    // The public method: whether `path` names an existing ordinary file. `path` is not changed.
    bool FileExists(const std::string& path) const;
    // The platform's path of the agenda database that the last refresh read (Label3); empty
    // before the start-up, or when the host's setting names none.
    std::string AgendaLocalPath() const;

    panel::Panel& panel() { return panel_; }
    const panel::Panel& panel() const { return panel_; }

  private:
    void RefreshCommand();
    void RefreshList();

    HostEnvironment environment_;
    panel::Panel panel_;
};

}  // namespace infotrakon::control
