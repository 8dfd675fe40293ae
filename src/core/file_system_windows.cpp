// The file door on Windows: the host's paths are the platform's own, and the file test is the
// platform's directory search. Files are opened as the host program shares them: it has the
// agenda open for writing, so the panel reads with every share mode, and never asks for more
// than reading.
#include <windows.h>

#include "core/error.h"
#include "core/file_system.h"
#include "core/text_encoding.h"

namespace infotrakon {
namespace {

// What a directory search with the normal attributes leaves out.
constexpr DWORD kNotNormal =
    FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

std::string SystemMessage(DWORD code) {
    char* text = nullptr;
    FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = text != nullptr ? AnsiToUtf8(text, SystemAnsiCodePage())
                                          : "system error " + std::to_string(code);
    if (text != nullptr) LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    return message;
}

// The error of a system call on `path` that failed with `code` (a GetLastError): what
// failed, and why in the system's words.
Error FileError(const std::string& failed, const std::string& path, DWORD code) {
    return Error(error_number::kCannotOpenDatabase,
                 failed + " '" + path + "': " + SystemMessage(code));
}

std::string AnsiPath(const std::string& path) {
    return Utf16ToAnsi(Utf8ToUtf16(path), SystemAnsiCodePage());
}

class WindowsFile final : public ReadableFile {
  public:
    WindowsFile(std::string path, HANDLE handle, std::uint64_t size)
        : path_(std::move(path)), handle_(handle), size_(size) {}
    ~WindowsFile() override { CloseHandle(handle_); }
    WindowsFile(const WindowsFile&) = delete;
    WindowsFile& operator=(const WindowsFile&) = delete;

    std::uint64_t Size() const override { return size_; }
    const std::string& name() const override { return path_; }

    // Each read names its offset, so readers at different places share no file position.
    std::size_t ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const override {
        std::size_t done = 0;
        while (done < out.size()) {
            OVERLAPPED at{};
            const std::uint64_t position = offset + done;
            at.Offset = static_cast<DWORD>(position);
            at.OffsetHigh = static_cast<DWORD>(position >> 32);
            const DWORD wanted =
                static_cast<DWORD>(std::min<std::size_t>(out.size() - done, 1u << 30));
            DWORD got = 0;
            if (!ReadFile(handle_, out.data() + done, wanted, &got, &at)) {
                const DWORD code = GetLastError();
                if (code == ERROR_HANDLE_EOF) break;
                throw FileError("Cannot read", path_, code);
            }
            if (got == 0) break;
            done += got;
        }
        return done;
    }

  private:
    std::string path_;
    HANDLE handle_;
    std::uint64_t size_;
};

}  // namespace

std::unique_ptr<ReadableFile> OpenLocalFile(const std::string& localPath) {
    const std::string ansi = AnsiPath(localPath);
    const DWORD attributes = GetFileAttributesA(ansi.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ||
            code == ERROR_INVALID_NAME || code == ERROR_BAD_NETPATH)
            throw Error(error_number::kCouldNotFindFile, "Could not find file '" + localPath + "'");
        throw FileError("Cannot open", localPath, code);
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        throw Error(error_number::kCannotOpenDatabase, "'" + localPath + "' is no regular file");
    const HANDLE handle = CreateFileA(ansi.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) throw FileError("Cannot open", localPath, GetLastError());
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle, &size)) {
        const DWORD code = GetLastError();
        CloseHandle(handle);
        throw FileError("Cannot open", localPath, code);
    }
    return std::make_unique<WindowsFile>(localPath, handle,
                                         static_cast<std::uint64_t>(size.QuadPart));
}

namespace {

// The host's paths are the platform's own.
class WindowsFileSystem final : public FileSystem {
  public:
    bool FileExists(const std::string& path) const override {
        if (path.empty()) return false;
        WIN32_FIND_DATAA found{};
        const HANDLE search = FindFirstFileA(AnsiPath(path).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return false;
        bool exists = false;
        do {
            exists = (found.dwFileAttributes & kNotNormal) == 0;
        } while (!exists && FindNextFileA(search, &found));
        FindClose(search);
        return exists;
    }
    std::string LocalPath(const std::string& path) const override { return path; }
    std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) const override {
        return OpenLocalFile(path);
    }
};

}  // namespace

std::shared_ptr<const FileSystem> PlatformFileSystem() {
    return std::make_shared<WindowsFileSystem>();
}

}  // namespace infotrakon
