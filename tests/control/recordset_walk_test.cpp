// How every reader of the panel walks a record set: by its count, never moving in an empty
// one, closing it when done; a set an error stopped stays open until the next one replaces
// it.
#include <gtest/gtest.h>

#include <algorithm>

#include "host_fixture.h"

namespace infotrakon::control::testing {
namespace {

bool Has(const RecordsetCalls& set, const std::string& call) {
    return std::find(set.calls.begin(), set.calls.end(), call) != set.calls.end();
}

// The walk of one set as the readers must do it.
void ExpectAWalkByItsCount(const RecordsetCalls& set) {
    SCOPED_TRACE(set.recordSource);
    ASSERT_FALSE(set.calls.empty());
    EXPECT_EQ(set.calls.front(), "SetFilter");
    EXPECT_EQ(set.calls.back(), "Close");
    EXPECT_EQ(std::count(set.calls.begin(), set.calls.end(), "Close"), 1);
    if (Has(set, "RecordCount=0")) {
        EXPECT_FALSE(Has(set, "MoveFirst")) << "moved in an empty record set";
    }
}

TEST_F(HostTest, EveryReaderClosesItsRecordSetAndMovesOnlyWhereThereAreRecords) {
    Agenda agenda;
    agenda.carservis = {{Today(), true, false, 0, Currency{100}},
                        {Today(), false, true, 0, Currency{200}}};
    agenda.cars = {{Variant("Tatra"), Variant("1M2"), Today(), Today(), false}};
    Write(agenda);
    Start();
    for (const char* view : {"Option2", "Option3", "Option4"}) control_->Click(view);
    control_->Click("Command2");
    ASSERT_GE(backend_->recordsets.size(), 8u);
    for (const RecordsetCalls& set : backend_->recordsets) ExpectAWalkByItsCount(set);
}

TEST_F(HostTest, AnEmptyAgendaIsNeverMovedIn) {
    Agenda agenda;
    agenda.firma.clear();
    Write(agenda);
    Start();
    for (const char* view : {"Option2", "Option3", "Option4"}) control_->Click(view);
    ASSERT_FALSE(backend_->recordsets.empty());
    for (const RecordsetCalls& set : backend_->recordsets) {
        ExpectAWalkByItsCount(set);
        EXPECT_TRUE(Has(set, "RecordCount=0")) << set.recordSource;
    }
}

TEST_F(HostTest, ASetAnErrorStoppedStaysOpenUntilTheNextReplacesIt) {
    Agenda agenda;
    agenda.amountType = jet::ColumnType::kText;
    agenda.carservis = {{Date::FromCivil(2026, 2, 2), true, true, 0, Variant("dvanáct")}};
    Write(agenda);
    EXPECT_EQ(ErrorOf([&] { Start(); }), 13);
    const RecordsetCalls& stopped = backend_->recordsets.back();
    EXPECT_FALSE(Has(stopped, "Close"));
    // The data control still holds it: reading on from it is possible.
    EXPECT_EQ(Panel().Adodc1.recordset().RecordCount(), 1);
    // The next query replaces it with a set of its own, closed as it should be.
    control_->Click("Option4");
    EXPECT_FALSE(Has(stopped, "Close"));
    ExpectAWalkByItsCount(backend_->recordsets.back());
}

}  // namespace
}  // namespace infotrakon::control::testing
