// The panel as a host in another language holds it: through the C interface.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "control/infotrakon_c.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

class CInterfaceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::ofstream(prefix_ / "drive_c" / "Agenda" / "agenda.mdb") << "x";
        // No system.reg: the host's setting is absent, and the start-up still completes.
        ASSERT_EQ(infotrakon_create(prefix_.c_str(), &panel_), 0) << infotrakon_last_error(panel_);
    }
    void TearDown() override { infotrakon_destroy(panel_); }

    infotrakon::testing::TemporaryWinePrefix wine_{"c"};
    const fs::path& prefix_ = wine_.path();
    InfoTrakonPanel* panel_ = nullptr;
};

TEST_F(CInterfaceTest, FileExistsDirectlyAndByDispatchIdentifier) {
    for (const char* path : {"C:\\Agenda\\agenda.mdb", "c:\\agenda\\AGENDA.MDB",
                             "C:\\Agenda\\*.mdb", "C:\\Agenda\\none.mdb", "C:\\Agenda", ""}) {
        short direct = 1;
        short dispatched = 1;
        ASSERT_EQ(infotrakon_file_exists(panel_, path, &direct), 0);
        ASSERT_EQ(infotrakon_invoke(panel_, 0x60030003, path, &dispatched), 0);
        EXPECT_EQ(direct, dispatched) << path;
        EXPECT_EQ(direct, std::strstr(path, "agenda.mdb") || std::strstr(path, "AGENDA.MDB") ||
                                  std::strstr(path, "*.mdb")
                              ? -1
                              : 0)
            << path;
    }
    short result = 0;
    EXPECT_NE(infotrakon_invoke(panel_, 0x60030004, "C:\\Agenda\\agenda.mdb", &result), 0);
}

// The element model as JSON, as the C interface gives it back.
nlohmann::json StateOf(const InfoTrakonPanel* panel) {
    char* text = nullptr;
    EXPECT_EQ(infotrakon_state_json(panel, &text), 0);
    nlohmann::json state = nlohmann::json::parse(text != nullptr ? text : "null");
    infotrakon_free(text);
    return state;
}

TEST_F(CInterfaceTest, EventsAndErrorsReachTheHost) {
    EXPECT_EQ(infotrakon_click(panel_, "Command2"), 0);
    EXPECT_EQ(infotrakon_choose_item(panel_, "Combo2", 3), 0);
    EXPECT_EQ(StateOf(panel_)["elements"]["Combo2"]["text"], "Za poslední týden");
    EXPECT_EQ(infotrakon_resize(panel_, 9000, 6000), 0);
    const nlohmann::json resized = StateOf(panel_);
    EXPECT_EQ(resized["elements"]["Command2"]["left"], 9000 - 1215 - 10);
    EXPECT_EQ(resized["elements"]["ListView1"]["width"], 9000 - 240);
    EXPECT_EQ(infotrakon_choose_item(panel_, "Combo2", 6), 380);
    EXPECT_NE(std::string(infotrakon_last_error(panel_)).find("ListIndex 6"), std::string::npos)
        << infotrakon_last_error(panel_);
    EXPECT_EQ(StateOf(panel_)["error"]["number"], 380);
    EXPECT_EQ(infotrakon_click(panel_, "Option9"), 5);
    EXPECT_EQ(infotrakon_click(panel_, "Option4"), 0);
    EXPECT_STREQ(infotrakon_last_error(panel_), "");
}

// A host may give the settings file and pin the day; the state it reads back is the element
// model that infotrakon print --json prints.
TEST(CInterfaceOptions, SettingsFileAndPinnedDay) {
    infotrakon::testing::TemporaryWinePrefix wine("c-options");
    std::ofstream(wine.path() / "host.reg", std::ios::binary)
        << "Windows Registry Editor Version 5.00\r\n\r\n"
           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Velmora\\Trakon\\ProgramSeting]\r\n"
           "\"LastFullFileNameOpen\"=\"C:\\\\Agenda\\\\nic.mdb\"\r\n";
    InfoTrakonPanel* panel = nullptr;
    ASSERT_EQ(infotrakon_create_ex((wine.path() / "host.reg").c_str(), wine.path().c_str(),
                                   "2026-12-31", &panel),
              0)
        << infotrakon_last_error(panel);
    const nlohmann::json state = StateOf(panel);
    EXPECT_EQ(state["elements"]["Label3"]["caption"], "C:\\Agenda\\nic.mdb");
    EXPECT_EQ(state["elements"]["DTPicker1"]["value"], "2026-12-31");
    EXPECT_EQ(state["elements"]["Label17"]["caption"], "1.0.1");
    EXPECT_TRUE(state["error"].is_null());
    infotrakon_destroy(panel);
    EXPECT_EQ(infotrakon_create_ex(nullptr, wine.path().c_str(), "2026-02-30", &panel), 5);
    EXPECT_EQ(panel, nullptr);
}

// A host registers the control by four identifiers: each a GUID in braces, no two alike, and
// the control's version; any other item has none.
TEST(CInterfaceIdentities, AreFourDistinctGuidsAndTheVersion) {
    std::set<std::string> ids;
    for (const char* item :
         {"TypeLibraryId", "ClassId", "DefaultInterfaceId", "EventInterfaceId"}) {
        const std::string id = infotrakon_identity(item);
        EXPECT_EQ(id.size(), 38u) << item;
        EXPECT_EQ(id.front(), '{') << item;
        EXPECT_EQ(id.back(), '}') << item;
        EXPECT_EQ(id.find_first_not_of("{}-0123456789ABCDEF"), std::string::npos) << id;
        ids.insert(id);
    }
    EXPECT_EQ(ids.size(), 4u);
    EXPECT_STREQ(infotrakon_identity("Version"), "1.0.1");
    EXPECT_EQ(infotrakon_identity("Colour"), nullptr);
    EXPECT_EQ(infotrakon_event_member_count(), 0);
}

}  // namespace
