// The refresh command's figures and title: which records count, empty and missing agendas,
// another agenda, an amount that is no number, and the reference year.
#include "control/host_fixture.h"

namespace infotrakon::control::testing {
namespace {

const std::vector<std::string> kEmptyFigures = {"", "", "", ""};
const std::vector<std::string> kZeroFigures = {"  0,00", "  0,00", "  0,00", "  0,00"};

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

}  // namespace
}  // namespace infotrakon::control::testing
