#include <gtest/gtest.h>

#include <set>

#include "panel/panel.h"

namespace infotrakon::panel {
namespace {

struct DesignRow {
    const char* name;
    ElementKind kind;
    Box box;
    bool visible;
    std::optional<int> tab;
};

std::string RowName(const ::testing::TestParamInfo<DesignRow>& param) { return param.param.name; }

class DesignTest : public ::testing::TestWithParam<DesignRow> {};

TEST_P(DesignTest, PositionSizeVisibilityTab) {
    const Panel panel;
    const DesignRow& row = GetParam();
    const Element* element = panel.Find(row.name);
    ASSERT_NE(element, nullptr) << row.name;
    EXPECT_EQ(element->kind(), row.kind);
    EXPECT_EQ(element->left(), row.box.left);
    EXPECT_EQ(element->top(), row.box.top);
    EXPECT_EQ(element->width(), row.box.width);
    EXPECT_EQ(element->height(), row.box.height);
    EXPECT_EQ(element->visible(), row.visible);
    EXPECT_EQ(element->tabIndex(), row.tab);
}

using K = ElementKind;
INSTANTIATE_TEST_SUITE_P(
    AllElements, DesignTest,
    ::testing::Values(
        DesignRow{"Label16", K::kLabel, {120, 0, 5775, 360}, true, 27},
        DesignRow{"Label17", K::kLabel, {120, 270, 45, 195}, true, 28},
        DesignRow{"Label4", K::kLabel, {120, 480, 3765, 240}, true, 8},
        DesignRow{"Label5", K::kLabel, {4080, 480, 1215, 255}, true, 10},
        DesignRow{"Label6", K::kLabel, {5400, 480, 225, 240}, true, 12},
        DesignRow{"Label7", K::kLabel, {120, 720, 3330, 240}, true, 13},
        DesignRow{"Label8", K::kLabel, {4080, 720, 1215, 255}, true, 14},
        DesignRow{"Label9", K::kLabel, {5400, 720, 225, 240}, true, 15},
        DesignRow{"Label10", K::kLabel, {120, 960, 2865, 240}, true, 16},
        DesignRow{"Label11", K::kLabel, {4080, 960, 1215, 255}, true, 17},
        DesignRow{"Label12", K::kLabel, {5400, 960, 225, 240}, true, 18},
        DesignRow{"Label13", K::kLabel, {120, 1200, 3105, 240}, true, 19},
        DesignRow{"Label14", K::kLabel, {4080, 1200, 1215, 255}, true, 20},
        DesignRow{"Label15", K::kLabel, {5400, 1200, 225, 240}, true, 21},
        DesignRow{"Option1", K::kOptionButton, {120, 1680, 2295, 255}, true, 23},
        DesignRow{"Option2", K::kOptionButton, {120, 2040, 2175, 255}, true, 24},
        DesignRow{"Option3", K::kOptionButton, {120, 2400, 1935, 255}, true, 25},
        DesignRow{"Option4", K::kOptionButton, {120, 2760, 2175, 255}, true, 26},
        DesignRow{"Combo2", K::kComboBox, {2880, 2040, 1935, 360}, true, 22},
        DesignRow{"ListView1", K::kListView, {120, 3240, 7455, 1335}, true, 7},
        DesignRow{"Command2", K::kCommandButton, {6840, 0, 1215, 375}, true, 6},
        DesignRow{"Label3", K::kLabel, {3960, 4800, 3495, 375}, false, 3},
        DesignRow{"Label2", K::kLabel, {840, 5040, 1095, 255}, false, 2},
        DesignRow{"Label1", K::kLabel, {6240, 2400, 1695, 375}, false, 0},
        DesignRow{"Combo1", K::kComboBox, {6720, 3360, 1335, 315}, false, 1},
        DesignRow{"Command1", K::kCommandButton, {6840, 360, 1095, 375}, false, 4},
        DesignRow{"DTPicker1", K::kDatePicker, {5160, 2280, 1695, 375}, false, 9},
        DesignRow{"DTPicker2", K::kDatePicker, {6840, 3000, 1695, 375}, false, 11},
        DesignRow{"DataGrid1", K::kDataGrid, {6120, 1320, 1815, 975}, false, 5},
        DesignRow{"Adodc1", K::kDataControl, {6600, 2520, 1200, 375}, false, std::nullopt},
        DesignRow{"CommonDialog1", K::kFileDialog, {7800, 360, 0, 0}, false, std::nullopt}),
    RowName);

TEST(PanelDesign, ThirtyOneElementsWithUniqueNames) {
    const Panel panel;
    ASSERT_EQ(panel.elements().size(), 31u);
    std::set<std::string> names;
    for (const Element* element : panel.elements()) names.insert(element->name());
    EXPECT_EQ(names.size(), 31u);
    EXPECT_EQ(panel.width(), 8310);
    EXPECT_EQ(panel.height(), 5805);
    EXPECT_EQ(panel.backColour(), kWhite);
    EXPECT_EQ(panel.font(), (Font{"MS Sans Serif", 8.25, 400, 238}));
}

TEST(PanelDesign, NewPanelBeforeStartUp) {
    const Panel panel;
    EXPECT_TRUE(panel.Option1.value());
    EXPECT_FALSE(panel.Option2.value() || panel.Option3.value() || panel.Option4.value());
    EXPECT_EQ(panel.Combo2.listIndex(), -1);
    EXPECT_EQ(panel.Combo2.text(), "");
    EXPECT_EQ(panel.Label17.caption(), "");
    EXPECT_EQ(panel.Label5.caption(), "Label5");
    EXPECT_EQ(panel.Label8.caption(), "Label5");
    EXPECT_EQ(panel.Label11.caption(), "Label11");
    EXPECT_EQ(panel.Label14.caption(), "Label11");
    EXPECT_TRUE(panel.ListView1.items().empty());
    std::vector<std::string> headers;
    for (const ColumnHeader& column : panel.ListView1.columns()) headers.push_back(column.text);
    EXPECT_EQ(headers, (std::vector<std::string>{"Datum", "km", "Mh", "Popis", "Částka"}));
    EXPECT_EQ(panel.ListView1.columns()[1].alignment, Alignment::kRight);
    EXPECT_EQ(panel.ListView1.columns()[3].width, 1000);
}

TEST(PanelDesign, TextsFontsAndSettings) {
    const Panel panel;
    EXPECT_EQ(panel.Label16.caption(), "Informační plocha programu Trakon 3");
    EXPECT_EQ(panel.Label16.font(), (Font{"MS Sans Serif", 13.5, 700, 238}));
    EXPECT_EQ(panel.Label4.caption(), "Náklady na servis vozidel od začátku roku");
    EXPECT_EQ(panel.Label7.caption(), "Náklady na personál od začátku roku");
    EXPECT_EQ(panel.Label10.caption(), "Naplánované opravy na vozidla");
    EXPECT_EQ(panel.Label13.caption(), "Naplánované náklady na personál");
    EXPECT_EQ(panel.Label5.font(), (Font{"MS Sans Serif", 9.75, 700, 238}));
    EXPECT_EQ(panel.Label5.alignment(), Alignment::kRight);
    EXPECT_FALSE(panel.Label5.autoSize());
    EXPECT_TRUE(panel.Label6.autoSize());
    EXPECT_TRUE(panel.Label6.transparent());
    EXPECT_EQ(panel.Label15.caption(), "Kč");
    EXPECT_EQ(panel.Option2.caption(), "Nevyřízené akce");
    EXPECT_EQ(panel.Option3.caption(), "Vyřízené akce");
    EXPECT_EQ(panel.Option4.caption(), "Termíny");
    EXPECT_EQ(panel.Option1.backColour(), kWhite);
    EXPECT_EQ(panel.Command2.caption(), "Aktualizovat");
    EXPECT_EQ(panel.Command2.backColour(), 0x80000016u);
    EXPECT_TRUE(panel.Command2.hasPicture());
    EXPECT_EQ(panel.Command1.caption(), "Nastavení");
    EXPECT_EQ(panel.Label2.caption(), "Soubor:");
    EXPECT_EQ(panel.Label1.caption(), "Kontrolovat");
    EXPECT_EQ(panel.Label3.caption(), "Label3");
    std::vector<std::string> periods;
    for (const ComboItem& item : panel.Combo2.items()) {
        periods.push_back(item.text);
        EXPECT_EQ(item.data, 0);
    }
    EXPECT_EQ(periods, (std::vector<std::string>{"Dnes", "Včera", "Zítra", "Za poslední týden",
                                                 "Tento týden", "Tento měsíc"}));
    EXPECT_EQ(panel.Combo2.style(), ComboStyle::kDropdownList);
    EXPECT_EQ(panel.Combo1.style(), ComboStyle::kDropdownCombo);
    EXPECT_EQ(panel.Combo1.text(), "Combo1");
    ASSERT_EQ(panel.Combo1.items().size(), 2u);
    EXPECT_EQ(panel.Combo1.items()[0].text, "Persovál");
    EXPECT_EQ(panel.DTPicker1.value(), Date::FromCivil(2002, 1, 10));
    EXPECT_EQ(panel.DTPicker2.minDate(), Date::FromCivil(1601, 1, 1));
    EXPECT_EQ(panel.DTPicker2.maxDate(), Date::FromCivil(9999, 12, 31));
    EXPECT_EQ(panel.CommonDialog1.settings().title, "Výběr agendy");
    EXPECT_EQ(panel.CommonDialog1.settings().defaultExtension, "mdb");
    EXPECT_EQ(panel.CommonDialog1.settings().fileName, "*.mdb");
    EXPECT_EQ(panel.CommonDialog1.settings().filter, "*.mdb");
    EXPECT_EQ(panel.Adodc1.caption(), "Adodc1");
    EXPECT_EQ(panel.Adodc1.connectionString(), "");
    EXPECT_EQ(panel.Adodc1.recordSource(), "");
    const DataControlSettings& settings = panel.Adodc1.settings();
    EXPECT_EQ(settings.connectionTimeoutSeconds, 15);
    EXPECT_EQ(settings.commandTimeoutSeconds, 30);
    EXPECT_EQ(settings.commandType, 8);
    EXPECT_EQ(settings.cursorLocation, 3);
    EXPECT_EQ(settings.cursorType, 3);
    EXPECT_EQ(settings.lockType, 3);
    EXPECT_EQ(settings.cacheSize, 50);
    EXPECT_EQ(settings.maxRecords, 0);
    EXPECT_EQ(panel.DataGrid1.font().size, 8.25);
}

}  // namespace
}  // namespace infotrakon::panel
