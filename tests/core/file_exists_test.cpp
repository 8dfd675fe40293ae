#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/wine_file_system.h"

namespace infotrakon {
namespace {

namespace fs = std::filesystem;

class FileExistsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("infotrakon-fs-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "prefix/drive_c/Trakon/Data");
        fs::create_directories(root_ / "prefix/dosdevices");
        fs::create_directory_symlink("../drive_c", root_ / "prefix/dosdevices/c:");
        fs::create_directory_symlink("/", root_ / "prefix/dosdevices/z:");
        Touch("prefix/drive_c/Trakon/Data/Agenda.MDB");
        Touch("plain.mdb");
        Touch(".hidden.mdb");
        Touch("readonly.mdb");
        fs::permissions(root_ / "readonly.mdb", fs::perms::owner_read);
        fs::create_directories(root_ / "folder.mdb");
    }
    void TearDown() override { fs::remove_all(root_); }
    void Touch(const std::string& relative) { std::ofstream(root_ / relative) << "x"; }
    std::string At(const std::string& relative) const { return (root_ / relative).string(); }

    fs::path root_;
};

TEST_F(FileExistsTest, OrdinaryFilesOnly) {
    const WineFileSystem files(At("prefix"));
    EXPECT_TRUE(files.FileExists(At("plain.mdb")));
    EXPECT_TRUE(files.FileExists(At("readonly.mdb")));
    EXPECT_FALSE(files.FileExists(At("folder.mdb")));
    EXPECT_FALSE(files.FileExists(At(".hidden.mdb")));
    EXPECT_FALSE(files.FileExists(At("missing.mdb")));
    EXPECT_FALSE(files.FileExists(""));
    EXPECT_FALSE(files.FileExists(At("")));
}

TEST_F(FileExistsTest, WildcardsInTheLastComponent) {
    const WineFileSystem files(At("prefix"));
    EXPECT_TRUE(files.FileExists(At("*.mdb")));
    EXPECT_TRUE(files.FileExists(At("pla?n.mdb")));
    EXPECT_FALSE(files.FileExists(At("*.accdb")));
    EXPECT_FALSE(files.FileExists(At("folder*")));  // only a directory matches
    EXPECT_FALSE(files.FileExists(At(".hid*")));
}

TEST_F(FileExistsTest, WindowsPathsThroughThePrefix) {
    const WineFileSystem files(At("prefix"));
    EXPECT_TRUE(files.FileExists("C:\\Trakon\\Data\\agenda.mdb"));
    EXPECT_TRUE(files.FileExists("c:\\TRAKON\\data\\AGENDA.mdb"));
    EXPECT_TRUE(files.FileExists("C:\\Trakon\\Data\\*.mdb"));
    EXPECT_FALSE(files.FileExists("C:\\Trakon\\Data"));
    EXPECT_FALSE(files.FileExists("D:\\Trakon\\Data\\agenda.mdb"));
    EXPECT_EQ(files.LocalPath("C:\\Trakon\\Data\\agenda.mdb"),
              At("prefix/dosdevices/../drive_c/Trakon/Data/Agenda.MDB"));
    const std::string viaZ = "Z:" + At("plain.mdb");
    EXPECT_TRUE(files.FileExists(viaZ));
}

// A relative path is found from the current folder; a wildcard names files of the last
// folder only, never a folder on the way.
TEST_F(FileExistsTest, RelativePathsAndWildcardsInFolders) {
    const WineFileSystem files(At("prefix"));
    const fs::path previous = fs::current_path();
    fs::current_path(root_);
    EXPECT_TRUE(files.FileExists("plain.mdb"));
    EXPECT_TRUE(files.FileExists("prefix\\drive_c\\Trakon\\Data\\agenda.mdb"));
    EXPECT_FALSE(files.FileExists("folder.mdb"));
    fs::current_path(previous);
    EXPECT_FALSE(files.FileExists("C:\\Tra*\\Data\\agenda.mdb"));
    EXPECT_FALSE(files.FileExists("C:\\Trakon\\Dat?\\*.mdb"));
    EXPECT_TRUE(files.FileExists("C:\\Trakon\\Data\\*.mdb"));
}

TEST(Wildcards, MatchLikeADirectorySearch) {
    EXPECT_TRUE(MatchesWildcard("*", "a.b"));
    EXPECT_TRUE(MatchesWildcard("*.MDB", "agenda.mdb"));
    EXPECT_TRUE(MatchesWildcard("a*b*c", "aXXbYYc"));
    EXPECT_FALSE(MatchesWildcard("a*b*c", "aXXbYY"));
    EXPECT_TRUE(MatchesWildcard("?", "x"));
    EXPECT_FALSE(MatchesWildcard("?", ""));
    EXPECT_FALSE(MatchesWildcard("a", "ab"));
}

}  // namespace
}  // namespace infotrakon
