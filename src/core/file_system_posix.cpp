// The file door on Linux: the host runs in Wine, so its Windows paths are mapped to the
// prefix's files the way Wine maps them, and files are read with pread.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include "core/case_fold.h"
#include "core/error.h"
#include "core/file_system.h"
#include "core/wine_file_system.h"

namespace infotrakon {
namespace {

// The error of a system call on `path` that failed with `code` (an errno): what failed, and
// why in the system's words.
Error FileError(const std::string& failed, const std::string& path, int code) {
    return Error(error_number::kCannotOpenDatabase,
                 failed + " '" + path + "': " + std::strerror(code));
}

// A file read with pread, so that readers at different places never share a file position.
class PosixFile final : public ReadableFile {
  public:
    PosixFile(std::string path, int descriptor, std::uint64_t size)
        : path_(std::move(path)), descriptor_(descriptor), size_(size) {}
    ~PosixFile() override { ::close(descriptor_); }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    std::uint64_t Size() const override { return size_; }
    const std::string& name() const override { return path_; }

    std::size_t ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const override {
        std::size_t done = 0;
        while (done < out.size()) {
            const ssize_t got = ::pread(descriptor_, out.data() + done, out.size() - done,
                                        static_cast<off_t>(offset + done));
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) throw FileError("Cannot read", path_, errno);
            if (got == 0) break;
            done += static_cast<std::size_t>(got);
        }
        return done;
    }

  private:
    std::string path_;
    int descriptor_;
    std::uint64_t size_;
};

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

// Where the prefix's drive `drive` (a lower-case letter) lies: its dosdevices link, else
// Wine's own default for c: and z:; nothing for a drive the prefix does not know.
std::optional<std::string> DriveRoot(const std::string& prefix, char drive) {
    const std::string link = prefix + "/dosdevices/" + drive + ":";
    char target[4096];
    const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
    if (length > 0) {
        const std::string to(target, static_cast<std::size_t>(length));
        return to[0] == '/' ? to : prefix + "/dosdevices/" + to;
    }
    if (drive == 'c') return prefix + "/drive_c";
    if (drive == 'z') return "/";
    return std::nullopt;
}

}  // namespace

std::unique_ptr<ReadableFile> OpenLocalFile(const std::string& localPath) {
    // O_NOATIME where the file's owner may ask for it; reading never changes what the host
    // sees of its file.
    int descriptor = ::open(localPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOATIME);
    if (descriptor < 0 && errno == EPERM)
        descriptor = ::open(localPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        const int code = errno;
        if (code == ENOENT || code == ENOTDIR)
            throw Error(error_number::kCouldNotFindFile, "Could not find file '" + localPath + "'");
        throw FileError("Cannot open", localPath, code);
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        throw Error(error_number::kCannotOpenDatabase, "'" + localPath + "' is no regular file");
    }
    return std::make_unique<PosixFile>(localPath, descriptor,
                                       static_cast<std::uint64_t>(status.st_size));
}

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

WineFileSystem::WineFileSystem(std::string prefix) : prefix_(std::move(prefix)) {}

std::string WineFileSystem::LocalPath(const std::string& path) const {
    std::string rest = path;
    std::string base;
    if (IsDriveLetterPath(path)) {
        const char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(path[0])));
        const std::optional<std::string> root = DriveRoot(prefix_, drive);
        if (!root) return path;  // a drive the prefix does not know: nothing to find
        base = *root;
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

bool WineFileSystem::FileExists(const std::string& path) const {
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

std::unique_ptr<ReadableFile> WineFileSystem::OpenForReading(const std::string& path) const {
    return OpenLocalFile(LocalPath(path));
}

std::shared_ptr<const FileSystem> PlatformFileSystem() {
    return std::make_shared<WineFileSystem>("");
}

}  // namespace infotrakon
