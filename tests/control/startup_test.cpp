// The panel started by a host and refreshed: the title, the four cost figures, the version.
#include "control/panel_json.h"
#include "host_fixture.h"
#include "mkagenda/description.h"
#include "panel_run.h"

namespace infotrakon::control::testing {
namespace {

const std::vector<std::string> kEmptyFigures = {"", "", "", ""};
const std::vector<std::string> kZeroFigures = {"  0,00", "  0,00", "  0,00", "  0,00"};

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

TEST_F(HostTest, FiguresCountTheRightRecords) {
    Agenda agenda;
    agenda.carservis = {
        // Carried out: only since 1 January of the reference year counts, next year too.
        {Date::FromCivil(2025, 12, 31, 23, 59, 59), true, true, 0, Currency{10000000}},
        {Date::FromCivil(2026, 1, 1), true, true, 1, Currency{12345000}},
        {Date::FromCivil(2027, 3, 1), true, true, 0, Currency{10000}},
        {Date::FromCivil(2026, 5, 5), false, true, 0, Currency{3000000}},
        {Date::FromCivil(2025, 5, 5), false, true, 0, Currency{990000}},
        // Planned: only stav 0 counts, whatever the date.
        {Date::FromCivil(2020, 1, 1), true, false, 0, Currency{1005}},
        {Date::FromCivil(2026, 1, 1), true, false, 2, Currency{7770000}},
        {Date::FromCivil(2026, 1, 1), false, false, 0, Currency{12345678910}},
        {Date::FromCivil(2026, 1, 1), false, false, Null{}, Currency{50000}},
        // A Null amount is a cost not yet priced: it adds nothing.
        {Date::FromCivil(2020, 1, 2), true, false, 0, Null{}},
    };
    Write(agenda);
    Start();
    EXPECT_EQ(Figures(),
              (std::vector<std::string>{" 1 235,50", "  300,00", "  0,10", " 1234 567,89"}));
}

TEST_F(HostTest, EmptyTablesGiveZeroFiguresAndNoTitle) {
    Agenda agenda;
    agenda.firma.clear();
    Write(agenda);
    Start();
    EXPECT_EQ(Figures(), kZeroFigures);
    EXPECT_EQ(Panel().Label16.caption(), "");
    EXPECT_TRUE(Panel().ListView1.items().empty());
}

TEST_F(HostTest, TitleComesFromTheFirstCompanyRecord) {
    const struct {
        std::vector<Variant> firma;
        const char* title;
    } cases[] = {
        {{Variant("První s.r.o."), Variant("Druhá a.s.")}, "První s.r.o."},
        // A Null name shows no name; the figures still follow.
        {{Null{}, Variant("Druhá a.s.")}, ""},
    };
    for (const auto& test : cases) {
        Agenda agenda;
        agenda.firma = test.firma;
        Write(agenda);
        Start();
        EXPECT_EQ(Panel().Label16.caption(), test.title);
        EXPECT_EQ(Figures(), kZeroFigures);
    }
}

TEST_F(HostTest, NoAgendaGivesEmptyFiguresWithoutAnError) {
    const struct {
        const char* setting;
        const char* label3;
    } cases[] = {
        {"", ""},                                                  // no settings key at all
        {"\"\"", ""},                                              // an empty setting
        {"\"C:\\\\Agenda\\\\none.mdb\"", "C:\\Agenda\\none.mdb"},  // no file there
        {"dword:0000007b", "123"},                                 // a number: a file named 123
        {"hex:01,02", ""},  // a type the lookup does not read
    };
    Write(Agenda{});
    for (const auto& test : cases) {
        SCOPED_TRACE(test.setting);
        SetHostSetting(test.setting);
        Start();
        EXPECT_EQ(Panel().Label3.caption(), test.label3);
        EXPECT_EQ(Figures(), kEmptyFigures);
        EXPECT_EQ(Panel().Label16.caption(), "");
        EXPECT_TRUE(Panel().ListView1.items().empty());
        EXPECT_EQ(Panel().Label17.caption(), "1.0.1");
        EXPECT_TRUE(backend_->opened.empty());
    }
}

TEST_F(HostTest, RefreshFollowsTheHostToAnotherAgenda) {
    Agenda first;
    first.firma = {Variant("První")};
    first.carservis = {{Date::FromCivil(2026, 2, 2), true, true, 0, Currency{1000000}}};
    Write(first);
    Agenda second;
    second.firma = {Variant("Druhá")};
    second.carservis = {{Date::FromCivil(2026, 2, 2), true, true, 0, Currency{20000000}}};
    Write(second, "druha.mdb");
    // The second one is reached through a data link, as UTF-16 with its mark.
    const std::string link = infotrakon::testing::Utf16File(
        "[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n"
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\Agenda\\druha.mdb\r\n");
    std::ofstream(prefix_ / "drive_c" / "Agenda" / "druha.udl", std::ios::binary) << link;

    Start();
    EXPECT_EQ(Panel().Label16.caption(), "První");
    EXPECT_EQ(Panel().Label5.caption(), "  100,00");
    SetHostSetting("\"C:\\\\Agenda\\\\druha.udl\"");
    control_->Click("Command2");
    EXPECT_EQ(Panel().Label3.caption(), "C:\\Agenda\\druha.udl");
    EXPECT_EQ(Panel().Label16.caption(), "Druhá");
    EXPECT_EQ(Panel().Label5.caption(), " 2 000,00");
    EXPECT_EQ(Panel().Adodc1.connectionString(), "FILE NAME=C:\\Agenda\\druha.udl;");
}

TEST_F(HostTest, AnAmountThatIsNoNumberStopsTheRefreshWhereItArises) {
    Agenda agenda;
    agenda.amountType = jet::ColumnType::kText;
    agenda.carservis = {{Date::FromCivil(2026, 2, 2), true, true, 0, Variant("12,5")},
                        {Date::FromCivil(2026, 2, 2), false, true, 0, Variant("12,5")},
                        {Date::FromCivil(2026, 2, 2), false, true, 0, Variant("dvanáct")}};
    Write(agenda);
    std::string message;
    EXPECT_EQ(ErrorOf([&] { Start(); }, &message), 13);
    EXPECT_NE(message.find("table carservis, field castka, record 2"), std::string::npos)
        << message;
    // Label5 was done, Label8 stopped, the rest keep their design captions; no version.
    EXPECT_EQ(Panel().Label5.caption(), "  12,50");
    EXPECT_EQ(Panel().Label8.caption(), "Label5");
    EXPECT_EQ(Panel().Label17.caption(), "");
}

TEST_F(HostTest, ReferenceYearStaysThatOfTheStartUp) {
    Agenda agenda;
    agenda.carservis = {{Date::FromCivil(2026, 6, 1), true, true, 0, Currency{10000}}};
    Write(agenda);
    Start(Date::FromCivil(2026, 12, 31));
    EXPECT_EQ(Panel().Label5.caption(), "  1,00");
    // Midnight passes; the refresh still sums from 1 January of the start-up's year.
    clock_->MoveTo(Date::FromCivil(2027, 1, 1));
    control_->Click("Command2");
    EXPECT_EQ(Panel().DTPicker1.year(), 2026);
    EXPECT_EQ(Panel().Label5.caption(), "  1,00");
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
