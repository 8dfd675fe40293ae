#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <memory>
#include <vector>

#include "core/case_fold.h"
#include "settings/local_file_system.h"

namespace infotrakon::settings {
namespace {

bool IsDriveLetterPath(const std::string& path) {
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

std::vector<std::string> DirectoryNames(const std::string& directory) {
    std::vector<std::string> names;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(
        opendir(directory.empty() ? "." : directory.c_str()), closedir);
    if (!dir) return names;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    return names;
}

std::string Join(const std::string& directory, const std::string& name) {
    if (directory.empty()) return name;
    if (directory.back() == '/') return directory + name;
    return directory + "/" + name;
}

bool IsOrdinaryFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Matches one component as Wine does: the exact name if it exists, else a name that
// differs only in letter case.
std::string ResolveComponent(const std::string& directory, const std::string& component) {
    const std::string exact = Join(directory, component);
    if (access(exact.c_str(), F_OK) == 0) return exact;
    for (const std::string& name : DirectoryNames(directory))
        if (EqualsIgnoringCase(name, component)) return Join(directory, name);
    return exact;
}

}  // namespace

bool MatchesWildcard(const std::string& pattern, const std::string& name) {
    std::size_t p = 0, n = 0, starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == '?' || std::tolower(static_cast<unsigned char>(pattern[p])) ==
                                      std::tolower(static_cast<unsigned char>(name[n])))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

LocalFileSystem::LocalFileSystem(std::string winePrefix) : winePrefix_(std::move(winePrefix)) {}

std::string LocalFileSystem::LocalPath(const std::string& path) const {
    std::string rest = path;
    std::string base;
    if (IsDriveLetterPath(path)) {
        const char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(path[0])));
        const std::string link = winePrefix_ + "/dosdevices/" + drive + ":";
        char target[4096];
        const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
        if (length > 0) {
            const std::string to(target, static_cast<std::size_t>(length));
            base = to[0] == '/' ? to : winePrefix_ + "/dosdevices/" + to;
        } else if (drive == 'c') {
            base = winePrefix_ + "/drive_c";
        } else if (drive == 'z') {
            base = "/";
        } else {
            return path;  // a drive the prefix does not know: nothing to find
        }
        rest = path.substr(2);
    } else if (!path.empty() && path[0] == '/') {
        base = "/";
        rest = path.substr(1);
    }
    std::string local = base;
    std::string component;
    auto flush = [&] {
        if (!component.empty()) local = ResolveComponent(local, component);
        component.clear();
    };
    for (const char c : rest) {
        if (c == '\\' || c == '/') {
            flush();
        } else {
            component += c;
        }
    }
    if (local.empty() && component.empty()) return path;
    const std::string last = component;
    if (last.find_first_of("*?") != std::string::npos) {
        return Join(local, last);  // a pattern stays a pattern
    }
    flush();
    return local;
}

bool LocalFileSystem::FileExists(const std::string& path) const {
    if (path.empty()) return false;
    const std::string local = LocalPath(path);
    const std::size_t slash = local.rfind('/');
    const std::string directory = slash == std::string::npos ? "" : local.substr(0, slash + 1);
    const std::string pattern = slash == std::string::npos ? local : local.substr(slash + 1);
    if (pattern.empty()) return false;
    for (const std::string& name : DirectoryNames(directory)) {
        // A name that starts with a point is hidden, as Wine takes it.
        if (name[0] == '.') continue;
        if (MatchesWildcard(pattern, name) && IsOrdinaryFile(Join(directory, name))) return true;
    }
    return false;
}

std::unique_ptr<ReadableFile> LocalFileSystem::OpenForReading(const std::string& path) const {
    return OpenLocalFile(LocalPath(path));
}

}  // namespace infotrakon::settings
