#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "core/clock.h"
#include "core/file_system.h"
#include "core/locale.h"
#include "panel/data_control.h"
#include "panel/panel.h"
#include "panel/text_metrics.h"
#include "settings/registry_store.h"

namespace infotrakon::control {

// The platform the panel runs on: the host's settings, the file system, the clock, the
// user's locale, the data control's provider and the measure of texts.
struct HostEnvironment {
    std::shared_ptr<settings::RegistryStore> registry;
    std::shared_ptr<const FileSystem> files;
    std::shared_ptr<const Clock> clock;
    std::shared_ptr<const Locale> locale;
    std::shared_ptr<panel::DataControlBackend> backend;
    const panel::TextMetrics* textMetrics = &panel::DefaultTextMetrics();

    // The real platform of the host, with the agenda provider. On Linux, the Wine prefix the
    // host runs in: its system.reg and its drives, the system clock, the environment's locale.
    // On Windows, the machine's own registry, files, clock and user locale; no prefix.
    static HostEnvironment ForHost(const std::string& winePrefix);

    // The platform's clock and the user's locale, with the host's `registry` and `files` and
    // the agenda provider over those files.
    static HostEnvironment Of(std::shared_ptr<settings::RegistryStore> registry,
                              std::shared_ptr<const FileSystem> files);
};

// The version text of the control library: major, minor and revision.
std::string VersionText();

// The information panel as a host holds it. Creation gives the panel its design state; the
// host then delivers Initialize (the start-up), clicks, resizes and Terminate. An error of
// any of them goes to the host as an Error and leaves the panel as the failed step left it.
class InfoTrakon {
  public:
    explicit InfoTrakon(HostEnvironment environment);
    ~InfoTrakon();
    InfoTrakon(const InfoTrakon&) = delete;
    InfoTrakon& operator=(const InfoTrakon&) = delete;

    // The start-up: the host's last agenda into Label3, today into DTPicker1, the first
    // period into Combo2 (which refreshes the list), the refresh command, the version.
    void Initialize();
    // Nothing of the panel's own runs at the end; it holds nothing to release.
    void Terminate() {}

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
