#include "control/infotrakon.h"

#include "agenda_db/agenda_access.h"
#include "agenda_db/agenda_backend.h"
#include "agenda_list/list_columns.h"
#include "agenda_list/list_refresh.h"
#include "core/error.h"
#include "core/version.h"
#include "panel/resize_layout.h"
#include "summary/refresh_command.h"

namespace infotrakon::control {
namespace {

agenda_db::ReaderContext ContextOf(const HostEnvironment& environment) {
    return {*environment.files, *environment.locale, *environment.clock};
}

}  // namespace

HostEnvironment HostEnvironment::Of(std::shared_ptr<settings::RegistryStore> registry,
                                    std::shared_ptr<const FileSystem> files,
                                    const std::optional<Date>& today) {
    HostEnvironment environment;
    environment.registry = std::move(registry);
    environment.files = files;
    if (today)
        environment.clock = std::make_shared<FixedClock>(*today);
    else
        environment.clock = std::make_shared<SystemClock>();
    environment.locale = std::make_shared<Locale>(Locale::FromEnvironment());
    environment.backend = std::make_shared<agenda_db::AgendaBackend>(std::move(files));
    return environment;
}

std::string VersionText() {
    return std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
           std::to_string(kVersionRevision);
}

InfoTrakon::InfoTrakon(HostEnvironment environment)
    : environment_(std::move(environment)), panel_(*environment_.textMetrics) {
    if (!environment_.registry || !environment_.files || !environment_.clock ||
        !environment_.locale || !environment_.backend)
        throw Error(error_number::kInvalidProcedureCall,
                    "The panel needs a registry, a file system, a clock, a locale and a data "
                    "provider from its host");
    panel_.Adodc1.SetBackend(environment_.backend);
    panel_.Command2.SetClickHandler([this] { RefreshCommand(); });
    for (panel::OptionButton* option :
         {&panel_.Option1, &panel_.Option2, &panel_.Option3, &panel_.Option4})
        option->SetClickHandler([this] { RefreshList(); });
    panel_.Combo2.SetClickHandler([this] { RefreshList(); });
}

InfoTrakon::~InfoTrakon() = default;

void InfoTrakon::Initialize() {
    summary::ReadAgendaPath(panel_, *environment_.registry, ContextOf(environment_));
    panel_.DTPicker1.SetValue(environment_.clock->Today());
    panel_.Combo2.SetListIndex(0);
    RefreshCommand();
    panel_.Label17.SetCaption(VersionText());
}

void InfoTrakon::RefreshCommand() {
    summary::RunRefreshCommand(panel_, *environment_.registry, ContextOf(environment_));
}

void InfoTrakon::RefreshList() {
    agenda_list::RefreshAgendaList(1, panel_, ContextOf(environment_));
}

void InfoTrakon::Click(std::string_view elementName) {
    panel::Element* element = panel_.Find(elementName);
    if (element == nullptr)
        throw Error(error_number::kInvalidProcedureCall,
                    "The panel has no element named " + std::string(elementName));
    if (element == &panel_.Command2) return panel_.Command2.Click();
    if (element == &panel_.Combo2) return RefreshList();
    for (panel::OptionButton* option :
         {&panel_.Option1, &panel_.Option2, &panel_.Option3, &panel_.Option4})
        if (element == option) return option->Choose();
}

void InfoTrakon::ChooseItem(std::string_view elementName, int index) {
    if (panel_.Find(elementName) != &panel_.Combo2)
        throw Error(error_number::kInvalidProcedureCall,
                    "Only Combo2 offers items to choose, not " + std::string(elementName));
    panel_.Combo2.SetListIndex(index);
}

void InfoTrakon::Resize(float width, float height) {
    panel_.SetSize(width, height);
    panel::ApplyResizeLayout(panel_, agenda_list::SetListColumns);
}

bool InfoTrakon::FileExists(const std::string& path) const {
    return environment_.files->FileExists(path);
}

std::string InfoTrakon::AgendaLocalPath() const {
    const std::string& agenda = panel_.Label3.caption();
    // Label3 holds its design caption until the start-up reads the host's setting.
    if (agenda.empty() || agenda == "Label3") return {};
    return environment_.files->LocalPath(agenda);
}

}  // namespace infotrakon::control
