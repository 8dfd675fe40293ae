#pragma once

// Linux builds only: there the host runs in Wine, and its paths are Windows paths inside the
// Wine prefix.
#include <memory>
#include <string>

#include "core/file_system.h"

namespace infotrakon {

// The host's files in the Wine prefix `prefix`. Its Windows paths are mapped the way Wine
// maps them, through the prefix's dosdevices links (c: to ../drive_c, z: to /), backslashes
// to slashes, each component matched without regard to letter case where the exact name is
// absent; a Unix path names itself.
class WineFileSystem final : public FileSystem {
  public:
    explicit WineFileSystem(std::string prefix);

    bool FileExists(const std::string& path) const override;
    std::string LocalPath(const std::string& path) const override;
    std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) const override;

  private:
    std::string prefix_;
};

// Windows directory-search matching of one name: * any run, ? any one character, letter
// case ignored (ASCII).
bool MatchesWildcard(const std::string& pattern, const std::string& name);

}  // namespace infotrakon
