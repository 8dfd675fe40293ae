// The platform's doors on Windows, against the real calls (under Wine in the test run): the
// user's locale and code page, the clock, reading a file the host has open for writing, and
// the file test's directory search.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/clock.h"
#include "core/error.h"
#include "core/file_system.h"
#include "core/locale.h"
#include "core/text_encoding.h"
#include "support/test_support.h"

namespace infotrakon {
namespace {

namespace fs = std::filesystem;

// The locale Wine was started with: Czech unless the run asks for English.
bool RunsInEnglish() {
    const char* locale = std::getenv("LC_ALL");
    return locale != nullptr && std::string(locale).starts_with("en");
}

TEST(WindowsLocale, TheUsersLocaleAndCodePage) {
    const Locale locale = Locale::FromEnvironment();
    const Date date = Date::FromCivil(2026, 12, 7, 9, 5, 3);
    if (RunsInEnglish()) {
        EXPECT_EQ(locale.decimalSeparator(), ".");
        EXPECT_EQ(locale.FormatShortDate(date), "12/7/2026");
        EXPECT_EQ(locale.FormatTime(date), "9:05:03 AM");
        EXPECT_STREQ(SystemAnsiCodePage(), "CP1252");
    } else {
        EXPECT_EQ(locale.decimalSeparator(), ",");
        EXPECT_EQ(locale.FormatShortDate(date), "7. 12. 2026");
        EXPECT_EQ(locale.FormatTime(date), "9:05:03");
        EXPECT_STREQ(SystemAnsiCodePage(), "CP1250");
    }
    const std::optional<Locale> czech = Locale::FromSystem("cs_CZ.UTF-8");
    ASSERT_TRUE(czech);
    EXPECT_EQ(czech->decimalSeparator(), ",");
    EXPECT_FALSE(Locale::FromSystem("xx_NOWHERE"));
}

TEST(WindowsLocale, CodePagesConvertAsThePlatformDoes) {
    EXPECT_EQ(Utf16ToAnsi(u"Účetní agenda", "CP1250"),
              "\xDA\xE8"
              "etn\xED agenda");
    EXPECT_EQ(AnsiToUtf8("\xDA\xE8"
                         "etn\xED agenda",
                         "CP1250"),
              "Účetní agenda");
    // A character the page does not hold becomes its nearest letter or "?", as the ANSI
    // functions give it; each half of a character beyond the first 65536 is a "?".
    EXPECT_EQ(Utf16ToAnsi(u"\u0159\u4E2D", "CP1252"), "r?");
    EXPECT_EQ(Utf16ToAnsi(u"\U0001F600", "CP1250"), "??");
    // Bytes that 1252 leaves undefined map to the control characters of the same number.
    EXPECT_EQ(AnsiToUtf8("\x81\x8D", "CP1252"), "\u0081\u008D");
}

TEST(WindowsClock, TodayIsTheLocalDate) {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    const Date expected = Date::FromCivil(local->tm_year + 1900, local->tm_mon + 1, local->tm_mday);
    const Date today = SystemClock().Today();
    // Around midnight the two readings may fall on either side of it.
    EXPECT_LE(std::abs(today.dayNumber() - expected.dayNumber()), 1);
    EXPECT_FALSE(today.hasTime());
}

class WindowsFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("infotrakon-files-" + std::to_string(GetCurrentProcessId()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    fs::path folder_;
};

// The host keeps its agenda open for writing while the panel reads it.
TEST_F(WindowsFileTest, AFileTheHostHasOpenForWritingIsRead) {
    // The test folder is plain ASCII; the name is UTF-8, as the panel keeps texts.
    const std::string path = folder_.string() + "\\Účetní agenda.mdb";
    const std::string ansi = Utf16ToAnsi(Utf8ToUtf16(path), SystemAnsiCodePage());
    const HANDLE writer =
        CreateFileA(ansi.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE) << path << ": error " << GetLastError();
    const char bytes[] = "0123456789";
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(writer, bytes, 10, &written, nullptr));
    FlushFileBuffers(writer);

    const std::unique_ptr<ReadableFile> file = OpenLocalFile(path);
    EXPECT_EQ(file->Size(), 10u);
    EXPECT_EQ(file->name(), path);
    std::uint8_t piece[4] = {};
    EXPECT_EQ(file->ReadAt(6, piece), 4u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(piece), 4), "6789");
    EXPECT_EQ(file->ReadAt(8, piece), 2u);  // past the end: fewer
    EXPECT_EQ(file->ReadAt(20, piece), 0u);
    EXPECT_EQ(ReadWholeFile(*file, 100, "a test file"), "0123456789");
    CloseHandle(writer);
}

TEST_F(WindowsFileTest, MissingFilesAndFoldersAreNamed) {
    const struct {
        std::string path;
        int number;
    } cases[] = {{(folder_ / "none.mdb").string(), error_number::kCouldNotFindFile},
                 {(folder_ / "no folder" / "a.mdb").string(), error_number::kCouldNotFindFile},
                 {folder_.string(), error_number::kCannotOpenDatabase}};
    for (const auto& [path, number] : cases) {
        std::string message;
        EXPECT_EQ(testing::ErrorNumberOf([&] { OpenLocalFile(path); }, &message), number) << path;
        EXPECT_NE(message.find(path), std::string::npos) << message;
    }
}

// The file test's folder: a file of each attribute the directory search weighs.
class WindowsFileExistsTest : public WindowsFileTest {
  protected:
    void SetUp() override {
        WindowsFileTest::SetUp();
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
        WindowsFileTest::TearDown();
    }
    void Attribute(const char* name, DWORD attributes) {
        ASSERT_TRUE(SetFileAttributesA((folder_ / name).string().c_str(), attributes));
    }
    std::string At(const std::string& name) const { return folder_.string() + "\\" + name; }
};

TEST_F(WindowsFileExistsTest, TheDirectorySearchWithTheNormalAttributes) {
    const std::shared_ptr<const FileSystem> files = PlatformFileSystem();
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
    for (const auto& [path, exists] : cases) EXPECT_EQ(files->FileExists(path), exists) << path;
}

TEST_F(WindowsFileExistsTest, ARelativePathIsFoundFromTheCurrentFolder) {
    const std::shared_ptr<const FileSystem> files = PlatformFileSystem();
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.string().c_str()));
    EXPECT_TRUE(files->FileExists("agenda.mdb"));
    EXPECT_TRUE(files->FileExists(".\\agenda.mdb"));
    EXPECT_FALSE(files->FileExists("hidden.mdb"));
    SetCurrentDirectoryA(previous);
}

}  // namespace
}  // namespace infotrakon
