#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "agenda_list/list_columns.h"
#include "panel/panel.h"
#include "panel/resize_layout.h"

namespace infotrakon::panel {
namespace {

// An element's name is its kind's prefix and a number (Label16, Option4, ...): the host
// addresses elements by these names, so a name must say what kind of element it reaches.
const char* KindPrefix(ElementKind kind) {
    switch (kind) {
        case ElementKind::kLabel:
            return "Label";
        case ElementKind::kOptionButton:
            return "Option";
        case ElementKind::kComboBox:
            return "Combo";
        case ElementKind::kCommandButton:
            return "Command";
        case ElementKind::kListView:
            return "ListView";
        case ElementKind::kDatePicker:
            return "DTPicker";
        case ElementKind::kDataGrid:
            return "DataGrid";
        case ElementKind::kDataControl:
            return "Adodc";
        case ElementKind::kFileDialog:
            return "CommonDialog";
    }
    return "";
}

TEST(PanelDesign, ThirtyOneElementsNamedByKindAndNumber) {
    const Panel panel;
    ASSERT_EQ(panel.elements().size(), 31u);
    std::set<std::string> names;
    for (const Element* element : panel.elements()) {
        names.insert(element->name());
        const std::string prefix = KindPrefix(element->kind());
        EXPECT_TRUE(element->name().starts_with(prefix)) << element->name();
        const std::string number = element->name().substr(prefix.size());
        EXPECT_TRUE(!number.empty() && number.find_first_not_of("0123456789") == std::string::npos)
            << element->name();
        EXPECT_EQ(panel.Find(element->name()), element);
    }
    EXPECT_EQ(names.size(), 31u);
    EXPECT_EQ(panel.width(), 8310);
    EXPECT_EQ(panel.height(), 5805);
    EXPECT_EQ(panel.backColour(), kWhite);
    EXPECT_EQ(panel.font(), (Font{"MS Sans Serif", 8.25, 400, 238}));
}

// The keyboard walks every element that takes part in the tab order once: the indexes run
// from 0 without a gap; only the data control and the file dialog have none.
TEST(PanelDesign, TabIndexesAreUniqueAndWithoutGaps) {
    const Panel panel;
    std::vector<int> indexes;
    for (const Element* element : panel.elements()) {
        if (element->tabIndex()) {
            indexes.push_back(*element->tabIndex());
        } else {
            EXPECT_TRUE(element->kind() == ElementKind::kDataControl ||
                        element->kind() == ElementKind::kFileDialog)
                << element->name();
        }
    }
    std::sort(indexes.begin(), indexes.end());
    for (std::size_t i = 0; i < indexes.size(); ++i) EXPECT_EQ(indexes[i], static_cast<int>(i));
    EXPECT_EQ(indexes.size(), 29u);
}

// What the user sees lies on the panel at its design size; the hidden elements stay hidden
// whatever size the host gives it.
TEST(PanelDesign, VisibleElementsFitTheDesignAndHiddenOnesStayHidden) {
    Panel panel;
    std::set<std::string> hidden;
    for (const Element* element : panel.elements()) {
        if (!element->visible()) {
            hidden.insert(element->name());
            continue;
        }
        EXPECT_GE(element->left(), 0) << element->name();
        EXPECT_GE(element->top(), 0) << element->name();
        EXPECT_LE(element->left() + element->width(), panel.width()) << element->name();
        EXPECT_LE(element->top() + element->height(), panel.height()) << element->name();
    }
    EXPECT_EQ(hidden, (std::set<std::string>{"Label1", "Label2", "Label3", "Combo1", "Command1",
                                             "DTPicker1", "DTPicker2", "DataGrid1", "Adodc1",
                                             "CommonDialog1"}));
    for (const auto& [width, height] :
         {std::pair<Twips, Twips>{6000, 4000}, {200, 100}, {20000, 15000}, {8310, 5805}}) {
        panel.SetSize(width, height);
        ApplyResizeLayout(panel, agenda_list::SetListColumns);
        for (const Element* element : panel.elements())
            EXPECT_EQ(element->visible(), !hidden.contains(element->name()))
                << element->name() << " at " << width << "x" << height;
    }
}

// Each figure of the summary is one line: its caption, its amount and "Kč" side by side; the
// amounts share one column, the currency labels another to their right.
TEST(PanelDesign, SummaryLinesLineUp) {
    const Panel panel;
    const struct {
        const Label& caption;
        const Label& amount;
        const Label& currency;
    } lines[] = {{panel.Label4, panel.Label5, panel.Label6},
                 {panel.Label7, panel.Label8, panel.Label9},
                 {panel.Label10, panel.Label11, panel.Label12},
                 {panel.Label13, panel.Label14, panel.Label15}};
    for (const auto& line : lines) {
        SCOPED_TRACE(line.amount.name());
        EXPECT_EQ(line.caption.top(), line.amount.top());
        EXPECT_EQ(line.currency.top(), line.amount.top());
        EXPECT_EQ(line.amount.left(), panel.Label5.left());
        EXPECT_EQ(line.amount.width(), panel.Label5.width());
        EXPECT_EQ(line.currency.left(), panel.Label6.left());
        EXPECT_LE(line.caption.left() + line.caption.width(), line.amount.left());
        EXPECT_LE(line.amount.left() + line.amount.width(), line.currency.left());
        EXPECT_EQ(line.currency.caption(), "Kč");
    }
    for (std::size_t i = 1; i < std::size(lines); ++i)
        EXPECT_GT(lines[i].amount.top(), lines[i - 1].amount.top());
    // The four views, one under the other.
    EXPECT_LT(panel.Option1.top(), panel.Option2.top());
    EXPECT_LT(panel.Option2.top(), panel.Option3.top());
    EXPECT_LT(panel.Option3.top(), panel.Option4.top());
    EXPECT_GT(panel.ListView1.top(), panel.Option4.top() + panel.Option4.height());
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
    // The timeouts that the agenda database layer connects and queries with.
    const DataControlSettings& settings = panel.Adodc1.settings();
    EXPECT_EQ(settings.connectionTimeoutSeconds, 15);
    EXPECT_EQ(settings.commandTimeoutSeconds, 30);
    EXPECT_EQ(panel.DataGrid1.font().size, 8.25);
}

}  // namespace
}  // namespace infotrakon::panel
