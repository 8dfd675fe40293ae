#include "agenda_list/list_columns.h"

#include <gtest/gtest.h>

#include "panel/panel.h"

namespace infotrakon::agenda_list {
namespace {

std::vector<panel::Twips> Widths(const panel::ListView& list) {
    std::vector<panel::Twips> widths;
    for (const auto& column : list.columns()) widths.push_back(column.width);
    return widths;
}

TEST(SetListColumns, ViewsAtTheDesignWidth) {
    panel::Panel panel;
    panel.ListView1.SetWidth(8070);
    SetListColumns(false, panel.ListView1);
    EXPECT_EQ(Widths(panel.ListView1), (std::vector<panel::Twips>{800, 500, 500, 3970, 700}));
    SetListColumns(true, panel.ListView1);
    EXPECT_EQ(Widths(panel.ListView1), (std::vector<panel::Twips>{800, 0, 0, 6670, 0}));
}

TEST(SetListColumns, NarrowListHidesTheDescription) {
    panel::Panel panel;
    panel.ListView1.SetWidth(3000);
    SetListColumns(false, panel.ListView1);
    EXPECT_EQ(Widths(panel.ListView1), (std::vector<panel::Twips>{800, 500, 500, 0, 700}));
    panel.ListView1.SetWidth(1000);
    SetListColumns(true, panel.ListView1);
    EXPECT_EQ(Widths(panel.ListView1), (std::vector<panel::Twips>{800, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace infotrakon::agenda_list
