// The panel started by a host and refreshed: the title, the four cost figures, the version.
#include "control/panel_json.h"
#include "host_fixture.h"
#include "mkagenda/description.h"
#include "panel_run.h"

namespace infotrakon::control::testing {
namespace {

TEST_F(HostTest, StartsOnTheDemoAgenda) {
    mkagenda::JetWriter writer;
    mkagenda::WriteDemoAgenda(writer, Date::FromCivil(2026, 12, 6));
    writer.Finish((prefix_ / "drive_c" / "Agenda" / "agenda.mdb").string());
    Start(Date::FromCivil(2026, 12, 6));
    panel::Panel& panel = Panel();
    EXPECT_EQ(panel.Label3.caption(), "C:\\Agenda\\agenda.mdb");
    EXPECT_EQ(panel.Label16.caption(), "Autodoprava Novák s.r.o.");
    EXPECT_EQ(Figures(),
              (std::vector<std::string>{" 17 300,50", " 36 234,50", " 11 400,00", " 2 500,00"}));
    EXPECT_EQ(panel.Combo2.text(), "Dnes");
    EXPECT_TRUE(panel.Option1.value());
    EXPECT_EQ(Rows(), (std::vector<std::vector<std::string>>{
                          {"6.12.2026", "", "1520,5", "Oprava brzd Tatra 815", "9900"}}));
    EXPECT_EQ(panel.Label17.caption(), "1.0.1");
    EXPECT_EQ(panel.DTPicker1.value(), Date::FromCivil(2026, 12, 6));
    // The list is filled twice: by the period's click, then by the refresh command.
    EXPECT_EQ(backend_->opened,
              (std::vector<std::string>{"SELECT * FROM carservis", "SELECT * FROM firma",
                                        "SELECT * FROM carservis", "SELECT * FROM carservis",
                                        "SELECT * FROM carservis", "SELECT * FROM carservis",
                                        "SELECT * FROM carservis"}));
    EXPECT_EQ(panel.Adodc1.connectionString(),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\Agenda\\agenda.mdb;Persist "
              "Security Info=False");
}

TEST_F(HostTest, ResizeAndFileExistsAreTheHostsToo) {
    Write(Agenda{});
    Start();
    control_->Resize(12000, 8000);
    // The layout follows the host's size: the buttons at its right edge, the list across it.
    EXPECT_EQ(Panel().Command2.left(), 12000 - 1215 - 10);
    EXPECT_EQ(Panel().ListView1.width(), 12000 - 240);
    EXPECT_EQ(Panel().Combo2.left(), 12000 - 1935 - 200);
    std::string path = "C:\\agenda\\AGENDA.mdb";
    const std::string model = control::PanelJson(Panel(), std::nullopt);
    EXPECT_TRUE(control_->FileExists(path));
    // The test changes nothing of the panel.
    EXPECT_EQ(control::PanelJson(Panel(), std::nullopt), model);
    EXPECT_EQ(path, "C:\\agenda\\AGENDA.mdb");
    std::string missing = "C:\\Agenda\\nic.mdb";
    EXPECT_FALSE(control_->FileExists(missing));
    EXPECT_EQ(ErrorOf([&] { control_->Click("Label99"); }), 5);
}

// Every file and folder below `root`: its name, size, times and bytes.
std::vector<std::string> Snapshot(const fs::path& root) {
    std::vector<std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        struct stat status {};
        ::lstat(entry.path().c_str(), &status);
        std::string line = entry.path().string() + " " + std::to_string(status.st_size) + " " +
                           std::to_string(status.st_mtim.tv_sec) + "." +
                           std::to_string(status.st_mtim.tv_nsec) + " " +
                           std::to_string(status.st_ctim.tv_sec) + "." +
                           std::to_string(status.st_ctim.tv_nsec);
        if (entry.is_regular_file()) {
            std::ifstream in(entry.path(), std::ios::binary);
            line += " " + std::string(std::istreambuf_iterator<char>(in), {});
        }
        entries.push_back(line);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

// The panel writes nothing: not the agenda, not the data link, not the host's settings, no
// lock file anywhere in the prefix, whatever the user clicks.
TEST_F(HostTest, ThePanelWritesNothing) {
    Agenda agenda;
    agenda.carservis = {{Today(), true, false, 0, Currency{10000}}};
    agenda.cars = {{"Tatra", "1M2", Today(), Today()}};
    Write(agenda);
    std::ofstream(prefix_ / "drive_c" / "Agenda" / "agenda.udl", std::ios::binary)
        << infotrakon::testing::Utf16File(
               "[oledb]\r\nProvider=Microsoft.Jet.OLEDB.4.0;Data "
               "Source=C:\\Agenda\\agenda.mdb\r\n");
    for (const char* setting :
         {"\"C:\\\\Agenda\\\\agenda.mdb\"", "\"C:\\\\Agenda\\\\agenda.udl\""}) {
        SetHostSetting(setting);
        const std::vector<std::string> withSetting = Snapshot(prefix_);
        Start();
        for (const char* view : {"Option1", "Option2", "Option3", "Option4"}) {
            control_->Click(view);
            for (int period = 0; period < 6; ++period) control_->ChooseItem("Combo2", period);
        }
        control_->Click("Command2");
        control_->Resize(6000, 4000);
        control_.reset();
        EXPECT_EQ(Snapshot(prefix_), withSetting) << setting;
    }
}

}  // namespace
}  // namespace infotrakon::control::testing
