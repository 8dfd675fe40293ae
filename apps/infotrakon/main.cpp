#include <iostream>

#include "agenda_list/list_columns.h"
#include "core/error.h"
#include "panel/panel.h"
#include "panel/panel_text.h"
#include "panel/resize_layout.h"

int main() {
    using namespace infotrakon;
    try {
        panel::Panel panel;
        panel::ApplyResizeLayout(panel, agenda_list::SetListColumns);
        std::cout << panel::DescribePanel(panel);
        return 0;
    } catch (const Error& error) {
        std::cerr << "infotrakon: error " << error.number() << ": " << error.what() << "\n";
        return 1;
    }
}
