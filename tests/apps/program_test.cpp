// How the programs behave as commands: versions, displays that are not there, host files that
// are not there, and a program copied or installed away from its build.
#include <gtest/gtest.h>

#include "program_fixture.h"

namespace infotrakon::app {
namespace {

const char* const kNoDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM";

TEST_F(ProgramTest, BothProgramsTellTheirVersion) {
    const Output infotrakon = Run("--version");
    EXPECT_EQ(infotrakon.status, 0);
    EXPECT_EQ(infotrakon.out, "infotrakon 1.0.1\n");
    const Output mkagenda = Run("--version", "", MKAGENDA_PATH);
    EXPECT_EQ(mkagenda.status, 0);
    EXPECT_EQ(mkagenda.out, "mkagenda 1.0.1\n");
}

// A command line a program cannot run exits with 2, whatever the command.
TEST_F(ProgramTest, AWrongCommandLineExitsWithTwo) {
    for (const char* arguments : {"show --colour", "print --view 9", "screenshot", "demo dance",
                                  "query --db a.mdb", "print --size 10", "frobnicate", ""}) {
        SCOPED_TRACE(arguments);
        const Output output = Run(arguments);
        EXPECT_EQ(output.status, 2) << output.err;
        EXPECT_NE(output.err.find("infotrakon --help"), std::string::npos) << output.err;
    }
    for (const char* arguments : {"", "--rows x out.mdb", "--demo --from a.json out.mdb"}) {
        SCOPED_TRACE(arguments);
        EXPECT_EQ(Run(arguments, "", MKAGENDA_PATH).status, 2);
    }
}

TEST_F(ProgramTest, AWindowWithoutADisplayIsAClearError) {
    const struct {
        const char* arguments;
        const char* environment;
        const char* named;  // in the message
    } cases[] = {
        {"show", kNoDisplay, "DISPLAY and WAYLAND_DISPLAY are not set"},
        {"demo show --today 2026-12-06", kNoDisplay, "DISPLAY and WAYLAND_DISPLAY are not set"},
        // No X server listens on so high a display number.
        {"show", "env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:31999", "\":31999\""},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.arguments);
        const Output output = Run(test.arguments, test.environment);
        EXPECT_EQ(output.status, 1) << output.err;
        EXPECT_NE(output.err.find(test.named), std::string::npos) << output.err;
        EXPECT_NE(output.err.find("infotrakon print"), std::string::npos) << output.err;
        EXPECT_NE(output.err.find("infotrakon screenshot"), std::string::npos) << output.err;
    }
}

TEST_F(ProgramTest, TheDemoPrintsWhereNoWindowCanBeShown) {
    const Output output = Run("demo --today 2026-12-06", kNoDisplay);
    EXPECT_EQ(output.status, 0) << output.err;
    EXPECT_NE(output.out.find("Autodoprava Novák s.r.o.\nverze 1.0.1\n"), std::string::npos)
        << output.out;
}

// The element model of the demo panel on a pinned day, byte for byte as the program prints
// it. After a deliberate change of the model, write it anew with
// `infotrakon demo print --json --today 2026-12-06 >tests/apps/demo_panel.json`.
TEST_F(ProgramTest, TheDemoPanelsElementModelIsTheGoldenOne) {
    const Output output = Run("demo print --json --today 2026-12-06", kNoDisplay);
    EXPECT_EQ(output.status, 0) << output.err;
    std::ifstream golden(INFOTRAKON_SOURCE_DIR "/tests/apps/demo_panel.json", std::ios::binary);
    ASSERT_TRUE(golden);
    EXPECT_EQ(output.out, std::string(std::istreambuf_iterator<char>(golden), {}));
}

TEST_F(ProgramTest, QtsOwnOptionsReachQt) {
    const fs::path png = directory_ / "panel.png";
    const Output output = Run("demo screenshot " + png.string() +
                              " -style nosuchstyle -platform offscreen --today 2026-12-06");
    EXPECT_EQ(output.status, 0) << output.err;
    EXPECT_TRUE(fs::exists(png));
    // Qt's own word on the style it was given.
    EXPECT_NE(output.err.find("nosuchstyle"), std::string::npos) << output.err;
}

TEST_F(ProgramTest, HostFilesThatAreNotThereAreWarnedAboutAndThePanelRuns) {
    const std::string missing = (directory_ / "nowhere").string();
    for (const std::string& option :
         {"--settings " + missing + "/system.reg", "--wine-prefix " + missing}) {
        SCOPED_TRACE(option);
        const Output output = Run("print --json " + option);
        EXPECT_EQ(output.status, 0) << output.err;
        EXPECT_NE(output.err.find("warning"), std::string::npos) << output.err;
        EXPECT_NE(output.err.find(missing), std::string::npos) << output.err;
        EXPECT_NE(output.out.find("\"Label3\""), std::string::npos);
        EXPECT_NE(output.out.find("\"error\": null"), std::string::npos) << output.out;
    }
}

TEST_F(ProgramTest, ACopiedOrInstalledProgramRunsItsDemo) {
    const fs::path copied = directory_ / "copied";
    const fs::path installed = directory_ / "usr";
    fs::create_directories(copied);
    fs::create_directories(installed / "bin");
    fs::create_directories(installed / "libexec" / "infotrakon");
    fs::copy_file(INFOTRAKON_PATH, copied / "infotrakon");
    fs::copy_file(MKAGENDA_PATH, copied / "mkagenda");
    fs::copy_file(INFOTRAKON_PATH, installed / "bin" / "infotrakon");
    fs::copy_file(MKAGENDA_PATH, installed / "libexec" / "infotrakon" / "mkagenda");
    for (const fs::path& program : {copied / "infotrakon", installed / "bin" / "infotrakon"}) {
        SCOPED_TRACE(program);
        const Output output =
            Run("demo print --today 2026-12-06", "env -u INFOTRAKON_MKAGENDA", program.string());
        EXPECT_EQ(output.status, 0) << output.err;
        EXPECT_NE(output.out.find("Autodoprava Novák s.r.o."), std::string::npos) << output.out;
    }
}

}  // namespace
}  // namespace infotrakon::app
