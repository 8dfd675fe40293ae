#include "panel/resize_layout.h"

#include <gtest/gtest.h>

#include "agenda_list/list_columns.h"
#include "core/error.h"

namespace infotrakon::panel {
namespace {

std::vector<Twips> ColumnWidths(const ListView& list) {
    std::vector<Twips> widths;
    for (const ColumnHeader& column : list.columns()) widths.push_back(column.width);
    return widths;
}

void Resize(Panel& panel, Twips width, Twips height) {
    panel.SetSize(width, height);
    ApplyResizeLayout(panel, agenda_list::SetListColumns);
}

TEST(ResizeLayout, WorkedExample6000x4000) {
    Panel panel;
    Resize(panel, 6000, 4000);
    EXPECT_EQ(panel.Command2.left(), 4775);
    EXPECT_EQ(panel.Command1.left(), 6000 - 1095 - 10);
    EXPECT_EQ(panel.ListView1.width(), 5760);
    EXPECT_EQ(panel.ListView1.height(), 860);
    EXPECT_EQ(panel.ListView1.top(), 3240);
    EXPECT_EQ(panel.ListView1.left(), 120);
    for (const Label* currency : {&panel.Label6, &panel.Label9, &panel.Label12, &panel.Label15})
        EXPECT_EQ(currency->left(), 5410) << currency->name();
    for (const Label* amount : {&panel.Label5, &panel.Label8, &panel.Label11, &panel.Label14})
        EXPECT_EQ(amount->left(), 4060) << amount->name();
    EXPECT_EQ(panel.Combo2.left(), 3865);
    EXPECT_EQ(ColumnWidths(panel.ListView1), (std::vector<Twips>{800, 500, 500, 1660, 700}));
}

TEST(ResizeLayout, HeightBoundaryTakesTheSecondBranch) {
    Panel panel;
    Resize(panel, 6000, 4139);
    EXPECT_EQ(panel.ListView1.height(), 4139 - 3240 + 100);
    Resize(panel, 6000, 4140);
    EXPECT_EQ(panel.ListView1.height(), 4140 - 3240 - kListBottomMargin);
    Resize(panel, 8310, 8000);
    EXPECT_EQ(panel.ListView1.height(), 8000 - 3240 - kListBottomMargin);
}

TEST(ResizeLayout, LabelsFollowTheListEdge) {
    Panel panel;
    Resize(panel, 6000, 5000);
    const Twips currencyBefore = panel.Label6.left();
    const Twips amountBefore = panel.Label5.left();
    Resize(panel, 7500, 5000);
    EXPECT_EQ(panel.Label6.left() - currencyBefore, 1500);
    EXPECT_EQ(panel.Label5.left() - amountBefore, 1500);
    EXPECT_EQ(panel.Label4.left(), 120);
    EXPECT_EQ(panel.Option1.left(), 120);
}

TEST(ResizeLayout, DeadlinesViewColumns) {
    Panel panel;
    panel.Option4.Choose();
    Resize(panel, 8310, 5805);
    EXPECT_EQ(ColumnWidths(panel.ListView1), (std::vector<Twips>{800, 0, 0, 8070 - 1400, 0}));
    panel.Option2.Choose();
    Resize(panel, 8310, 5805);
    EXPECT_EQ(ColumnWidths(panel.ListView1), (std::vector<Twips>{800, 500, 500, 3970, 700}));
}

TEST(ResizeLayout, NarrowPanelSkipsTheRefusedWidthAndGoesOn) {
    Panel panel;
    Resize(panel, 200, 3000);
    // Step 3 gives -40, which the list refuses: it keeps its design width.
    EXPECT_EQ(panel.ListView1.width(), 7455);
    // Step 4 gives -140, refused as well.
    EXPECT_EQ(panel.ListView1.height(), 1335);
    EXPECT_EQ(panel.Label6.left(), 7455 - 350);
    EXPECT_EQ(panel.Label5.left(), 7455 - 1700);
    EXPECT_EQ(panel.Command2.left(), 200 - 1215 - 10);
    EXPECT_EQ(panel.Combo2.left(), 200 - 1935 - 200);
    EXPECT_EQ(ColumnWidths(panel.ListView1), (std::vector<Twips>{800, 500, 500, 3355, 700}));
}

// The list's width (step 3) is the first step that can fail: a panel 100 twips wide asks for
// -140. Every later step still runs, from the list's width as it stands.
TEST(ResizeLayout, AFailingStepDoesNotStopTheOthers) {
    Panel panel;
    bool columnsSet = false;
    panel.SetSize(100, 5000);
    ApplyResizeLayout(panel, [&](bool, ListView&) { columnsSet = true; });
    EXPECT_EQ(panel.ListView1.width(), 7455);  // refused: the design width stays
    EXPECT_EQ(panel.ListView1.height(), 5000 - 3240 - kListBottomMargin);
    for (const Label* currency : {&panel.Label6, &panel.Label9, &panel.Label12, &panel.Label15})
        EXPECT_EQ(currency->left(), 7455 - 350) << currency->name();
    for (const Label* amount : {&panel.Label5, &panel.Label8, &panel.Label11, &panel.Label14})
        EXPECT_EQ(amount->left(), 7455 - 350 - 1250 - 100) << amount->name();
    EXPECT_EQ(panel.Combo2.left(), 100 - 1935 - 200);
    EXPECT_TRUE(columnsSet);
}

// A failure inside the column widths (step 14) ends that step: the columns after the failing
// one keep the widths they had.
TEST(ResizeLayout, AColumnThatFailsLeavesTheLaterColumnsAsTheyWere) {
    Panel panel;
    Resize(panel, 6000, 4000);
    const std::vector<Twips> before = ColumnWidths(panel.ListView1);
    panel.SetSize(7000, 4000);
    ApplyResizeLayout(panel, [](bool, ListView& list) {
        list.SetColumnWidth(1, 111);
        list.SetColumnWidth(2, 222);
        throw Error(error_number::kInvalidPropertyValue, "column 3 refused");
    });
    const std::vector<Twips> after = ColumnWidths(panel.ListView1);
    EXPECT_EQ(after[0], 111);
    EXPECT_EQ(after[1], 222);
    EXPECT_EQ(std::vector<Twips>(after.begin() + 2, after.end()),
              std::vector<Twips>(before.begin() + 2, before.end()));
    // The steps before it ran in full.
    EXPECT_EQ(panel.ListView1.width(), 7000 - 240);
    EXPECT_EQ(panel.Combo2.left(), 7000 - 1935 - 200);
}

TEST(ResizeLayout, HiddenElementsStayHiddenAndInPlace) {
    Panel panel;
    std::vector<bool> designVisible;
    for (const Element* element : panel.elements()) designVisible.push_back(element->visible());
    for (const auto& [w, h] : {std::pair{200.f, 100.f}, {6000.f, 4000.f}, {20000.f, 15000.f}}) {
        Resize(panel, w, h);
        for (std::size_t i = 0; i < panel.elements().size(); ++i)
            EXPECT_EQ(panel.elements()[i]->visible(), designVisible[i]);
        EXPECT_EQ(panel.Label3.left(), 3960);
        EXPECT_EQ(panel.DTPicker1.left(), 5160);
        EXPECT_EQ(panel.Option4.left(), 120);
    }
}

}  // namespace
}  // namespace infotrakon::panel
