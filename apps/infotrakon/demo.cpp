#include "demo.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/clock.h"
#include "core/error.h"

namespace infotrakon::app {
namespace {

namespace fs = std::filesystem;

fs::path DemoFolder() {
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache)
        return fs::path(cache) / "infotrakon" / "demo";
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : "/tmp") / ".cache" / "infotrakon" / "demo";
}

// The mkagenda that goes with this program: INFOTRAKON_MKAGENDA if set, else the one beside the
// running executable (as the build and a plain copy lay them out), else the one in the
// installed libexec folder.
std::string MkagendaPath() {
    if (const char* path = std::getenv("INFOTRAKON_MKAGENDA"); path && *path) return path;
    std::error_code failed;
    const fs::path self = fs::read_symlink("/proc/self/exe", failed);
    if (failed) return "mkagenda";
    const fs::path beside = self.parent_path() / "mkagenda";
    const fs::path installed =
        self.parent_path().parent_path() / "libexec" / "infotrakon" / "mkagenda";
    if (!fs::exists(beside, failed) && fs::exists(installed, failed)) return installed.string();
    return beside.string();
}

void RunMkagenda(const std::string& agenda, const Date& today) {
    const std::string program = MkagendaPath();
    const std::string day = today.ToIso();
    const pid_t child = fork();
    if (child < 0) throw Error(error_number::kOutOfMemory, "Cannot start " + program);
    if (child == 0) {
        const char* argv[] = {program.c_str(), "--force",   "--demo", agenda.c_str(),
                              "--today",       day.c_str(), nullptr};
        execv(program.c_str(), const_cast<char* const*>(argv));
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw Error(error_number::kFileNotFound,
                    "Cannot write the demo agenda with " + program +
                        (WIFEXITED(status) && WEXITSTATUS(status) == 127 ? " (not found)" : ""));
}

}  // namespace

PanelOptions PrepareDemo(const PanelOptions& options) {
    const fs::path prefix = DemoFolder();
    std::error_code ignored;
    fs::remove_all(prefix, ignored);
    fs::create_directories(prefix / "dosdevices");
    fs::create_directories(prefix / "drive_c" / "Trakon" / "Data");
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
    const Date today = options.today.value_or(SystemClock().Today());
    RunMkagenda((prefix / "drive_c" / "Trakon" / "Data" / "agenda.mdb").string(), today);
    std::ofstream hive(prefix / "system.reg", std::ios::binary);
    hive << "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n"
            "[Software\\\\Velmora\\\\Trakon\\\\ProgramSeting] 1765000000\n"
            "#time=1db47c6f2a1b2c0\n"
            "\"LastFullFileNameOpen\"=\"C:\\\\Trakon\\\\Data\\\\agenda.mdb\"\n";
    if (!hive)
        throw Error(error_number::kFileNotFound,
                    "Cannot write " + (prefix / "system.reg").string());
    PanelOptions demo = options;
    demo.winePrefix = prefix.string();
    demo.settings = (prefix / "system.reg").string();
    demo.today = today;
    return demo;
}

}  // namespace infotrakon::app
