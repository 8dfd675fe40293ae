#include "agenda_list/list_columns.h"

namespace infotrakon::agenda_list {

void SetListColumns(bool deadlinesView, panel::ListView& list) {
    // "Popis" takes what is left; its width is read from the list when that column is set.
    if (deadlinesView) {
        list.SetColumnWidth(1, 800);
        list.SetColumnWidth(2, 0);
        list.SetColumnWidth(3, 0);
        list.SetColumnWidth(4, list.width() - 1400.0f);
        list.SetColumnWidth(5, 0);
    } else {
        list.SetColumnWidth(1, 800);
        list.SetColumnWidth(2, 500);
        list.SetColumnWidth(3, 500);
        list.SetColumnWidth(4, list.width() - 800.0f - 500.0f - 500.0f - 700.0f - 1600.0f);
        list.SetColumnWidth(5, 700);
    }
}

}  // namespace infotrakon::agenda_list
