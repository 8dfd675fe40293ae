#include "ocx/panel_drawing.h"

#include <algorithm>

#include "core/text_encoding.h"
#include "ocx/gdi.h"
#include "panel/element_visit.h"

namespace infotrakon::ocx {
namespace {

// The kinds that are not drawn: they work behind the panel or stay hidden.
using Undrawn =
    panel::SkipKinds<panel::DatePicker, panel::DataGrid, panel::FileDialog, panel::DataControl>;

class Painter {
  public:
    Painter(const panel::Panel& panel, HDC dc, const RECT& bounds)
        : panel_(panel),
          dc_(dc),
          origin_{bounds.left, bounds.top},
          // The resolution at which the panel's width in twips fills the bounds.
          fonts_(std::max(1, static_cast<int>((bounds.right - bounds.left) * 1440.0 /
                                              std::max(1.0f, panel.width())))) {}

    void Draw(const panel::Element& element) {
        panel::Visit(
            element, [&](const panel::Label& label) { DrawLabel(label); },
            [&](const panel::OptionButton& option) { DrawOption(option); },
            [&](const panel::ComboBox& combo) { DrawCombo(combo); },
            [&](const panel::CommandButton& button) { DrawButton(button); },
            [&](const panel::ListView& list) { DrawList(list); }, Undrawn{});
    }

  private:
    RECT Place(const panel::Element& element) const {
        const int dpi = fonts_.dpi();
        const int left = origin_.x + Pixels(element.left(), dpi);
        const int top = origin_.y + Pixels(element.top(), dpi);
        return {left, top, left + Pixels(element.width(), dpi),
                top + Pixels(element.height(), dpi)};
    }

    void Text(const std::string& utf8, RECT place, const panel::Font& font, UINT format) {
        const std::wstring text = Utf8ToWide(utf8);
        const HGDIOBJ previous = SelectObject(dc_, fonts_.Get(font));
        DrawTextW(dc_, text.c_str(), -1, &place, format | DT_NOPREFIX | DT_SINGLELINE);
        SelectObject(dc_, previous);
    }

    void Frame(const RECT& place) {
        const HGDIOBJ previousPen = SelectObject(dc_, GetStockObject(BLACK_PEN));
        const HGDIOBJ previousBrush = SelectObject(dc_, GetStockObject(NULL_BRUSH));
        Rectangle(dc_, place.left, place.top, place.right, place.bottom);
        SelectObject(dc_, previousPen);
        SelectObject(dc_, previousBrush);
    }

    void DrawLabel(const panel::Label& label) {
        Text(label.caption(), Place(label), label.font(),
             label.alignment() == panel::Alignment::kRight ? DT_RIGHT : DT_LEFT);
    }

    void DrawOption(const panel::OptionButton& option) {
        RECT place = Place(option);
        const int mark = place.bottom - place.top - 2;
        Ellipse(dc_, place.left, place.top + 1, place.left + mark, place.top + 1 + mark);
        if (option.value())
            Ellipse(dc_, place.left + mark / 3, place.top + 1 + mark / 3,
                    place.left + mark - mark / 3, place.top + 1 + mark - mark / 3);
        place.left += mark + 4;
        Text(option.caption(), place, option.font(), DT_LEFT | DT_VCENTER);
    }

    void DrawCombo(const panel::ComboBox& combo) {
        RECT place = Place(combo);
        Frame(place);
        place.left += 3;
        Text(combo.text(), place, combo.font(), DT_LEFT | DT_VCENTER);
    }

    void DrawButton(const panel::CommandButton& button) {
        RECT place = Place(button);
        DrawFrameControl(dc_, &place, DFC_BUTTON, DFCS_BUTTONPUSH);
        place.top = place.bottom - (place.bottom - place.top) / 2;
        Text(button.caption(), place, panel_.font(), DT_CENTER | DT_TOP);
    }

    // The headers and, under each, as many of its cells as fit.
    void DrawList(const panel::ListView& list) {
        const RECT place = Place(list);
        Frame(place);
        const int rowHeight = Pixels(240, fonts_.dpi());
        int left = place.left + 2;
        for (std::size_t column = 0; column < list.columns().size(); ++column) {
            const int width = Pixels(list.columns()[column].width, fonts_.dpi());
            if (width <= 0) continue;
            const UINT align =
                list.columns()[column].alignment == panel::Alignment::kRight ? DT_RIGHT : DT_LEFT;
            RECT cell{left, place.top + 2, left + width - 2, place.top + 2 + rowHeight};
            Text(list.columns()[column].text, cell, list.font(), align);
            for (const panel::ListItem& item : list.items()) {
                OffsetRect(&cell, 0, rowHeight);
                if (cell.bottom > place.bottom) break;
                Text(column == 0 ? item.text : item.subItems[column - 1], cell, list.font(),
                     align | DT_END_ELLIPSIS);
            }
            left += width;
        }
    }

    const panel::Panel& panel_;
    HDC dc_;
    POINT origin_;
    FontSet fonts_;
};

}  // namespace

void DrawPanel(const panel::Panel& panel, HDC dc, const RECT& bounds) {
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
    FillRect(dc, &bounds, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    Painter painter(panel, dc, bounds);
    for (const panel::Element* element : panel.elements())
        if (element->visible()) painter.Draw(*element);
    RestoreDC(dc, saved);
}

}  // namespace infotrakon::ocx
