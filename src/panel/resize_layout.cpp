#include "panel/resize_layout.h"

#include <cmath>
#include <limits>

#include "core/error.h"

namespace infotrakon::panel {
namespace {

// Stores a computed position or size as the single-precision property it goes into.
Twips ToTwips(double value) {
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<Twips>::max())
        throw Error(error_number::kOverflow, "Overflow in the resize layout");
    return static_cast<Twips>(value);
}

template <typename Step>
void Try(Step&& step) {
    try {
        step();
    } catch (const Error&) {
        // The failed step is abandoned; the element keeps its previous value.
    }
}

}  // namespace

void ApplyResizeLayout(Panel& panel, const ListColumnsSetter& setListColumns) {
    auto rightAligned = [&panel](Element& element, double margin) {
        Try([&] { element.SetLeft(ToTwips(double{panel.width()} - element.width() - margin)); });
    };
    ListView& list = panel.ListView1;
    rightAligned(panel.Command1, 10);
    rightAligned(panel.Command2, 10);
    Try([&] { list.SetWidth(ToTwips(double{panel.width()} - 240)); });
    Try([&] {
        const double top = list.top();
        const double height = panel.height();
        list.SetHeight(
            ToTwips(top + 900 > height ? height - top + 100 : height - top - kListBottomMargin));
    });
    for (Label* currency : {&panel.Label6, &panel.Label9, &panel.Label12, &panel.Label15})
        Try([&] { currency->SetLeft(ToTwips(double{list.width()} - 350)); });
    for (Label* amount : {&panel.Label5, &panel.Label8, &panel.Label11, &panel.Label14})
        Try([&] { amount->SetLeft(ToTwips(double{list.width()} - 350 - 1250 - 100)); });
    rightAligned(panel.Combo2, 200);
    Try([&] { setListColumns(panel.Option4.value(), list); });
}

}  // namespace infotrakon::panel
