// The host's settings and the file test on Windows, against the real registry and the real
// directory search (under Wine in the test run).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/text_encoding.h"
#include "settings/local_file_system.h"
#include "settings/module1.h"
#include "settings/windows_registry_store.h"

namespace infotrakon::settings {
namespace {

namespace fs = std::filesystem;

// A key of the test's own under HKEY_LOCAL_MACHINE\Software, removed afterwards.
class WindowsRegistryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = "Software\\InfoTrakonTests\\" + std::to_string(GetCurrentProcessId()) + "\\" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key_, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        RegCloseKey(key_);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, path_.c_str());
    }
    // Stores the first `size` bytes of `bytes` (all of them by default).
    void Set(const char* name, DWORD type, const std::string& bytes,
             std::size_t size = std::string::npos) {
        ASSERT_EQ(RegSetValueExA(key_, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<DWORD>(std::min(size, bytes.size()))),
                  ERROR_SUCCESS);
    }
    std::int32_t Code(const std::string& name) {
        WindowsRegistryStore store;
        KeyHandle handle = 0;
        store.OpenKey(path_, kKeyAccessMask, handle);
        Variant ignored;
        const std::int32_t code = QueryRegistryValue(store, handle, name, ignored);
        store.CloseKey(handle);
        return code;
    }

    std::string path_;
    HKEY key_ = nullptr;
};

TEST_F(WindowsRegistryTest, ValuesReadAsTheLookupReadsThem) {
    Set("LastFullFileNameOpen", REG_SZ,
        std::string("C:\\Trakon\\Data\\\xDA\xE8"
                    "etn\xED agenda.mdb") +
            '\0');
    // The platform adds a terminating zero forgotten in the count when one follows the data;
    // here none does.
    Set("NoTerminator", REG_SZ, "abcdefX", 6);
    Set("Empty", REG_SZ, "");
    Set("AllOnes", REG_DWORD, std::string(4, '\xFF'));
    Set("Seven", REG_DWORD, std::string("\x07\x00\x00\x00", 4));
    Set("Expandable", REG_EXPAND_SZ, std::string("%TEMP%\\a.mdb") + '\0');
    Set("Multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5));
    WindowsRegistryStore store;
    EXPECT_EQ(ReadRegistryValue(store, path_, "LastFullFileNameOpen"),
              Variant("C:\\Trakon\\Data\\Účetní agenda.mdb"));
    // The terminating zero is dropped by the size: without one, the last character goes.
    EXPECT_EQ(ReadRegistryValue(store, path_, "NoTerminator"), Variant("abcde"));
    EXPECT_EQ(ReadRegistryValue(store, path_, "Empty"), Variant());
    EXPECT_EQ(Code("Empty"), 0);
    EXPECT_EQ(ReadRegistryValue(store, path_, "AllOnes"), Variant(-1));
    EXPECT_EQ(ReadRegistryValue(store, path_, "Seven"), Variant(7));
    EXPECT_EQ(ReadRegistryValue(store, path_, "Expandable"), Variant());
    EXPECT_EQ(Code("Expandable"), -1);
    EXPECT_EQ(ReadRegistryValue(store, path_, "Multi"), Variant());
    EXPECT_EQ(Code("Multi"), -1);
    EXPECT_EQ(ReadRegistryValue(store, path_, "Missing"), Variant());
    EXPECT_EQ(Code("Missing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadRegistryValue(store, path_ + "\\NoSuchKey", "LastFullFileNameOpen"), Variant());
}

class WindowsFileExistsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("infotrakon-exists-" + std::to_string(GetCurrentProcessId()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_ / "data.mdb");  // a folder with a file's name
        for (const char* name : {"agenda.mdb", "readonly.mdb", "hidden.mdb", "system.mdb"})
            std::ofstream(folder_ / name) << "x";
        Attribute("readonly.mdb", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
        Attribute("hidden.mdb", FILE_ATTRIBUTE_HIDDEN);
        Attribute("system.mdb", FILE_ATTRIBUTE_SYSTEM);
    }
    void TearDown() override {
        for (const char* name : {"readonly.mdb", "hidden.mdb", "system.mdb"})
            Attribute(name, FILE_ATTRIBUTE_NORMAL);
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    void Attribute(const char* name, DWORD attributes) {
        ASSERT_TRUE(SetFileAttributesA((folder_ / name).string().c_str(), attributes));
    }
    std::string At(const std::string& name) const { return folder_.string() + "\\" + name; }

    fs::path folder_;
};

TEST_F(WindowsFileExistsTest, TheDirectorySearchWithTheNormalAttributes) {
    const LocalFileSystem files;
    const struct {
        std::string path;
        bool exists;
    } cases[] = {
        {At("agenda.mdb"), true},  {At("AGENDA.MDB"), true},   {At("a*.mdb"), true},
        {At("agend?.mdb"), true},  {At("readonly.mdb"), true}, {At("hidden.mdb"), false},
        {At("system.mdb"), false}, {At("data.mdb"), false},    {At("h*.mdb"), false},
        {At("none.mdb"), false},   {folder_.string(), false},  {"", false},
        {At("*.mdb"), true},  // the hidden and system files do not hide the others
    };
    for (const auto& [path, exists] : cases) EXPECT_EQ(files.FileExists(path), exists) << path;
}

TEST_F(WindowsFileExistsTest, ARelativePathIsFoundFromTheCurrentFolder) {
    const LocalFileSystem files;
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.string().c_str()));
    EXPECT_TRUE(files.FileExists("agenda.mdb"));
    EXPECT_TRUE(files.FileExists(".\\agenda.mdb"));
    EXPECT_FALSE(files.FileExists("hidden.mdb"));
    SetCurrentDirectoryA(previous);
}

}  // namespace
}  // namespace infotrakon::settings
