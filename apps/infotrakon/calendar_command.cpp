#include "calendar_command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <iostream>

#include "calendar/deadlines.h"
#include "calendar/icalendar.h"
#include "core/error.h"
#include "core/file_system.h"
#include "gui/file_follower.h"
#include "panel_run.h"

namespace infotrakon::app {
namespace {

namespace fs = std::filesystem;

constexpr int kSettleMilliseconds = 500;

[[noreturn]] void FailToWrite(const std::string& path, const std::string& what) {
    throw Error(error_number::kPathFileAccess,
                "Cannot write the calendar '" + path + "': " + what + ": " + std::strerror(errno));
}

// A calendar of deadlines is a few hundred bytes an event; anything far larger is no
// calendar this command wrote.
constexpr std::size_t kLargestEarlierCalendar = 64u << 20;

// The calendar already at `path`, for the sequences of its events; none when there is no file.
calendar::EventHistory EarlierEvents(const std::string& path) {
    std::error_code failed;
    if (!fs::exists(path, failed)) return {};
    const std::string text =
        ReadWholeFile(*OpenLocalFile(path), kLargestEarlierCalendar, "an earlier calendar");
    if (text.find('\0') != std::string::npos)
        throw Error(error_number::kDatabaseFormat,
                    "'" + path + "' is no iCalendar calendar; it is left as it is");
    return calendar::ReadEventHistory(text, path);
}

// New files get the mode that the user's umask gives; a file written anew keeps its own.
mode_t ModeFor(const std::string& path) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void ReportError(const Error& error) {
    std::cerr << "infotrakon: error " << error.number() << ": " << error.what() << "\n";
}

int FollowCalendar(const CalendarOptions& options, std::string agendaPath) {
    int argc = 1;
    char name[] = "infotrakon";
    char* argv[] = {name, nullptr};
    QCoreApplication qt(argc, argv);
    const QString settings = QString::fromStdString(SettingsFileOf(options.host));
    gui::FileFollower follower(
        [&] {
            return std::vector<QString>{settings, QString::fromStdString(agendaPath)};
        },
        [&] {
            // A failed export leaves the last good calendar in place and goes on following.
            try {
                const CalendarExport exported = ExportCalendar(options, std::cerr);
                WriteFileAtomically(*options.out, exported.text);
                agendaPath = exported.agendaPath;
                std::cerr << "infotrakon: calendar " << *options.out << " written anew\n";
            } catch (const Error& error) {
                ReportError(error);
            }
        },
        kSettleMilliseconds, nullptr);
    return qt.exec();
}

}  // namespace

CalendarExport ExportCalendar(const CalendarOptions& options, std::ostream& warnings) {
    const control::HostEnvironment environment =
        EnvironmentFor(options.host, panel::DefaultTextMetrics());
    panel::Panel panel;
    panel.Adodc1.SetBackend(environment.backend);
    const agenda_db::ReaderContext context{*environment.files, *environment.locale,
                                           *environment.clock};
    const Date from = options.from.value_or(environment.clock->Today().AddDays(-30));
    const calendar::AgendaDeadlines deadlines =
        calendar::ReadAgendaDeadlines(panel, *environment.registry, context, from);
    for (const std::string& warning : deadlines.warnings)
        warnings << "infotrakon: warning: " << warning << "\n";

    calendar::CalendarSettings settings;
    settings.reminderDays = options.reminderDays;
    settings.now = std::time(nullptr);
    const calendar::EventHistory earlier =
        options.out ? EarlierEvents(*options.out) : calendar::EventHistory{};
    return {calendar::CalendarText(deadlines, settings, earlier),
            environment.files->LocalPath(deadlines.agenda)};
}

void WriteFileAtomically(const std::string& path, const std::string& text) {
    const fs::path target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int file = ::mkstemp(temporary.data());
    if (file < 0) FailToWrite(path, "no temporary file in its folder");
    const auto abandon = [&](const char* what) {
        const int saved = errno;
        ::close(file);
        ::unlink(temporary.c_str());
        errno = saved;
        FailToWrite(path, what);
    };
    if (::fchmod(file, ModeFor(path)) != 0) abandon("cannot set its mode");
    for (std::size_t written = 0; written < text.size();) {
        const ssize_t put = ::write(file, text.data() + written, text.size() - written);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) abandon("writing");
        written += static_cast<std::size_t>(put);
    }
    if (::fsync(file) != 0) abandon("flushing");
    if (::close(file) != 0) {
        ::unlink(temporary.c_str());
        FailToWrite(path, "closing");
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int saved = errno;
        ::unlink(temporary.c_str());
        errno = saved;
        FailToWrite(path, "renaming the new file over it");
    }
}

int RunCalendar(const CalendarOptions& options) {
    const CalendarExport exported = ExportCalendar(options, std::cerr);
    if (!options.out) {
        std::cout << exported.text << std::flush;
        return 0;
    }
    WriteFileAtomically(*options.out, exported.text);
    if (!options.follow) return 0;
    return FollowCalendar(options, exported.agendaPath);
}

}  // namespace infotrakon::app
