// The agenda list as the user chooses views and periods, with today pinned to Wednesday
// 9 December 2026.
#include "agenda_list/list_builder.h"
#include "agenda_list/list_refresh.h"
#include "host_fixture.h"

namespace infotrakon::control::testing {
namespace {

const char* const kPeriods[] = {"Dnes",        "Včera",      "Zítra", "Za poslední týden",
                                "Tento týden", "Tento měsíc"};

Agenda ViewsAgenda() {
    Agenda agenda;
    const auto action = [](Date datum, bool servis, int stav, const char* text) {
        return Action{datum, true, servis, stav, Currency{10000}, 0, 0.0, text};
    };
    agenda.carservis = {
        action(Date::FromCivil(2026, 12, 9, 10, 30, 0), false, 0, "A"),
        action(Date::FromCivil(2026, 12, 8), false, 1, "B"),
        action(Date::FromCivil(2026, 12, 10), true, 0, "C"),
        action(Date::FromCivil(2026, 12, 2), false, 0, "D"),
        action(Date::FromCivil(2026, 12, 16), true, 0, "E"),
        action(Date::FromCivil(2026, 12, 31), false, 0, "F"),
        action(Date::FromCivil(2026, 11, 30), false, 0, "G"),
        action(Date::FromCivil(2027, 12, 9), true, 0, "H"),
    };
    agenda.cars = {
        {"Tatra 815", "1M2 3456", Date::FromCivil(2026, 12, 9), Date::FromCivil(2026, 12, 20)},
        {"Škoda Octavia", "2B7 8899", Date::FromCivil(2027, 1, 15), Date::FromCivil(2026, 12, 10)},
        {"Avia A31", "3C1 0001", Date::FromCivil(2026, 12, 9), Date::FromCivil(2026, 12, 9), true},
        {Null{}, "4X4", Date::FromCivil(2026, 12, 1), Date::FromCivil(2026, 12, 16)},
    };
    return agenda;
}

std::vector<std::string> Descriptions(const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::string> texts;
    for (const auto& row : rows) texts.push_back(row[3]);
    return texts;
}

TEST_F(HostTest, EveryViewWithEveryPeriod) {
    Write(ViewsAgenda());
    Start();
    const std::string tatraStk = "Tatra 815 1M2 3456 - konec STK";
    const std::string jeepStk = " 4X4 - konec STK";
    const std::string tatraEmise = "Tatra 815 1M2 3456 - končí platnost emisí";
    const std::string skodaEmise = "Škoda Octavia 2B7 8899 - končí platnost emisí";
    const std::string jeepEmise = " 4X4 - končí platnost emisí";
    const struct {
        const char* option;
        std::vector<std::vector<std::string>> byPeriod;  // in the order of kPeriods
    } views[] = {{"Option1", {{"A"}, {"B"}, {}, {"A", "B", "D"}, {"A"}, {"A", "B", "D", "F"}}},
                 {"Option2", {{"A"}, {}, {}, {"A", "D"}, {"A"}, {"A", "D", "F"}}},
                 {"Option3", {{}, {}, {"C"}, {}, {"C", "E"}, {"C", "E"}}},
                 // Inspection rows first, then emissions rows; a vehicle out of service never.
                 {"Option4",
                  {{tatraStk},
                   {},
                   {skodaEmise},
                   {tatraStk},
                   {tatraStk, skodaEmise, jeepEmise},
                   {tatraStk, jeepStk, tatraEmise, skodaEmise, jeepEmise}}}};
    for (const auto& view : views) {
        control_->Click(view.option);
        for (int period = 0; period < 6; ++period) {
            SCOPED_TRACE(std::string(view.option) + ", " + kPeriods[period]);
            control_->ChooseItem("Combo2", period);
            EXPECT_EQ(Panel().Combo2.text(), kPeriods[period]);
            EXPECT_EQ(Descriptions(Rows()), view.byPeriod[static_cast<std::size_t>(period)]);
        }
        control_->ChooseItem("Combo2", 0);
    }
}

TEST_F(HostTest, RowsShowTheirFieldsAsTheListWritesThem) {
    Agenda agenda;
    agenda.carservis = {
        {Date::FromCivil(2026, 12, 9, 7, 5, 9), true, false, 0, Currency{12345000}, 0, 12.0,
         "Oprava brzd\r\nTatra 815"},
        {Date::FromCivil(2026, 12, 9), false, false, 0, Currency{0}, 12, 0.5, "Mzdy"},
        {Date::FromCivil(2026, 12, 9), false, false, 0, Currency{5}, 0, 0.0, "\n"},
    };
    agenda.cars = {{"Tatra\r\n815", Null{}, Date::FromCivil(2026, 12, 9, 15, 0, 0),
                    Date::FromCivil(2020, 1, 1)}};
    Write(agenda);
    Start();
    EXPECT_EQ(Rows(), (std::vector<std::vector<std::string>>{
                          {"9.12.2026 7:05:09", "", "12", "Oprava brzd....Tatra 815", "1234,5"},
                          {"9.12.2026", "12", "0,5", "Mzdy", ""},
                          {"9.12.2026", "", "", "..", "0,0005"}}));
    control_->Click("Option4");
    // A deadline shows its whole day, never a time; a missing plate joins as nothing.
    EXPECT_EQ(Rows(), (std::vector<std::vector<std::string>>{
                          {"9.12.2026", "", "", "Tatra....815  - konec STK", ""}}));
    const std::vector<panel::ColumnHeader>& columns = Panel().ListView1.columns();
    EXPECT_EQ(columns[1].width, 0);
    EXPECT_EQ(columns[3].width, Panel().ListView1.width() - 1400);
    control_->Click("Option1");
    EXPECT_EQ(columns[1].width, 500);
}

TEST_F(HostTest, ANullInAListedRecordStopsTheFillAndKeepsTheRowsBefore) {
    Agenda agenda;
    agenda.carservis = {
        {Date::FromCivil(2026, 12, 9), true, false, 0, Currency{10000}, 1, 0.0, "první"},
        {Date::FromCivil(2026, 12, 1), true, false, 0, Currency{10000}, Null{}, 0.0, "mimo období"},
        {Date::FromCivil(2026, 12, 9), true, false, 0, Currency{10000}, Null{}, 0.0, "bez km"},
        {Date::FromCivil(2026, 12, 9), true, false, 0, Currency{10000}, 3, 0.0, "třetí"},
    };
    Write(agenda);
    std::string message;
    EXPECT_EQ(ErrorOf([&] { Start(); }, &message), 94);
    EXPECT_NE(message.find("table carservis, field km, record 3"), std::string::npos) << message;
    // The row of the failing record was begun (its date is written first); the one before stays.
    const auto rows = Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][3], "první");
    EXPECT_EQ(rows[1][0], "9.12.2026");
    // The start-up stopped in the period's click: the figures were never computed.
    EXPECT_EQ(Panel().Label5.caption(), "Label5");
}

TEST_F(HostTest, ANullDateStopsTheFillEvenOutsideThePeriod) {
    Agenda agenda;
    agenda.carservis = {
        {Date::FromCivil(2026, 12, 9), true, false, 0, Currency{10000}, 1, 0.0, "dnes"},
        {Null{}, true, false, 0, Currency{10000}, 1, 0.0, "bez data"}};
    Write(agenda);
    std::string message;
    EXPECT_EQ(ErrorOf([&] { Start(); }, &message), 94);
    EXPECT_NE(message.find("field datum, record 2"), std::string::npos) << message;
    EXPECT_EQ(Rows().size(), 1u);
}

TEST_F(HostTest, ListRefreshOnlyInModeOne) {
    Write(ViewsAgenda());
    Start();
    ASSERT_EQ(Descriptions(Rows()), std::vector<std::string>{"A"});
    const Locale czech = Locale::Czech();
    const FixedClock dayBefore(Date::FromCivil(2026, 12, 8));
    const WineFileSystem files(prefix_.string());
    const agenda_db::ReaderContext context{files, czech, dayBefore};
    for (const std::int32_t mode : {0, 2, -1}) {
        agenda_list::RefreshAgendaList(mode, Panel(), context);
        EXPECT_EQ(Descriptions(Rows()), std::vector<std::string>{"A"});
    }
    agenda_list::RefreshAgendaList(1, Panel(), context);
    EXPECT_EQ(Descriptions(Rows()), std::vector<std::string>{"B"});
}

TEST_F(HostTest, RefillingGivesTheSameRows) {
    Write(ViewsAgenda());
    Start();
    control_->ChooseItem("Combo2", 5);
    const auto once = Rows();
    control_->Click("Combo2");
    control_->Click("Command2");
    EXPECT_EQ(Rows(), once);
    EXPECT_EQ(once.size(), 4u);
}

// FillAgendaList on its own arguments, as RefreshAgendaList or a later caller may give them.
TEST_F(HostTest, FillingWithoutAViewOrWithAnUnknownPeriod) {
    Write(ViewsAgenda());
    Start();
    const Locale czech = Locale::Czech();
    const FixedClock today(Today());
    const WineFileSystem files(prefix_.string());
    const agenda_db::ReaderContext context{files, czech, today};
    panel::ListView& list = Panel().ListView1;
    // No view chosen: every action of the period, whatever its state.
    agenda_list::FillAgendaList(Panel(), list, false, false, false, false, "Tento týden", context);
    EXPECT_EQ(Descriptions(Rows()), (std::vector<std::string>{"A", "C", "E"}));
    EXPECT_EQ(Panel().Adodc1.recordSource(), "SELECT * FROM carservis");
    // A period the panel does not know holds no day: the list is emptied and stays so.
    agenda_list::FillAgendaList(Panel(), list, true, false, false, false, "Příští rok", context);
    EXPECT_TRUE(Rows().empty());
    agenda_list::FillAgendaList(Panel(), list, false, false, false, true, "", context);
    EXPECT_TRUE(Rows().empty());
}

TEST_F(HostTest, ANullDeadlineStopsTheDeadlineList) {
    Agenda agenda;
    agenda.cars = {{"Tatra 815", "1M2", Today(), Today()}, {"Avia", "3C1", Null{}, Today()}};
    Write(agenda);
    Start();
    std::string message;
    EXPECT_EQ(ErrorOf([&] { control_->Click("Option4"); }, &message), 94);
    EXPECT_NE(message.find("table cars, field stk, record 2"), std::string::npos) << message;
    EXPECT_EQ(Rows().size(), 1u);  // the first vehicle's inspection, before the Null

    agenda.cars = {{"Tatra 815", "1M2", Today(), Today()}, {"Avia", "3C1", Today(), Null{}}};
    Write(agenda);
    EXPECT_EQ(ErrorOf([&] { control_->Click("Option4"); }, &message), 94);
    EXPECT_NE(message.find("table cars, field emise, record 2"), std::string::npos) << message;
    // Both inspections, then the first vehicle's emissions: the second pass stopped.
    EXPECT_EQ(Rows().size(), 3u);
}

}  // namespace
}  // namespace infotrakon::control::testing
