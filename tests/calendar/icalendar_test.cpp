#include "calendar/icalendar.h"

#include <gtest/gtest.h>

#include "core/error.h"

namespace infotrakon::calendar {
namespace {

constexpr std::time_t kFirstExport = 1796657200;  // 2026-12-07T15:26:40Z
constexpr std::time_t kLaterExport = kFirstExport + 86400;

AgendaDeadlines Agenda(const Date& day, const std::string& summary) {
    AgendaDeadlines agenda;
    agenda.company = "Autodoprava Novák s.r.o.";
    agenda.deadlines.push_back({"stk-id-1", "STK", day, summary});
    return agenda;
}

EventRecord OnlyEvent(const std::string& text) {
    const EventHistory history = ReadEventHistory(text, "earlier.ics");
    EXPECT_EQ(history.size(), 1u);
    return history.empty() ? EventRecord{} : history.begin()->second;
}

struct Change {
    const char* what;
    Date day;
    std::string summary;
    int sequence;
    bool modifiedNow;
};

class NextExport : public ::testing::TestWithParam<Change> {};

// An event keeps its sequence and time of change while its day and text stay; either moving
// raises the one and renews the other.
TEST_P(NextExport, CarriesTheSequenceOnFromTheEarlierCalendar) {
    const Date day = Date::FromCivil(2027, 1, 15);
    CalendarSettings settings;
    settings.now = kFirstExport;
    const std::string first =
        CalendarText(Agenda(day, "Tatra 815 1M2 3456 - konec STK"), settings, {});
    const EventRecord before = OnlyEvent(first);
    EXPECT_EQ(before.sequence, 0);
    EXPECT_EQ(before.lastModified, "20261207T152640Z");
    EXPECT_EQ(before.day, "20270115");

    settings.now = kLaterExport;
    const EventRecord after = OnlyEvent(CalendarText(Agenda(GetParam().day, GetParam().summary),
                                                     settings, ReadEventHistory(first, "x.ics")));
    EXPECT_EQ(after.sequence, GetParam().sequence);
    EXPECT_EQ(after.lastModified,
              GetParam().modifiedNow ? "20261208T152640Z" : before.lastModified);
}

INSTANTIATE_TEST_SUITE_P(Changes, NextExport,
                         ::testing::Values(Change{"nothing", Date::FromCivil(2027, 1, 15),
                                                  "Tatra 815 1M2 3456 - konec STK", 0, false},
                                           Change{"the day", Date::FromCivil(2028, 1, 15),
                                                  "Tatra 815 1M2 3456 - konec STK", 1, true},
                                           Change{"the plate", Date::FromCivil(2027, 1, 15),
                                                  "Tatra 815 1M2 9999 - konec STK", 1, true}),
                         [](const ::testing::TestParamInfo<Change>& change) {
                             std::string name = change.param.what;
                             for (char& c : name)
                                 if (c == ' ') c = '_';
                             return name;
                         });

TEST(EventHistory, ANewEventStartsAtSequenceZeroBesideRaisedOnes) {
    CalendarSettings settings;
    settings.now = kFirstExport;
    AgendaDeadlines agenda = Agenda(Date::FromCivil(2027, 1, 15), "A - konec STK");
    EventHistory earlier = ReadEventHistory(CalendarText(agenda, settings, {}), "x.ics");
    earlier.begin()->second.sequence = 4;
    agenda.deadlines.push_back({"emise-id-1", "emise", Date::FromCivil(2027, 2, 1), "A"});
    const EventHistory now = ReadEventHistory(CalendarText(agenda, settings, earlier), "x.ics");
    EXPECT_EQ(now.at("stk-id-1@infotrakon").sequence, 4);
    EXPECT_EQ(now.at("emise-id-1@infotrakon").sequence, 0);
}

TEST(EventHistory, OfNothingIsEmptyAndOfAnythingElseAnErrorNamingTheFile) {
    EXPECT_TRUE(ReadEventHistory("", "empty.ics").empty());
    EXPECT_TRUE(ReadEventHistory(" \r\n", "blank.ics").empty());
    for (const char* text : {"my notes\n", "BEGIN:VEVENT\r\nUID:x\r\nEND:VEVENT\r\n", "BEGIN:"}) {
        try {
            ReadEventHistory(text, "notes.txt");
            ADD_FAILURE() << text;
        } catch (const Error& error) {
            EXPECT_NE(std::string(error.what()).find("'notes.txt'"), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace infotrakon::calendar
