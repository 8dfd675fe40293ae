#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "core/file_system.h"
#include "core/text_encoding.h"
#include "settings/module1.h"
#include "settings/registry_file.h"
#include "support/test_support.h"

namespace infotrakon::settings {
namespace {

namespace fs = std::filesystem;

class TempFile {
  public:
    explicit TempFile(const std::string& bytes, const char* name = "system.reg") {
        directory_ = fs::temp_directory_path() / ("infotrakon-reg-" + std::to_string(::getpid()) +
                                                  "-" + std::to_string(counter_++));
        fs::create_directories(directory_);
        path_ = directory_ / name;
        std::ofstream(path_, std::ios::binary) << bytes;
    }
    ~TempFile() { fs::remove_all(directory_); }
    std::string path() const { return path_.string(); }

  private:
    static inline int counter_ = 0;
    fs::path directory_, path_;
};

using infotrakon::testing::Utf16File;

const std::string kWineHive = R"(WINE REGISTRY Version 2
;; All keys relative to \\Machine

#arch=win32

[Software\\Velmora\\Trakon\\ProgramSeting] 1733480000
#time=1db47c6f2a1b2c0
@="default"
"Bin"=hex:01,02,a0,ff
"Czech"="C:\\Trakon\\\x00da\x010detn\x00ed agenda.mdb"
"Dword42"=dword:0000002a
"DwordMax"=dword:ffffffff
"EmptyText"=""
"Expand"=str(2):"%ProgramFiles%\\Trakon"
"Multi"=str(7):"a\0b\0"
"LastFullFileNameOpen"="C:\\Trakon\\Data\\agenda.mdb"
"Outside"="\x0416\xd83d\xde00 x"
"Escapes"="tab\there\x010de \2\001\e"
"NoTerminator"=hex(1):41,00,42,00
"OddSize"=hex(1):41,00,42
"ZeroSize"=hex(1):
"LongBin"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,\
  15,16,17
this line is garbage
"Broken"=dword:12
"AfterGarbage"="still here"

[Software\\Velmora\\Trakon\\ProgramSeting\\Sub\[1\]] 1733480000
"InSub"=dword:00000007
)";

Variant Lookup(const std::string& path, const std::string& value,
               const std::string& key = kHostSettingsKey) {
    RegistryFileStore store(PlatformFileSystem(), path);
    return ReadRegistryValue(store, key, value);
}

std::int32_t Code(const std::string& path, const std::string& value,
                  const std::string& key = kHostSettingsKey) {
    RegistryFileStore store(PlatformFileSystem(), path);
    KeyHandle handle = 0;
    store.OpenKey(key, kKeyAccessMask, handle);
    Variant ignored;
    const std::int32_t code = QueryRegistryValue(store, handle, value, ignored);
    store.CloseKey(handle);
    return code;
}

struct LookupCase {
    const char* value;
    Variant expected;
    std::int32_t code;
};

class WineHiveLookupTest : public ::testing::TestWithParam<LookupCase> {};

TEST_P(WineHiveLookupTest, GivesWhatTheAnsiFunctionsGive) {
    const TempFile file(kWineHive);
    EXPECT_EQ(Lookup(file.path(), GetParam().value), GetParam().expected) << GetParam().value;
    EXPECT_EQ(Code(file.path(), GetParam().value), GetParam().code) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(
    Values, WineHiveLookupTest,
    ::testing::Values(
        LookupCase{"LastFullFileNameOpen", Variant("C:\\Trakon\\Data\\agenda.mdb"), 0},
        LookupCase{"lastfullfilenameopen", Variant("C:\\Trakon\\Data\\agenda.mdb"), 0},
        LookupCase{"", Variant("default"), 0},
        LookupCase{"Czech", Variant("C:\\Trakon\\Účetní agenda.mdb"), 0},
        // Cyrillic and an emoji have no place in Windows-1250; the emoji's two UTF-16 halves
        // give a "?" each, as the ANSI functions give them.
        LookupCase{"Outside", Variant("??? x"), 0},
        LookupCase{"Escapes",
                   Variant("tab\there\xC4\x8D"
                           "e \x02\x01\x1B"),
                   0},
        LookupCase{"Dword42", Variant(42), 0}, LookupCase{"DwordMax", Variant(-1), 0},
        LookupCase{"EmptyText", Variant(""), 0}, LookupCase{"Expand", Variant(), -1},
        LookupCase{"Multi", Variant(), -1}, LookupCase{"Bin", Variant(), -1},
        LookupCase{"LongBin", Variant(), -1}, LookupCase{"NoTerminator", Variant("A"), 0},
        // Three bytes hold one whole UTF-16 unit: "A", whose last character the size rule drops.
        LookupCase{"OddSize", Variant(""), 0}, LookupCase{"ZeroSize", Variant(), 0},
        LookupCase{"Missing", Variant(), 2}, LookupCase{"Broken", Variant(), 2},
        LookupCase{"AfterGarbage", Variant("still here"), 0}));

TEST(RegistryLookup, KeysMissingInOtherCaseAndImplicit) {
    const TempFile file(kWineHive);
    EXPECT_EQ(Lookup(file.path(), "Dword42", "SOFTWARE\\velmora\\TRAKON\\programseting"),
              Variant(42));
    EXPECT_EQ(Lookup(file.path(), "InSub", "Software\\Velmora\\Trakon\\ProgramSeting\\Sub[1]"),
              Variant(7));
    EXPECT_EQ(Lookup(file.path(), "x", "Software\\Velmora\\Missing"), Variant());
    EXPECT_EQ(Code(file.path(), "x", "Software\\Velmora\\Missing"), 6);
    // The parent exists although the hive never writes it: the key opens, the value is missing.
    EXPECT_EQ(Code(file.path(), "x", "Software\\Velmora"), 2);
}

TEST(RegistryLookup, LastDefinitionOfAKeyWins) {
    const TempFile file(
        std::string("WINE REGISTRY Version 2\n\n[Software\\\\A] 1\n\"v\"=\"old\"\n"
                    "\"gone\"=\"x\"\n\n[software\\\\a] 2\n\"v\"=\"new\"\n"));
    EXPECT_EQ(Lookup(file.path(), "v", "Software\\A"), Variant("new"));
    EXPECT_EQ(Lookup(file.path(), "gone", "Software\\A"), Variant());
}

TEST(RegistryLookup, Win64PrefixReadsTheWow6432NodeViewFirst) {
    const std::string hive =
        "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n"
        "[Software\\\\Velmora\\\\Trakon\\\\ProgramSeting] 1\n\"LastFullFileNameOpen\"=\"native\"\n"
        "\"OnlyNative\"=dword:00000001\n\n"
        "[Software\\\\Wow6432Node\\\\Velmora\\\\Trakon\\\\ProgramSeting] 1\n"
        "\"LastFullFileNameOpen\"=\"view32\"\n";
    const TempFile file(hive);
    EXPECT_EQ(Lookup(file.path(), kLastFileValue), Variant("view32"));
    // Redirection picks the 32-bit key as a whole; its absence falls back to the native one.
    EXPECT_EQ(Lookup(file.path(), "OnlyNative"), Variant());
    const TempFile native(
        "WINE REGISTRY Version 2\n#arch=win64\n\n"
        "[Software\\\\Velmora\\\\Trakon\\\\ProgramSeting] "
        "1\n\"LastFullFileNameOpen\"=\"native\"\n");
    EXPECT_EQ(Lookup(native.path(), kLastFileValue), Variant("native"));
}

TEST(RegistryLookup, Regedit5ExportInUtf16AndUtf8) {
    const std::string text =
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Velmora\\Trakon\\ProgramSeting]\r\n"
        "\"LastFullFileNameOpen\"=\"C:\\\\Trakon\\\\Účetní \\\"agenda\\\".mdb\"\r\n"
        "\"Dword42\"=dword:0000002a\r\n\"Expand\"=hex(2):25,00,41,00,25,00,00,00\r\n"
        "\"Deleted\"=\"x\"\r\n\"Deleted\"=-\r\n";
    for (const std::string& bytes : {Utf16File(text), "\xEF\xBB\xBF" + text, text}) {
        const TempFile file(bytes, "export.reg");
        EXPECT_EQ(Lookup(file.path(), kLastFileValue),
                  Variant("C:\\Trakon\\Účetní \"agenda\".mdb"));
        EXPECT_EQ(Lookup(file.path(), "Dword42"), Variant(42));
        EXPECT_EQ(Code(file.path(), "Expand"), -1);
        EXPECT_EQ(Code(file.path(), "Deleted"), 2);
    }
}

TEST(RegistryLookup, Regedit4ExportIsSingleByte) {
    const std::string text =
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Velmora\\Trakon\\ProgramSeting]\r\n"
        "\"LastFullFileNameOpen\"=\"C:\\\\\xDA\xE8"
        "etn\xED.mdb\"\r\n";
    const TempFile file(text, "export4.reg");
    EXPECT_EQ(Lookup(file.path(), kLastFileValue), Variant("C:\\Účetní.mdb"));
}

// regedit 4 writes text as bytes of the ANSI code page, also where it writes them in hex.
TEST(RegistryLookup, Regedit4HexTextIsSingleByte) {
    const TempFile file(
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Velmora\\Trakon\\ProgramSeting]\r\n"
        "\"LastFullFileNameOpen\"=hex(1):61,62,63,00\r\n\"Czech\"=hex(1):da,e8,00\r\n",
        "export4hex.reg");
    EXPECT_EQ(Lookup(file.path(), kLastFileValue), Variant("abc"));
    EXPECT_EQ(Lookup(file.path(), "Czech"), Variant("Úč"));
}

TEST(RegistryLookup, MissingTruncatedAndGarbageFilesGiveNoValue) {
    EXPECT_EQ(Lookup("/nonexistent/system.reg", kLastFileValue), Variant());
    for (const std::string& bytes :
         {std::string(), std::string("garbage\x00\xff\xfe", 10),
          std::string("WINE REGISTRY Version 2\n[Software\\\\Velm"),
          kWineHive.substr(0, kWineHive.find("\"LastFull") + 30), std::string("\xFF\xFE\x57", 3)}) {
        const TempFile file(bytes);
        EXPECT_EQ(Lookup(file.path(), kLastFileValue), Variant());
    }
}

const std::string kShared = testing::SharedPath("registry/").string();

// The registry files written by a real Wine lie beside the project, not in it.
class RealWineFiles : public ::testing::Test {
  protected:
    void SetUp() override { INFOTRAKON_SKIP_WITHOUT_SHARED("registry"); }
};

TEST_F(RealWineFiles, RegeditExportOfThe64BitView) {
    const std::string path = kShared + "regedit-export.reg";
    EXPECT_EQ(Lookup(path, kLastFileValue), Variant("C:\\Trakon\\Data\\agenda.mdb"));
    EXPECT_EQ(Lookup(path, ""), Variant("Default value view64"));
    EXPECT_EQ(Lookup(path, "DwordMax"), Variant(-1));
    EXPECT_EQ(Lookup(path, "EmptyText"), Variant(""));
    EXPECT_EQ(Lookup(path, "Special"), Variant("q\"uote back\\slash tab\there new\nline end"));
    EXPECT_EQ(Lookup(path, "Name=with \"quotes\" \\ and = signs"), Variant("tricky name"));
    EXPECT_EQ(Lookup(path, "NÁZEV"), Variant("Czech value name"));
    EXPECT_EQ(Code(path, "Qword"), -1);
    EXPECT_EQ(Code(path, "NoneEmpty"), -1);
    EXPECT_EQ(Code(path, "Multi"), -1);
    EXPECT_EQ(Lookup(path, "InSub", std::string(kHostSettingsKey) + "\\subkey_mixedcase"),
              Variant(7));
    EXPECT_EQ(Lookup(path, "CzechViaReg", "Software\\Velmora\\Trakon\\ImportedViaRegedit"),
              Variant("C:\\Trakon\\Data32\\Účetní agenda.mdb"));
}

TEST_F(RealWineFiles, ExportsReadTheNativePath) {
    const std::string path = kShared + "regedit-export-wow6432node.reg";
    EXPECT_EQ(Lookup(path, kLastFileValue), Variant());
    EXPECT_EQ(Lookup(path, kLastFileValue, "Software\\Wow6432Node\\Velmora\\Trakon\\ProgramSeting"),
              Variant("C:\\Trakon\\Data32\\Účetní agenda.mdb"));
}

TEST_F(RealWineFiles, FreshWin32PrefixHasNoHostSettings) {
    const std::string path = kShared + "win32-prefix-system.reg";
    EXPECT_EQ(Lookup(path, kLastFileValue), Variant());
    RegistryFileStore store(PlatformFileSystem(), path);
    KeyHandle handle = 0;
    EXPECT_EQ(store.OpenKey("Software\\Microsoft\\Windows NT\\CurrentVersion\\Perflib\\009", 0x3F,
                            handle),
              0);
}

TEST(RegistryLookup, LargeHiveStaysFast) {
    std::string hive =
        "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n";
    for (int i = 0; hive.size() < 2'000'000; ++i) {
        hive += "[Software\\\\Classes\\\\CLSID\\\\{" + std::to_string(i) +
                "-0000}\\\\InprocServer32] 1733480000\n"
                "#time=1db47c6f2a1b2c0\n@=\"C:\\\\windows\\\\system32\\\\x" +
                std::to_string(i) +
                ".dll\"\n"
                "\"ThreadingModel\"=\"Both\"\n\n";
    }
    hive +=
        "[Software\\\\Wow6432Node\\\\Velmora\\\\Trakon\\\\ProgramSeting] "
        "1\n\"LastFullFileNameOpen\"=\"found\"\n";
    const TempFile file(hive);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Lookup(file.path(), kLastFileValue), Variant("found"));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    // A few milliseconds in a release build; generous here for sanitizer and debug builds.
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 500);
}

}  // namespace
}  // namespace infotrakon::settings
