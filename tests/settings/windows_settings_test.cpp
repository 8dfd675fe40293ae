// The host's settings on Windows, against the real registry (under Wine in the test run).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "core/text_encoding.h"
#include "settings/module1.h"
#include "settings/windows_registry_store.h"

namespace infotrakon::settings {
namespace {

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

}  // namespace
}  // namespace infotrakon::settings
