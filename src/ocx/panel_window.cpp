#include "ocx/panel_window.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <variant>

#include "core/guarded.h"
#include "core/text_encoding.h"
#include "ocx/gdi_count.h"
#include "ocx/module.h"
#include "panel/element_visit.h"

namespace infotrakon::ocx {
namespace {

constexpr wchar_t kWindowClass[] = L"InfoTrakonPanel";
constexpr int kFirstChildId = 100;
// The drop-down part of the period combo box: room for its six periods.
constexpr int kDropDownRows = 7;

// The kinds that get no window: they work behind the panel or stay hidden.
using Windowless =
    panel::SkipKinds<panel::DatePicker, panel::DataGrid, panel::FileDialog, panel::DataControl>;

// How much lower than its element a combo box's window is, to drop its list down into.
int DropDownHeight(HWND combo) {
    const auto rowHeight = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0));
    return kDropDownRows * std::max(rowHeight, 1);
}

void AddItems(HWND combo, const panel::ComboBox& model) {
    for (const panel::ComboItem& item : model.items())
        SendMessageW(combo, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(Utf8ToWide(item.text).c_str()));
}

// Whether the window is one of the option buttons: the panel's only radio buttons.
bool IsOption(HWND window) {
    wchar_t found[32] = {};
    GetClassNameW(window, found, 32);
    return lstrcmpiW(found, L"Button") == 0 &&
           (GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
}

bool classRegistered = false;

// The panel's class, with the panel's own procedure: a window of it that has no panel yet (while
// it is being made) or no more (while it is destroyed) is left to DefWindowProc.
void RegisterWindowClass() {
    if (classRegistered) return;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = &PanelWindow::Procedure;
    windowClass.hInstance = ModuleInstance();
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kWindowClass;
    classRegistered = RegisterClassExW(&windowClass) != 0;
}

}  // namespace

PanelWindow::PanelWindow(control::InfoTrakon& control, HWND parent, const RECT& place,
                         ErrorHandler onError, FocusHandler onFocus)
    : control_(control),
      onError_(std::move(onError)),
      onFocus_(std::move(onFocus)),
      fonts_(ScreenDpi()),
      white_(Counted(CreateSolidBrush(RGB(255, 255, 255)))) {
    RegisterWindowClass();
    window_ = CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, L"InfoTrakon",
                              WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, place.left, place.top,
                              place.right - place.left, place.bottom - place.top, parent, nullptr,
                              ModuleInstance(), nullptr);
    if (window_ == nullptr)
        throw Error(error_number::kOutOfMemory, "Cannot make the panel's window (system error " +
                                                    std::to_string(GetLastError()) + ")");
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    refreshPicture_ = DrawPicture(panel::RefreshPicture(), GetSysColor(COLOR_3DLIGHT));
    CreateChildren();
    OrderChildrenByFocusStops();
    control_.panel().AddObserver(this);
    // The panel takes the size the host gave the window.
    Place(place);
}

PanelWindow::~PanelWindow() {
    control_.panel().RemoveObserver(this);
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
    Delete(refreshPicture_);
    Delete(white_);
}

void PanelWindow::Place(const RECT& place) {
    SetWindowPos(window_, nullptr, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{};
    GetClientRect(window_, &client);
    // A window whose size did not change gets no WM_SIZE; the panel takes it all the same.
    Handle(WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
}

void PanelWindow::TakeInput(bool takes) {
    // A disabled window's children take no input either, and keep their looks.
    if (!takes && IsChild(window_, GetFocus())) SetFocus(GetParent(window_));
    EnableWindow(window_, takes ? TRUE : FALSE);
}

void PanelWindow::CreateChildren() {
    bool firstOption = true;
    for (const panel::Element* element : control_.panel().elements()) {
        if (!element->visible()) continue;
        panel::Visit(
            *element,
            [&](const panel::Label& label) {
                const DWORD align =
                    label.alignment() == panel::Alignment::kRight ? SS_RIGHT : SS_LEFT;
                const HWND child = AddChild(label, L"STATIC", SS_NOPREFIX | align, 0, label.font());
                if (child != nullptr)
                    SetWindowSubclass(child, &PanelWindow::LabelProcedure, 0,
                                      reinterpret_cast<DWORD_PTR>(this));
            },
            [&](const panel::OptionButton& option) {
                AddChild(option, L"BUTTON",
                         BS_AUTORADIOBUTTON | BS_NOTIFY | WS_TABSTOP | (firstOption ? WS_GROUP : 0),
                         0, option.font());
                firstOption = false;
            },
            [&](const panel::ComboBox& combo) {
                const HWND child = AddChild(combo, L"COMBOBOX",
                                            CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
                                            0, combo.font());
                if (child != nullptr) AddItems(child, combo);
            },
            [&](const panel::CommandButton& button) {
                AddChild(button, L"BUTTON", BS_OWNERDRAW | BS_NOTIFY | WS_TABSTOP | WS_GROUP, 0,
                         control_.panel().font());
            },
            [&](const panel::ListView& list) {
                const HWND child = AddChild(list, WC_LISTVIEWW,
                                            LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL |
                                                LVS_SHOWSELALWAYS | WS_TABSTOP | WS_GROUP,
                                            WS_EX_CLIENTEDGE, list.font());
                if (child == nullptr) return;
                AddColumns(child, list);
                ShowRows(list);
            },
            Windowless{});
        Sync(*element);
    }
}

void PanelWindow::OrderChildrenByFocusStops() {
    std::vector<const panel::Element*> ordered;
    for (const panel::Element* stop : control_.panel().FocusStops()) {
        const panel::ElementOfKind kind = stop->AsKind();
        if (!std::holds_alternative<const panel::OptionButton*>(kind)) {
            ordered.push_back(stop);
            continue;
        }
        // The group's buttons one after the other, in their own tab order.
        std::vector<const panel::Element*> options;
        for (const panel::Element* element : control_.panel().elements())
            if (std::holds_alternative<const panel::OptionButton*>(element->AsKind()) &&
                children_.count(element) != 0)
                options.push_back(element);
        std::stable_sort(options.begin(), options.end(), [](const auto* a, const auto* b) {
            return a->tabIndex().value_or(0) < b->tabIndex().value_or(0);
        });
        ordered.insert(ordered.end(), options.begin(), options.end());
    }
    for (const panel::Element* element : ordered)
        if (const auto found = children_.find(element); found != children_.end())
            SetWindowPos(found->second, HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

std::vector<HWND> PanelWindow::StopWindows() const {
    std::vector<HWND> windows;
    for (const panel::Element* stop : control_.panel().FocusStops())
        if (const auto found = children_.find(stop); found != children_.end())
            windows.push_back(found->second);
    return windows;
}

int PanelWindow::StopOf(HWND focused) const {
    const std::vector<HWND> stops = StopWindows();
    for (std::size_t i = 0; i < stops.size(); ++i) {
        // The option group is one stop, whichever of its buttons has the focus.
        const bool bothOptions = IsOption(stops[i]) && IsOption(focused);
        if (stops[i] == focused || IsChild(stops[i], focused) || bothOptions)
            return static_cast<int>(i);
    }
    return -1;
}

bool PanelWindow::MoveAmongOptions(HWND focused, bool back) {
    if (!IsOption(focused)) return false;
    const HWND next = GetNextDlgGroupItem(window_, focused, back);
    if (next == nullptr || next == focused) return true;
    SetFocus(next);
    // Reaching a button chooses it, and its click refreshes the list.
    SendMessageW(next, BM_CLICK, 0, 0);
    return true;
}

bool PanelWindow::TranslateKey(const MSG& message) {
    if (message.message != WM_KEYDOWN) return false;
    const HWND focused = GetFocus();
    if (focused == nullptr || !IsChild(window_, focused)) return false;
    switch (message.wParam) {
        case VK_TAB: {
            if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
            const std::vector<HWND> stops = StopWindows();
            const int at = StopOf(focused);
            const int next = at + (GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
            if (at < 0 || next < 0 || next >= static_cast<int>(stops.size())) return false;
            SetFocus(stops[static_cast<std::size_t>(next)]);
            return true;
        }
        case VK_UP:
        case VK_LEFT:
            return MoveAmongOptions(focused, true);
        case VK_DOWN:
        case VK_RIGHT:
            return MoveAmongOptions(focused, false);
        default:
            return false;
    }
}

HWND PanelWindow::AddChild(const panel::Element& element, const wchar_t* windowClass, DWORD style,
                           DWORD extended, const panel::Font& font) {
    // The ids run on from kFirstChildId, one for each window made.
    const int id = kFirstChildId + static_cast<int>(byId_.size());
    const HWND child = CreateWindowExW(
        extended, windowClass, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ModuleInstance(), nullptr);
    if (child == nullptr) return nullptr;
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.Get(font)), FALSE);
    children_[&element] = child;
    byId_[id] = &element;
    return child;
}

void PanelWindow::AddColumns(HWND child, const panel::ListView& list) {
    // Info tips: a cell cut by its column shows its whole text when pointed at.
    constexpr DWORD kStyles = LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP;
    SendMessageW(child, LVM_SETEXTENDEDLISTVIEWSTYLE, kStyles, kStyles);
    int column = 0;
    for (const panel::ColumnHeader& header : list.columns()) {
        std::wstring text = Utf8ToWide(header.text);
        LVCOLUMNW info{};
        info.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
        info.fmt = header.alignment == panel::Alignment::kRight ? LVCFMT_RIGHT : LVCFMT_LEFT;
        info.cx = Pixels(header.width, fonts_.dpi());
        info.pszText = text.data();
        SendMessageW(child, LVM_INSERTCOLUMNW, column++, reinterpret_cast<LPARAM>(&info));
    }
}

void PanelWindow::ElementChanged(const panel::Element& element) {
    if (eventDepth_ > 0)
        changedElements_.insert(&element);
    else
        Sync(element);
}

void PanelWindow::Sync(const panel::Element& element) {
    const auto found = children_.find(&element);
    if (found == children_.end()) return;
    const HWND child = found->second;
    panel::Visit(
        element,
        [&](const panel::Label& label) {
            PlaceChild(child, label);
            SetWindowTextW(child, Utf8ToWide(label.caption()).c_str());
            RepaintLabels();
        },
        [&](const panel::OptionButton& option) {
            PlaceChild(child, option);
            SetWindowTextW(child, Utf8ToWide(option.caption()).c_str());
            SendMessageW(child, BM_SETCHECK, option.value() ? BST_CHECKED : BST_UNCHECKED, 0);
        },
        [&](const panel::ComboBox& combo) {
            PlaceChild(child, combo, DropDownHeight(child));
            SendMessageW(child, CB_SETCURSEL, static_cast<WPARAM>(combo.listIndex()), 0);
        },
        [&](const panel::CommandButton& button) {
            PlaceChild(child, button);
            SetWindowTextW(child, Utf8ToWide(button.caption()).c_str());
        },
        [&](const panel::ListView& list) {
            PlaceChild(child, list);
            // Each refresh sets the columns again; a list view repaints for every width set.
            for (std::size_t column = 0; column < list.columns().size(); ++column) {
                const int width = std::max(0, Pixels(list.columns()[column].width, fonts_.dpi()));
                if (SendMessageW(child, LVM_GETCOLUMNWIDTH, column, 0) != width)
                    SendMessageW(child, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width, 0));
            }
        },
        Windowless{});
}

void PanelWindow::PlaceChild(HWND child, const panel::Element& element, int extraHeight) {
    const int dpi = fonts_.dpi();
    SetWindowPos(child, nullptr, Pixels(element.left(), dpi), Pixels(element.top(), dpi),
                 std::max(0, Pixels(element.width(), dpi)),
                 std::max(0, Pixels(element.height(), dpi)) + extraHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void PanelWindow::RowsChanged(const panel::ListView& list, panel::RowChange change) {
    if (children_.find(&list) == children_.end()) return;
    if (change.kind == panel::RowChange::Kind::kCleared) listCleared_ = true;
    if (eventDepth_ > 0)
        changedList_ = &list;
    else
        ShowRows(list);
}

void PanelWindow::ShowRows(const panel::ListView& list) {
    const HWND child = children_.at(&list);
    // The count goes straight to the new one: through an empty list, the scroll bar would go
    // and come back, and the list lay itself out twice.
    SendMessageW(child, LVM_SETITEMCOUNT, list.items().size(), LVSICF_NOSCROLL);
    if (listCleared_) {
        // A list that was emptied loses its selection and its scrolling, as a plain list does.
        LVITEMW none{};
        none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(child, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(&none));
        if (!list.items().empty()) SendMessageW(child, LVM_ENSUREVISIBLE, 0, FALSE);
        listCleared_ = false;
    }
    // Rows changed in place keep the count: the list asks for every cell it shows again.
    InvalidateRect(child, nullptr, FALSE);
}

void PanelWindow::Deliver(const std::function<void()>& event) {
    ++eventDepth_;
    const std::optional<Error> error = infotrakon::Guarded(event);
    --eventDepth_;
    // An error ends the event too: what the model holds by then, the rows added before it
    // included, is shown before the error is.
    if (eventDepth_ == 0) ShowPendingChanges();
    // Showing the error is the host's window's work, and must not throw into it either.
    if (error && onError_) infotrakon::Guarded([&] { onError_(*error); });
}

void PanelWindow::ShowPendingChanges() {
    const std::set<const panel::Element*> changed = std::exchange(changedElements_, {});
    for (const panel::Element* element : changed) Sync(*element);
    if (const panel::ListView* list = std::exchange(changedList_, nullptr)) ShowRows(*list);
}

namespace {

// The text of a cell of the model's list; empty past its rows and columns, which a list view
// may still ask for while the model's rows change.
std::wstring CellText(const panel::ListView& list, int row, int column) {
    if (row < 0 || static_cast<std::size_t>(row) >= list.items().size() || column < 0 ||
        column > panel::ListView::kSubItemCount)
        return {};
    const panel::ListItem& item = list.items()[static_cast<std::size_t>(row)];
    return Utf8ToWide(column == 0 ? item.text
                                  : item.subItems[static_cast<std::size_t>(column - 1)]);
}

void CopyText(const std::wstring& text, wchar_t* out, int capacity) {
    if (out != nullptr && capacity > 0) lstrcpynW(out, text.c_str(), capacity);
}

}  // namespace

// The virtual list's questions (a cell's text to show, a cell's whole text for its tip) and
// where its focus went.
LRESULT PanelWindow::Notify(NMHDR& header) {
    const auto found = byId_.find(static_cast<int>(header.idFrom));
    if (found == byId_.end()) return 0;
    const panel::ElementOfKind kind = found->second->AsKind();
    const auto* list = std::get_if<const panel::ListView*>(&kind);
    if (list == nullptr) return 0;
    if (header.code == NM_SETFOCUS || header.code == NM_KILLFOCUS) {
        FocusMoved(header.code == NM_SETFOCUS);
    } else if (header.code == LVN_GETDISPINFOW) {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
        if ((item.mask & LVIF_TEXT) != 0)
            CopyText(CellText(**list, item.iItem, item.iSubItem), item.pszText, item.cchTextMax);
    } else if (header.code == LVN_GETINFOTIPW) {
        auto& tip = reinterpret_cast<NMLVGETINFOTIPW&>(header);
        CopyText(CellText(**list, tip.iItem, tip.iSubItem), tip.pszText, tip.cchTextMax);
    }
    return 0;
}

void PanelWindow::FocusMoved(bool cameIn) {
    const HWND focused = GetFocus();
    const bool inside = cameIn || focused == window_ || IsChild(window_, focused);
    if (inside == focusInside_) return;
    focusInside_ = inside;
    if (onFocus_) infotrakon::Guarded([&] { onFocus_(inside); });
}

void PanelWindow::Command(int id, int notification) {
    const auto found = byId_.find(id);
    if (found == byId_.end()) return;
    const panel::Element& element = *found->second;
    const std::string name = element.name();
    // A button's click, and where the focus went.
    const auto button = [&] {
        if (notification == BN_CLICKED) Deliver([&] { control_.Click(name); });
        if (notification == BN_SETFOCUS || notification == BN_KILLFOCUS)
            FocusMoved(notification == BN_SETFOCUS);
    };
    panel::Visit(
        element, [&](const panel::OptionButton&) { button(); },
        [&](const panel::CommandButton&) { button(); },
        [&](const panel::ComboBox& combo) {
            if (notification == CBN_SETFOCUS || notification == CBN_KILLFOCUS)
                FocusMoved(notification == CBN_SETFOCUS);
            if (notification != CBN_SELCHANGE) return;
            const auto index =
                static_cast<int>(SendMessageW(children_.at(&combo), CB_GETCURSEL, 0, 0));
            if (index >= 0) Deliver([&] { control_.ChooseItem(name, index); });
        },
        // Labels tell the panel nothing; the list tells it through WM_NOTIFY.
        panel::SkipKinds<panel::Label, panel::ListView>{}, Windowless{});
}

// The button with a picture, as a graphical button: its face in the 3D-light colour, the
// picture and the caption side by side, centred together.
void PanelWindow::DrawButton(const DRAWITEMSTRUCT& item) {
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    RECT frame = item.rcItem;
    DrawFrameControl(item.hDC, &frame, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    RECT face = item.rcItem;
    InflateRect(&face, -2, -2);
    FillRect(item.hDC, &face, GetSysColorBrush(COLOR_3DLIGHT));
    const int shift = pushed ? 1 : 0;
    wchar_t caption[64] = {};
    GetWindowTextW(item.hwndItem, caption, 64);
    const HGDIOBJ previousFont = SelectObject(
        item.hDC, reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
    SIZE text{};
    GetTextExtentPoint32W(item.hDC, caption, lstrlenW(caption), &text);
    const panel::VectorPicture& picture = panel::RefreshPicture();
    const int faceWidth = face.right - face.left;
    const int height = item.rcItem.bottom - item.rcItem.top;
    // The gap between them goes first where the face is narrow: the caption stays whole.
    const int gap = picture.width + 2 + static_cast<int>(text.cx) <= faceWidth ? 2 : 0;
    const int left =
        face.left + std::max(0, (faceWidth - picture.width - gap - static_cast<int>(text.cx)) / 2) +
        shift;
    const HDC source = Counted(CreateCompatibleDC(item.hDC));
    const HGDIOBJ previous = SelectObject(source, refreshPicture_);
    BitBlt(item.hDC, left, item.rcItem.top + (height - picture.height) / 2 + shift, picture.width,
           picture.height, source, 0, 0, SRCCOPY);
    SelectObject(source, previous);
    Delete(source);
    RECT place = face;
    place.left = left + picture.width + gap;
    OffsetRect(&place, 0, shift);
    SetBkMode(item.hDC, TRANSPARENT);
    DrawTextW(item.hDC, caption, -1, &place, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(item.hDC, previousFont);
    if (item.itemState & ODS_FOCUS) {
        RECT focus = item.rcItem;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(item.hDC, &focus);
    }
}

void PanelWindow::PaintLabels(HWND target, HDC dc) {
    RECT client{};
    GetClientRect(target, &client);
    FillRect(dc, &client, white_);
    RECT targetPlace{};
    GetWindowRect(target, &targetPlace);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    const HGDIOBJ previousFont = GetCurrentObject(dc, OBJ_FONT);
    for (const panel::Element* element : control_.panel().elements()) {
        const panel::ElementOfKind kind = element->AsKind();
        const auto* label = std::get_if<const panel::Label*>(&kind);
        const auto found = children_.find(element);
        if (label == nullptr || found == children_.end()) continue;
        RECT place{}, overlap{};
        GetWindowRect(found->second, &place);
        if (!IntersectRect(&overlap, &place, &targetPlace)) continue;
        OffsetRect(&place, -targetPlace.left, -targetPlace.top);
        const std::wstring caption = Utf8ToWide((*label)->caption());
        // As a static text draws its caption.
        const UINT align = (*label)->alignment() == panel::Alignment::kRight ? DT_RIGHT : DT_LEFT;
        SelectObject(dc, fonts_.Get((*label)->font()));
        DrawTextW(dc, caption.c_str(), -1, &place,
                  align | DT_EXPANDTABS | DT_WORDBREAK | DT_NOPREFIX);
    }
    SelectObject(dc, previousFont);
}

void PanelWindow::RepaintLabels() {
    for (const auto& [element, child] : children_)
        if (std::holds_alternative<const panel::Label*>(element->AsKind()))
            InvalidateRect(child, nullptr, FALSE);
}

LRESULT CALLBACK PanelWindow::LabelProcedure(HWND label, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR, DWORD_PTR panel) {
    auto* self = reinterpret_cast<PanelWindow*>(panel);
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            const HDC dc = BeginPaint(label, &paint);
            self->PaintLabels(label, dc);
            EndPaint(label, &paint);
            return 0;
        }
        case WM_PRINTCLIENT:
            self->PaintLabels(label, reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_NCDESTROY:
            RemoveWindowSubclass(label, &PanelWindow::LabelProcedure, 0);
            break;
        default:
            break;
    }
    return DefSubclassProc(label, message, wParam, lParam);
}

void UnregisterPanelWindowClass() {
    if (classRegistered) UnregisterClassW(kWindowClass, ModuleInstance());
    classRegistered = false;
}

LRESULT CALLBACK PanelWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<PanelWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT PanelWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            Command(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_NOTIFY:
            return Notify(*reinterpret_cast<NMHDR*>(lParam));
        case WM_SETFOCUS: {
            // Focus given to the panel itself (the host tabbed into it) lands on its first stop,
            // or on its last one when Shift is down.
            const std::vector<HWND> stops = StopWindows();
            if (!stops.empty()) SetFocus(GetKeyState(VK_SHIFT) < 0 ? stops.back() : stops.front());
            return 0;
        }
        case WM_DRAWITEM:
            DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            // The option buttons on the white panel.
            SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
            return reinterpret_cast<LRESULT>(white_);
        case WM_SIZE: {
            if (resizing_) return 0;
            resizing_ = true;
            const int dpi = fonts_.dpi();
            const panel::Twips width = Twips(LOWORD(lParam), dpi);
            const panel::Twips height = Twips(HIWORD(lParam), dpi);
            Deliver([&] { control_.Resize(width, height); });
            resizing_ = false;
            return 0;
        }
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

}  // namespace infotrakon::ocx
