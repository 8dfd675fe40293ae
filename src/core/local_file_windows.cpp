// Files opened as the host program shares them: it has the agenda open for writing, so the
// panel reads with every share mode, and never asks for more than reading.
#include <windows.h>

#include "core/error.h"
#include "core/file_system.h"
#include "core/text_encoding.h"

namespace infotrakon {
namespace {

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
                throw Error(error_number::kCannotOpenDatabase,
                            "Cannot read '" + path_ + "': " + SystemMessage(code));
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
    const std::string ansi = Utf16ToAnsi(Utf8ToUtf16(localPath), SystemAnsiCodePage());
    const DWORD attributes = GetFileAttributesA(ansi.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ||
            code == ERROR_INVALID_NAME || code == ERROR_BAD_NETPATH)
            throw Error(error_number::kCouldNotFindFile, "Could not find file '" + localPath + "'");
        throw Error(error_number::kCannotOpenDatabase,
                    "Cannot open '" + localPath + "': " + SystemMessage(code));
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        throw Error(error_number::kCannotOpenDatabase, "'" + localPath + "' is no regular file");
    const HANDLE handle = CreateFileA(ansi.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw Error(error_number::kCannotOpenDatabase,
                    "Cannot open '" + localPath + "': " + SystemMessage(GetLastError()));
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle, &size)) {
        const DWORD code = GetLastError();
        CloseHandle(handle);
        throw Error(error_number::kCannotOpenDatabase,
                    "Cannot open '" + localPath + "': " + SystemMessage(code));
    }
    return std::make_unique<WindowsFile>(localPath, handle,
                                         static_cast<std::uint64_t>(size.QuadPart));
}

}  // namespace infotrakon
