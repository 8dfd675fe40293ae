#pragma once

#include <map>
#include <memory>
#include <string>

#include "core/file_system.h"

namespace infotrakon {

// Files held in memory under their exact paths, for the fuzz targets and for tests that must
// not touch the disk. No folders, no wildcards: a path names a file or nothing.
class MemoryFileSystem final : public FileSystem {
  public:
    void Add(const std::string& path, std::string bytes);

    bool FileExists(const std::string& path) const override;
    std::string LocalPath(const std::string& path) const override { return path; }
    std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) const override;

  private:
    std::map<std::string, std::shared_ptr<const std::string>> files_;
};

}  // namespace infotrakon
