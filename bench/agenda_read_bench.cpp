// How fast the panel reads a large agenda, measured against what a user would script instead:
// one mdb-export pass of carservis to /dev/null. Each case runs in a child process, so that
// its peak resident size is its own, three times, the fastest run counting. Where PostgreSQL
// is installed, the same agenda on a server of the benchmark's own, against one psql \copy of
// carservis.
// Run: agenda_read_bench [ROWS...] (default 100000 1000000).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "agenda_db/agenda_access.h"
#include "agenda_db/agenda_backend.h"
#include "control/infotrakon.h"
#include "core/wine_file_system.h"
#include "mkagenda/description.h"
#include "mkagenda/jet_writer.h"
#include "panel/panel.h"
#include "support/postgres_server.h"
#include "tools/mkagenda/sql_writer.h"

namespace {

using namespace infotrakon;

struct Measurement {
    double seconds = 0;
    double cpuSeconds = 0;  // of the process itself, beside its wall time: the rest is waiting
    long peakKilobytes = 0;
};

// Runs `work` in a child process; its wall time and peak resident size (that of the child's
// own children included, as wait4 reports it).
Measurement InChild(const std::function<void()>& work) {
    const auto started = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        try {
            work();
        } catch (const std::exception& error) {
            std::fprintf(stderr, "failed: %s\n", error.what());
            _exit(1);
        }
        _exit(0);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::exit(1);
    const auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
    };
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(),
            seconds(usage.ru_utime) + seconds(usage.ru_stime), usage.ru_maxrss};
}

// The fastest of three runs of `work`, each in a child process, with the highest peak of
// them: a single run on a shared machine is as often slowed by a neighbour as not.
Measurement Best(const std::function<void()>& work) {
    Measurement best = InChild(work);
    for (int run = 1; run < 3; ++run) {
        const Measurement next = InChild(work);
        const long peak = std::max(best.peakKilobytes, next.peakKilobytes);
        if (next.seconds < best.seconds) best = next;
        best.peakKilobytes = peak;
    }
    return best;
}

// What SumField does: the record set under a filter, walked by count, one field read each.
double Sum(panel::Panel& panel, const FileSystem& files, const std::string& filter) {
    if (!agenda_db::ConnectAgenda(panel, files)) throw std::runtime_error("no agenda");
    panel::Recordset& records =
        agenda_db::OpenAgendaRecordset(panel, "SELECT * FROM carservis", filter, {"castka"});
    double total = 0;
    const std::int32_t count = records.RecordCount();
    for (std::int32_t i = 0; i < count; ++i) {
        const Variant amount = records.FieldValue("castka");
        if (const auto* exact = amount.get<Currency>()) total += exact->ToDouble();
        records.MoveNext();
    }
    records.Close();
    return total;
}

// The panel's whole start-up, as a host creates it: the host's setting, the company name,
// the four cost figures and two fills of the list.
void StartUp(const std::string& folder, const std::string& settingsFile, const Date& today) {
    control::HostEnvironment environment =
        control::HostEnvironment::ForHost({folder, settingsFile, today});
    // The texts as on a Czech system, whatever this machine's locale.
    environment.locale = std::make_shared<Locale>(Locale::Czech());
    control::InfoTrakon panel(std::move(environment));
    panel.Initialize();
}

void Report(const char* what, const Measurement& measured, const Measurement& baseline) {
    std::printf("  %-48s %8.3f s  %6.2f x  peak %7.1f MB  cpu %6.3f s\n", what, measured.seconds,
                measured.seconds / baseline.seconds,
                static_cast<double>(measured.peakKilobytes) / 1024, measured.cpuSeconds);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::size_t> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::strtoul(argv[i], nullptr, 10));
    if (sizes.empty()) sizes = {100'000, 1'000'000};
    const Date today = Date::FromCivil(2026, 6, 15);
    const auto folder =
        std::filesystem::temp_directory_path() / ("infotrakon-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const auto files = std::make_shared<WineFileSystem>(folder.string());
    const auto settingsFor = [&](const std::string& name) {
        const std::string file = (folder / (name + ".reg")).string();
        std::ofstream(file) << "Windows Registry Editor Version 5.00\r\n\r\n"
                               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Velmora\\Trakon\\ProgramSeting]\r\n"
                               "\"LastFullFileNameOpen\"=\""
                            << folder.string() << "/" << name << "\"\r\n";
        return file;
    };
    // The server column, where PostgreSQL is installed: a cluster of the benchmark's own.
    std::unique_ptr<testing::TemporaryPostgres> server;
    try {
        server = std::make_unique<testing::TemporaryPostgres>();
        // The driver as its folder registers it, without the communication log that Debian's
        // registration asks for: that leaves a file in /tmp for every case.
        ::setenv("ODBCSYSINI", server->socketFolder().c_str(), 0);
        std::ofstream(folder / "server.udl") << "[oledb]\nProvider=MSDASQL.1;Extended Properties=\""
                                             << server->OdbcProperties("bench") << "\"\n";
        server->CreateDatabase("bench");
    } catch (const std::exception& error) {
        std::printf("(no server column: %s)\n", error.what());
        server.reset();
    }

    for (const std::size_t rows : sizes) {
        const std::string path = (folder / "agenda.mdb").string();
        const Measurement written = InChild([&] {
            mkagenda::JetWriter jet;
            mkagenda::SqlWriter sql;
            mkagenda::TeeWriter writer({&jet, &sql});
            mkagenda::WriteGeneratedAgenda(writer, rows, today);
            jet.Finish(path);
            if (server) sql.Finish((folder / "agenda.sql").string());
        });
        std::printf("carservis with %zu rows (%.1f MB, written in %.2f s); ratios to mdb-export:\n",
                    rows, static_cast<double>(std::filesystem::file_size(path)) / 1e6,
                    written.seconds);
        const Measurement exported = Best([&] {
            const std::string command = "mdb-export '" + path + "' carservis > /dev/null";
            if (std::system(command.c_str()) != 0) throw std::runtime_error("mdb-export failed");
        });
        Report("mdb-export carservis > /dev/null", exported, exported);
        const auto withPanelOn = [&](const std::string& agenda,
                                     const std::function<void(panel::Panel&)>& work) {
            return Best([&] {
                panel::Panel panel;
                panel.Adodc1.SetBackend(std::make_shared<agenda_db::AgendaBackend>(files));
                panel.Label3.SetCaption(agenda);
                work(panel);
            });
        };
        const auto withPanel = [&](const std::function<void(panel::Panel&)>& work) {
            return withPanelOn(path, work);
        };
        Report("one SumField (filter on car, servis, datum)", withPanel([&](panel::Panel& panel) {
                   Sum(panel, *files, "car=true and servis=true and datum >= #1/1/2026#");
               }),
               exported);
        Report("one SumField without a filter",
               withPanel([&](panel::Panel& panel) { Sum(panel, *files, ""); }), exported);
        Report("the panel's start-up (5 readers, 2 list fills)",
               Best([&] { StartUp(folder.string(), settingsFor("agenda.mdb"), today); }), exported);
        if (!server) continue;
        server->Psql("bench", "-f '" + (folder / "agenda.sql").string() + "'");
        const Measurement copied =
            Best([&] { server->Psql("bench", "-c '\\copy carservis to /dev/null'"); });
        std::printf("  on the server, ratios to psql \\copy:\n");
        Report("psql -c \"\\copy carservis to /dev/null\"", copied, copied);
        Report("one SumField over ODBC (filter on car, servis, datum)",
               withPanelOn((folder / "server.udl").string(),
                           [&](panel::Panel& panel) {
                               Sum(panel, *files,
                                   "car=true and servis=true and datum >= #1/1/2026#");
                           }),
               copied);
        Report("one SumField over ODBC without a filter",
               withPanelOn((folder / "server.udl").string(),
                           [&](panel::Panel& panel) { Sum(panel, *files, ""); }),
               copied);
        Report("the panel's start-up over ODBC",
               Best([&] { StartUp(folder.string(), settingsFor("server.udl"), today); }), copied);
    }
    std::filesystem::remove_all(folder);
    return 0;
}
