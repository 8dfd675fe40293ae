#pragma once

#include <functional>

#include "panel/panel.h"

namespace infotrakon::panel {

// Sets the list's column widths for the chosen view; the agenda list supplies it.
using ListColumnsSetter = std::function<void(bool deadlinesView, ListView& list)>;

// Lays the panel out for its current size: the buttons and the period combo follow the right
// edge, the list stretches across and fits the height, the currency and amount labels follow
// the list's right edge, and the columns are set anew. A step that fails is skipped and the
// rest go on; nothing is reported.
void ApplyResizeLayout(Panel& panel, const ListColumnsSetter& setListColumns);

// Bottom margin of the list in a panel tall enough for the whole list: the list reaches to
// this many twips above the panel's bottom edge, so it grows and shrinks with the panel.
inline constexpr Twips kListBottomMargin = 100;

}  // namespace infotrakon::panel
