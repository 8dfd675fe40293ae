#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/error.h"
#include "panel/panel.h"

namespace infotrakon::panel {
namespace {

class RecordingObserver : public ElementObserver {
  public:
    void ElementChanged(const Element& element) override { changed.push_back(element.name()); }
    void RowsChanged(const ListView& list, RowChange change) override {
        changed.push_back(list.name());
        rows.push_back(change);
    }
    std::vector<std::string> changed;
    std::vector<RowChange> rows;
};

TEST(OptionGroup, ExactlyOneChosenAndClickRaised) {
    Panel panel;
    int clicks = 0;
    panel.Option3.SetClickHandler([&] {
        ++clicks;
        // The click sees the group already settled.
        EXPECT_TRUE(panel.Option3.value());
        EXPECT_FALSE(panel.Option1.value());
    });
    panel.Option3.Choose();
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(panel.Option1.value());
    EXPECT_FALSE(panel.Option2.value());
    EXPECT_FALSE(panel.Option4.value());
    panel.Option4.Choose();
    EXPECT_FALSE(panel.Option3.value());
    EXPECT_TRUE(panel.Option4.value());
}

TEST(ComboBox, WritingListIndexSelectsAndRaisesClick) {
    Panel panel;
    std::vector<std::string> seen;
    panel.Combo2.SetClickHandler([&] { seen.push_back(panel.Combo2.text()); });
    panel.Combo2.SetListIndex(0);
    EXPECT_EQ(panel.Combo2.text(), "Dnes");
    panel.Combo2.SetListIndex(5);
    EXPECT_EQ(seen, (std::vector<std::string>{"Dnes", "Tento měsíc"}));
    panel.Combo2.SetListIndex(-1);
    EXPECT_EQ(panel.Combo2.text(), "");
}

TEST(ComboBox, RefusesIndexOutsideItemsAndKeepsSelection) {
    Panel panel;
    panel.Combo2.SetListIndex(2);
    int clicks = 0;
    panel.Combo2.SetClickHandler([&] { ++clicks; });
    for (int bad : {6, -2, 100}) {
        try {
            panel.Combo2.SetListIndex(bad);
            FAIL() << bad;
        } catch (const Error& error) {
            EXPECT_EQ(error.number(), 380);
        }
    }
    EXPECT_EQ(panel.Combo2.text(), "Zítra");
    EXPECT_EQ(clicks, 0);
}

TEST(Labels, AutoSizeGrowsWithCaptionFixedBoxKeepsSize) {
    Panel panel;
    panel.Label17.SetCaption("1.0.1");
    EXPECT_GT(panel.Label17.width(), 45);
    EXPECT_LT(panel.Label17.width(), 600);
    EXPECT_EQ(panel.Label17.left(), 120);
    EXPECT_EQ(panel.Label17.top(), 270);
    panel.Label16.SetCaption("Autodoprava a spedice Novák, Procházka a synové, s.r.o., Olomouc");
    EXPECT_GT(panel.Label16.width(), 5775);
    panel.Label5.SetCaption(" 1234 567,89");
    EXPECT_EQ(panel.Label5.width(), 1215);
    EXPECT_EQ(panel.Label5.height(), 255);
    EXPECT_EQ(panel.Label5.alignment(), Alignment::kRight);
}

TEST(Labels, WiderTextsMeasureWider) {
    const TextMetrics& metrics = DefaultTextMetrics();
    const Font regular;
    Font bold;
    bold.weight = 700;
    EXPECT_LT(metrics.Measure("iii", regular).width, metrics.Measure("MMM", regular).width);
    EXPECT_LT(metrics.Measure("Kč", regular).width, metrics.Measure("Kč", bold).width + 1);
    EXPECT_EQ(metrics.Measure("", regular).width, 0);
    // Czech letters count as one character each, not as their UTF-8 bytes.
    EXPECT_EQ(metrics.Measure("č", regular).width, metrics.Measure("c", regular).width);
}

TEST(ListView, RowsSubItemsAndColumns) {
    Panel panel;
    ListView& list = panel.ListView1;
    const std::size_t row = list.AddItem("5.3.2026");
    list.SetSubItem(row, 1, "120500");
    list.SetSubItem(row, 3, "Výměna oleje");
    list.SetSubItem(row, 4, "1500");
    EXPECT_EQ(list.SubItem(row, 1), "120500");
    EXPECT_EQ(list.SubItem(row, 2), "");
    EXPECT_EQ(list.items()[0].subItems[2], "Výměna oleje");
    EXPECT_THROW(list.SetSubItem(row, 5, "x"), Error);
    EXPECT_THROW(list.SetSubItem(row, 0, "x"), Error);
    EXPECT_THROW(list.SetSubItem(1, 1, "x"), Error);
    list.ClearItems();
    EXPECT_TRUE(list.items().empty());
    EXPECT_EQ(list.columns().size(), 5u);
    list.SetColumnWidth(4, 1234);
    EXPECT_EQ(list.ColumnWidth(4), 1234);
    EXPECT_THROW(list.SetColumnWidth(6, 10), Error);
    EXPECT_THROW(list.SetColumnWidth(0, 10), Error);
}

TEST(ListView, NegativeSizeRefusedNegativeColumnWidthHidesColumn) {
    Panel panel;
    ListView& list = panel.ListView1;
    try {
        list.SetWidth(-40);
        FAIL();
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), 380);
        EXPECT_NE(std::string(error.what()).find("ListView1"), std::string::npos);
    }
    EXPECT_EQ(list.width(), 7455);
    EXPECT_THROW(list.SetHeight(-1), Error);
    EXPECT_EQ(list.height(), 1335);
    list.SetWidth(0);
    EXPECT_EQ(list.width(), 0);
    list.SetColumnWidth(4, -1340);
    EXPECT_EQ(list.ColumnWidth(4), 0);
}

TEST(DatePicker, RangeIsEnforced) {
    Panel panel;
    panel.DTPicker1.SetValue(Date::FromCivil(2026, 12, 6));
    EXPECT_EQ(panel.DTPicker1.year(), 2026);
    EXPECT_THROW(panel.DTPicker1.SetValue(Date::FromCivil(1600, 12, 31)), Error);
    EXPECT_EQ(panel.DTPicker1.year(), 2026);
    panel.DTPicker1.SetValue(Date::FromCivil(9999, 12, 31));
    EXPECT_EQ(panel.DTPicker1.year(), 9999);
}

TEST(Observers, SeeEveryChange) {
    Panel panel;
    RecordingObserver observer;
    panel.AddObserver(&observer);
    panel.Label3.SetCaption("/tmp/agenda.mdb");
    panel.Option2.Choose();
    panel.ListView1.AddItem("x");
    EXPECT_EQ(observer.changed.front(), "Label3");
    EXPECT_NE(std::find(observer.changed.begin(), observer.changed.end(), "Option1"),
              observer.changed.end());
    EXPECT_EQ(observer.changed.back(), "ListView1");
    panel.RemoveObserver(&observer);
    const std::size_t before = observer.changed.size();
    panel.Label3.SetCaption("y");
    EXPECT_EQ(observer.changed.size(), before);
}

// A view follows a fill of the list row by row: each change says which row it touched.
TEST(Observers, ListRowsReportWhatChanged) {
    Panel panel;
    RecordingObserver observer;
    panel.AddObserver(&observer);
    ListView& list = panel.ListView1;
    list.ClearItems();
    list.AddItem("a");
    list.SetSubItem(0, 3, "first");
    list.AddItem("b");
    list.SetSubItem(1, 1, "12");
    list.SetColumnWidth(1, 800);
    using K = RowChange::Kind;
    std::vector<std::pair<K, std::size_t>> seen;
    for (const RowChange& change : observer.rows)
        seen.emplace_back(change.kind, change.kind == K::kCleared ? 0 : change.row);
    EXPECT_EQ(seen, (std::vector<std::pair<K, std::size_t>>{{K::kCleared, 0},
                                                            {K::kInserted, 0},
                                                            {K::kChanged, 0},
                                                            {K::kInserted, 1},
                                                            {K::kChanged, 1}}));
    // A column width is a change of the element, not of its rows.
    EXPECT_EQ(observer.changed.back(), "ListView1");
    EXPECT_EQ(observer.rows.size(), 5u);
    panel.RemoveObserver(&observer);
}

}  // namespace
}  // namespace infotrakon::panel

namespace infotrakon::panel {
namespace {

std::vector<std::string> NamesOf(const std::vector<const Element*>& elements) {
    std::vector<std::string> names;
    for (const Element* element : elements) names.push_back(element->name());
    return names;
}

// The keyboard walks the panel in the order of its tab indexes: Command2 (6), ListView1 (7),
// Combo2 (22), then the option group (23 to 26) as one stop, where its chosen button stands.
TEST(FocusStops, FollowTheTabIndexesWithTheOptionGroupAsOneStop) {
    Panel panel;
    const std::vector<std::string> design = {"Command2", "ListView1", "Combo2", "Option1"};
    EXPECT_EQ(NamesOf(panel.FocusStops()), design);
    panel.Option3.Choose();
    const std::vector<std::string> chosen = {"Command2", "ListView1", "Combo2", "Option3"};
    EXPECT_EQ(NamesOf(panel.FocusStops()), chosen);
}

}  // namespace
}  // namespace infotrakon::panel
