#include "control/infotrakon_c.h"

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "control/identity.h"
#include "control/infotrakon.h"
#include "control/panel_json.h"
#include "core/error.h"
#include "core/guarded.h"

struct InfoTrakonPanel {
    std::unique_ptr<infotrakon::control::InfoTrakon> control;
    std::string lastError;
    int lastNumber = 0;
};

namespace {

// The status of a dispatch call to a member the interface does not have.
constexpr int kMemberNotFound = static_cast<int>(0x80020003u & 0xFFFF);

// Every function's work runs under the one error policy: the host gets the number, and the
// message from infotrakon_last_error; no exception crosses into its code.
int Guarded(InfoTrakonPanel* panel, const std::function<void()>& action) noexcept {
    if (panel == nullptr) return infotrakon::error_number::kInvalidProcedureCall;
    panel->lastError.clear();
    panel->lastNumber = 0;
    const std::optional<infotrakon::Error> error = infotrakon::Guarded(action);
    if (!error) return 0;
    // The message is kept where the memory allows; the number goes back in any case.
    infotrakon::Guarded([&] { panel->lastError = error->what(); });
    panel->lastNumber = error->number();
    return error->number();
}

std::optional<std::string> OptionalText(const char* text) {
    if (text == nullptr) return std::nullopt;
    return std::string(text);
}

// The day of `today` (YYYY-MM-DD), none for NULL.
std::optional<infotrakon::Date> PinnedDay(const char* today) {
    using namespace infotrakon;
    if (today == nullptr) return std::nullopt;
    const std::optional<Date> day = Date::FromIso(today);
    if (!day || day->hasTime())
        throw Error(error_number::kInvalidProcedureCall,
                    std::string("\"") + today + "\" is no date YYYY-MM-DD");
    return day;
}

const char* IdentityOf(const char* item) {
    using namespace infotrakon::control;
    static const std::string version = VersionText();
    static const std::string libraryVersion =
        std::to_string(kTypeLibraryMajorVersion) + "." + std::to_string(kTypeLibraryMinorVersion);
    const struct {
        const char* item;
        const char* value;
    } identities[] = {
        {"TypeLibrary", kTypeLibraryName},
        {"TypeLibraryId", kTypeLibraryId},
        {"TypeLibraryVersion", libraryVersion.c_str()},
        {"Class", kClassName},
        {"ClassId", kClassId},
        {"DefaultInterface", kDefaultInterfaceName},
        {"DefaultInterfaceId", kDefaultInterfaceId},
        {"EventInterface", kEventInterfaceName},
        {"EventInterfaceId", kEventInterfaceId},
        {"Version", version.c_str()},
    };
    if (item == nullptr) return nullptr;
    for (const auto& identity : identities)
        if (std::strcmp(identity.item, item) == 0) return identity.value;
    return nullptr;
}

}  // namespace

extern "C" {

int infotrakon_create(const char* wine_prefix, InfoTrakonPanel** panel) {
    return infotrakon_create_ex(nullptr, wine_prefix, nullptr, panel);
}

int infotrakon_create_ex(const char* settings_file, const char* wine_prefix, const char* today,
                         InfoTrakonPanel** panel) {
    using namespace infotrakon;
    if (panel == nullptr) return error_number::kInvalidProcedureCall;
    *panel = nullptr;
    std::unique_ptr<InfoTrakonPanel> created(new (std::nothrow) InfoTrakonPanel);
    if (!created) return error_number::kOutOfMemory;
    const int made = Guarded(created.get(), [&] {
        const control::HostLocation host{OptionalText(wine_prefix), OptionalText(settings_file),
                                         PinnedDay(today)};
        created->control =
            std::make_unique<control::InfoTrakon>(control::HostEnvironment::ForHost(host));
    });
    if (made != 0) {
        // Nothing to hand the host: the message goes with the number alone.
        return made;
    }
    const int started = Guarded(created.get(), [&] { created->control->Initialize(); });
    *panel = created.release();
    return started;
}

void infotrakon_destroy(InfoTrakonPanel* panel) { delete panel; }

const char* infotrakon_last_error(const InfoTrakonPanel* panel) {
    return panel != nullptr ? panel->lastError.c_str() : "";
}

int infotrakon_click(InfoTrakonPanel* panel, const char* element) {
    return Guarded(panel, [&] { panel->control->Click(element != nullptr ? element : ""); });
}

int infotrakon_choose_item(InfoTrakonPanel* panel, const char* element, int index) {
    return Guarded(panel,
                   [&] { panel->control->ChooseItem(element != nullptr ? element : "", index); });
}

int infotrakon_resize(InfoTrakonPanel* panel, float width, float height) {
    return Guarded(panel, [&] { panel->control->Resize(width, height); });
}

int infotrakon_file_exists(InfoTrakonPanel* panel, const char* path, short* result) {
    return Guarded(panel, [&] {
        std::string argument = path != nullptr ? path : "";
        const bool exists = panel->control->FileExists(argument);
        if (result != nullptr) *result = exists ? -1 : 0;
    });
}

int infotrakon_invoke(InfoTrakonPanel* panel, long dispatch_id, const char* argument,
                      short* result) {
    if (dispatch_id != infotrakon::control::kFileExistsDispatchId)
        return Guarded(panel, [] { throw infotrakon::Error(kMemberNotFound, "Member not found"); });
    return infotrakon_file_exists(panel, argument, result);
}

int infotrakon_state_json(const InfoTrakonPanel* panel, char** json) {
    if (panel == nullptr || json == nullptr || !panel->control)
        return infotrakon::error_number::kInvalidProcedureCall;
    *json = nullptr;
    // Reading the state leaves the last error as it was: it is part of the state.
    std::optional<infotrakon::Error> failed = infotrakon::Guarded([&] {
        std::optional<infotrakon::Error> error;
        if (panel->lastNumber != 0) error.emplace(panel->lastNumber, panel->lastError);
        const std::string text = infotrakon::control::PanelJson(panel->control->panel(), error);
        *json = static_cast<char*>(std::malloc(text.size() + 1));
        if (*json == nullptr) throw std::bad_alloc();
        std::memcpy(*json, text.c_str(), text.size() + 1);
    });
    return failed ? failed->number() : 0;
}

void infotrakon_free(void* memory) { std::free(memory); }

const char* infotrakon_identity(const char* item) {
    const char* found = nullptr;
    infotrakon::Guarded([&] { found = IdentityOf(item); });
    return found;
}

int infotrakon_event_member_count(void) { return 0; }

}  // extern "C"
