#pragma once

#include <string>

namespace infotrakon::settings {

// The file test of the panel, and the way from the host's paths to the local file system.
class FileSystem {
  public:
    virtual ~FileSystem() = default;
    // True when a directory search for `path` finds an ordinary file: not for the empty
    // text, never for a directory or a hidden file; * and ? in the last component match.
    virtual bool FileExists(const std::string& path) const = 0;
    // The local path the host's path names, for opening the file.
    virtual std::string LocalPath(const std::string& path) const = 0;
};

// The local file system, with Windows paths mapped the way Wine maps them: the drive
// through the prefix's dosdevices links (c: to ../drive_c, z: to /), backslashes to slashes,
// and each component matched without regard to letter case where the exact name is absent.
class LocalFileSystem final : public FileSystem {
  public:
    explicit LocalFileSystem(std::string winePrefix);

    bool FileExists(const std::string& path) const override;
    std::string LocalPath(const std::string& path) const override;

  private:
    std::string winePrefix_;
};

// Windows directory-search matching of one name: * any run, ? any one character, letter
// case ignored (ASCII).
bool MatchesWildcard(const std::string& pattern, const std::string& name);

}  // namespace infotrakon::settings
