#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/error.h"
#include "core/file_system.h"

namespace infotrakon {
namespace {

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
            if (got < 0)
                throw Error(error_number::kCannotOpenDatabase,
                            "Cannot read '" + path_ + "': " + std::strerror(errno));
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
        throw Error(error_number::kCannotOpenDatabase,
                    "Cannot open '" + localPath + "': " + std::strerror(code));
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        throw Error(error_number::kCannotOpenDatabase, "'" + localPath + "' is no regular file");
    }
    return std::make_unique<PosixFile>(localPath, descriptor,
                                       static_cast<std::uint64_t>(status.st_size));
}

}  // namespace infotrakon
