// A data link in the shared agenda folder that names a library of its own as the ODBC driver:
// the panel refuses it before the driver manager sees it, so the library is never loaded,
// whether the program or a host of the C interface reads the link.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "apps/program_fixture.h"
#include "control/infotrakon_c.h"

namespace infotrakon::app {
namespace {

struct PlantedLink {
    const char* name;
    const char* extendedProperties;  // %s: the planted library's path
};

class PlantedDriverTest : public ProgramTest, public ::testing::WithParamInterface<PlantedLink> {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        fs::create_directories(directory_ / "prefix" / "dosdevices");
        fs::create_directories(directory_ / "prefix" / "drive_c" / "Agenda");
        fs::create_directory_symlink("../drive_c", directory_ / "prefix" / "dosdevices" / "c:");
        std::string properties = GetParam().extendedProperties;
        properties.replace(properties.find("%s"), 2, PLANTED_DRIVER_PATH);
        std::ofstream(directory_ / "prefix" / "drive_c" / "Agenda" / "planted.udl",
                      std::ios::binary)
            << "[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n"
            << "Provider=MSDASQL.1;Persist Security Info=False;" << properties << "\r\n";
        std::ofstream(directory_ / "host.reg", std::ios::binary)
            << "Windows Registry Editor Version 5.00\r\n\r\n"
               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Velmora\\Trakon\\ProgramSeting]\r\n"
               "\"LastFullFileNameOpen\"=\"C:\\\\Agenda\\\\planted.udl\"\r\n";
    }

    fs::path Marker() const { return directory_ / "loaded"; }
    std::string Settings() const { return (directory_ / "host.reg").string(); }
    std::string Prefix() const { return (directory_ / "prefix").string(); }
};

TEST_P(PlantedDriverTest, TheProgramRefusesTheLinkAndNeverLoadsTheLibrary) {
    const Output output = Run("print --settings " + Settings() + " --wine-prefix " + Prefix(),
                              "INFOTRAKON_PLANTED_MARKER=" + Marker().string());
    EXPECT_EQ(output.status, 1) << output.err;
    EXPECT_NE(output.err.find("3706"), std::string::npos) << output.err;
    EXPECT_NE(output.err.find("planted.udl"), std::string::npos) << output.err;
    EXPECT_NE(output.err.find(PLANTED_DRIVER_PATH), std::string::npos) << output.err;
    EXPECT_FALSE(fs::exists(Marker())) << "the planted library was loaded";
}

TEST_P(PlantedDriverTest, AHostOfTheCInterfaceGetsTheErrorAndNeverLoadsTheLibrary) {
    ASSERT_EQ(::setenv("INFOTRAKON_PLANTED_MARKER", Marker().c_str(), 1), 0);
    InfoTrakonPanel* panel = nullptr;
    const int number =
        infotrakon_create_ex(Settings().c_str(), Prefix().c_str(), "2026-12-08", &panel);
    const std::string message = panel != nullptr ? infotrakon_last_error(panel) : "";
    infotrakon_destroy(panel);
    ::unsetenv("INFOTRAKON_PLANTED_MARKER");
    EXPECT_EQ(number, 3706) << message;
    EXPECT_NE(message.find("The data link 'C:\\Agenda\\planted.udl'"), std::string::npos)
        << message;
    EXPECT_FALSE(fs::exists(Marker())) << "the planted library was loaded";
}

INSTANTIATE_TEST_SUITE_P(
    Links, PlantedDriverTest,
    ::testing::Values(PlantedLink{"ByPath", "Extended Properties=\"DRIVER=%s;DATABASE=x\""},
                      PlantedLink{"InBraces", "Extended Properties=\"DRIVER={%s};DATABASE=x\""},
                      PlantedLink{"LowerCaseKey", "Extended Properties=\"driver=%s\""},
                      PlantedLink{"MixedCaseKey", "Extended Properties=\"Driver=%s;SERVER=db\""},
                      PlantedLink{"OddCaseKey", "Extended Properties=\"dRiVeR={%s}\""},
                      PlantedLink{"OutsideExtendedProperties", "DRIVER=%s;Initial Catalog=x"}),
    [](const ::testing::TestParamInfo<PlantedLink>& link) { return link.param.name; });

}  // namespace
}  // namespace infotrakon::app
