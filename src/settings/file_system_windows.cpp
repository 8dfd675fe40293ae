// The host's paths are the platform's own; the file test is the platform's directory search.
#include <windows.h>

#include "core/text_encoding.h"
#include "settings/local_file_system.h"

namespace infotrakon::settings {
namespace {

// What a directory search with the normal attributes leaves out.
constexpr DWORD kNotNormal =
    FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

}  // namespace

LocalFileSystem::LocalFileSystem(std::string winePrefix) : winePrefix_(std::move(winePrefix)) {}

std::string LocalFileSystem::LocalPath(const std::string& path) const { return path; }

bool LocalFileSystem::FileExists(const std::string& path) const {
    if (path.empty()) return false;
    const std::string ansi = Utf16ToAnsi(Utf8ToUtf16(path), SystemAnsiCodePage());
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA(ansi.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool exists = false;
    do {
        exists = (found.dwFileAttributes & kNotNormal) == 0;
    } while (!exists && FindNextFileA(search, &found));
    FindClose(search);
    return exists;
}

std::unique_ptr<ReadableFile> LocalFileSystem::OpenForReading(const std::string& path) const {
    return OpenLocalFile(path);
}

}  // namespace infotrakon::settings
