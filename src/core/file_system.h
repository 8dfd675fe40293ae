#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace infotrakon {

// A file opened for reading: read-only, shared with a host that has it open for writing, with
// no lock file and its times left as they were.
class ReadableFile {
  public:
    virtual ~ReadableFile() = default;
    // The file's size in bytes when it was opened.
    virtual std::uint64_t Size() const = 0;
    // Reads up to `out.size()` bytes from `offset` on and gives the number read: fewer only
    // where the file ends. Raises an Error naming the file when the platform cannot read it.
    virtual std::size_t ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const = 0;
    // The file as messages name it: its path on the platform.
    virtual const std::string& name() const = 0;
};

// The file system as the panel reaches it, through the host's paths.
class FileSystem {
  public:
    virtual ~FileSystem() = default;
    // True when a directory search for `path` finds an ordinary file: never for the empty
    // text, a directory, or a hidden or system file; * and ? in the last component match.
    virtual bool FileExists(const std::string& path) const = 0;
    // The platform's path of the host's `path`.
    virtual std::string LocalPath(const std::string& path) const = 0;
    // Opens the host's `path` for reading. Raises Error 3024 naming it when there is nothing
    // there, 3051 when it is no file that can be read.
    virtual std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) const = 0;
};

// The platform's own file at `localPath`, opened for reading as a ReadableFile is; the errors
// of FileSystem::OpenForReading.
std::unique_ptr<ReadableFile> OpenLocalFile(const std::string& localPath);

// The machine's own file system, its paths the platform's: on Windows the directory search
// of the system; on Linux Unix paths, each component matched without regard to letter case
// where the exact name is absent.
std::shared_ptr<const FileSystem> PlatformFileSystem();

// The whole content of a small file. Raises an Error naming it when it holds more than
// `limit` bytes, `what` saying what the file was to be ("a data link").
std::string ReadWholeFile(const ReadableFile& file, std::size_t limit, const std::string& what);

}  // namespace infotrakon
