#include "ocx/panel_window.h"

#include <commctrl.h>

#include <algorithm>

#include "core/guarded.h"
#include "core/text_encoding.h"
#include "ocx/module.h"

namespace infotrakon::ocx {
namespace {

constexpr wchar_t kWindowClass[] = L"InfoTrakonPanel";
constexpr int kFirstChildId = 100;
// The drop-down part of the period combo box: room for its six periods.
constexpr int kDropDownRows = 7;

void RegisterWindowClass() {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = ModuleInstance();
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        windowClass.lpszClassName = kWindowClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

}  // namespace

PanelWindow::PanelWindow(control::InfoTrakon& control, HWND parent, const RECT& place,
                         ErrorHandler onError)
    : control_(control),
      onError_(std::move(onError)),
      fonts_(ScreenDpi()),
      white_(CreateSolidBrush(RGB(255, 255, 255))) {
    RegisterWindowClass();
    window_ = CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, L"InfoTrakon",
                              WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, place.left, place.top,
                              place.right - place.left, place.bottom - place.top, parent, nullptr,
                              ModuleInstance(), nullptr);
    if (window_ == nullptr)
        throw Error(error_number::kOutOfMemory, "Cannot make the panel's window (system error " +
                                                    std::to_string(GetLastError()) + ")");
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
    refreshPicture_ = DrawPicture(panel::RefreshPicture(), GetSysColor(COLOR_BTNFACE));
    CreateChildren();
    control_.panel().AddObserver(this);
    // The panel takes the size the host gave the window.
    Place(place);
}

PanelWindow::~PanelWindow() {
    control_.panel().RemoveObserver(this);
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcW));
    DestroyWindow(window_);
    DeleteObject(refreshPicture_);
    DeleteObject(white_);
}

void PanelWindow::Place(const RECT& place) {
    SetWindowPos(window_, nullptr, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{};
    GetClientRect(window_, &client);
    // A window whose size did not change gets no WM_SIZE; the panel takes it all the same.
    Handle(WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
}

void PanelWindow::CreateChildren() {
    int id = kFirstChildId;
    bool firstOption = true;
    for (const panel::Element* element : control_.panel().elements()) {
        if (!element->visible()) continue;
        const wchar_t* windowClass = nullptr;
        DWORD style = WS_CHILD | WS_VISIBLE;
        DWORD extended = 0;
        const panel::Font* font = nullptr;
        using Kind = panel::ElementKind;
        switch (element->kind()) {
            case Kind::kLabel: {
                const auto& label = static_cast<const panel::Label&>(*element);
                windowClass = L"STATIC";
                style |= SS_NOPREFIX |
                         (label.alignment() == panel::Alignment::kRight ? SS_RIGHT : SS_LEFT);
                font = &label.font();
                break;
            }
            case Kind::kOptionButton:
                windowClass = L"BUTTON";
                style |= BS_AUTORADIOBUTTON | WS_TABSTOP | (firstOption ? WS_GROUP : 0);
                firstOption = false;
                font = &static_cast<const panel::OptionButton&>(*element).font();
                break;
            case Kind::kComboBox:
                windowClass = L"COMBOBOX";
                style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP;
                font = &static_cast<const panel::ComboBox&>(*element).font();
                break;
            case Kind::kCommandButton:
                windowClass = L"BUTTON";
                style |= BS_OWNERDRAW | WS_TABSTOP | WS_GROUP;
                font = &control_.panel().font();
                break;
            case Kind::kListView:
                windowClass = WC_LISTVIEWW;
                style |= LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP | WS_GROUP;
                extended = WS_EX_CLIENTEDGE;
                font = &static_cast<const panel::ListView&>(*element).font();
                break;
            default:
                break;
        }
        if (windowClass == nullptr) continue;
        const HWND child = CreateWindowExW(extended, windowClass, L"", style, 0, 0, 0, 0, window_,
                                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                           ModuleInstance(), nullptr);
        if (child == nullptr) continue;
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.Get(*font)), FALSE);
        children_[element] = child;
        byId_[id++] = element;
        if (element->kind() == Kind::kComboBox) {
            for (const panel::ComboItem& item :
                 static_cast<const panel::ComboBox&>(*element).items())
                SendMessageW(child, CB_ADDSTRING, 0,
                             reinterpret_cast<LPARAM>(Utf8ToWide(item.text).c_str()));
        }
        if (element->kind() == Kind::kListView) {
            const auto& list = static_cast<const panel::ListView&>(*element);
            SendMessageW(child, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                         LVS_EX_FULLROWSELECT);
            int column = 0;
            for (const panel::ColumnHeader& header : list.columns()) {
                std::wstring text = Utf8ToWide(header.text);
                LVCOLUMNW info{};
                info.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
                info.fmt =
                    header.alignment == panel::Alignment::kRight ? LVCFMT_RIGHT : LVCFMT_LEFT;
                info.cx = Pixels(header.width, fonts_.dpi());
                info.pszText = text.data();
                SendMessageW(child, LVM_INSERTCOLUMNW, column++, reinterpret_cast<LPARAM>(&info));
            }
            for (std::size_t row = 0; row < list.items().size(); ++row) ShowRow(list, row, true);
        }
        Sync(*element);
    }
}

void PanelWindow::ElementChanged(const panel::Element& element) { Sync(element); }

void PanelWindow::Sync(const panel::Element& element) {
    const auto found = children_.find(&element);
    if (found == children_.end()) return;
    const HWND child = found->second;
    const int dpi = fonts_.dpi();
    int height = std::max(0, Pixels(element.height(), dpi));
    using Kind = panel::ElementKind;
    if (element.kind() == Kind::kComboBox) {
        const auto rowHeight = static_cast<int>(SendMessageW(child, CB_GETITEMHEIGHT, 0, 0));
        height += kDropDownRows * std::max(rowHeight, 1);
    }
    SetWindowPos(child, nullptr, Pixels(element.left(), dpi), Pixels(element.top(), dpi),
                 std::max(0, Pixels(element.width(), dpi)), height, SWP_NOZORDER | SWP_NOACTIVATE);
    switch (element.kind()) {
        case Kind::kLabel:
            SetWindowTextW(child,
                           Utf8ToWide(static_cast<const panel::Label&>(element).caption()).c_str());
            break;
        case Kind::kOptionButton: {
            const auto& option = static_cast<const panel::OptionButton&>(element);
            SetWindowTextW(child, Utf8ToWide(option.caption()).c_str());
            SendMessageW(child, BM_SETCHECK, option.value() ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        }
        case Kind::kComboBox:
            SendMessageW(
                child, CB_SETCURSEL,
                static_cast<WPARAM>(static_cast<const panel::ComboBox&>(element).listIndex()), 0);
            break;
        case Kind::kCommandButton:
            SetWindowTextW(
                child,
                Utf8ToWide(static_cast<const panel::CommandButton&>(element).caption()).c_str());
            break;
        case Kind::kListView: {
            const auto& list = static_cast<const panel::ListView&>(element);
            for (std::size_t column = 0; column < list.columns().size(); ++column)
                SendMessageW(child, LVM_SETCOLUMNWIDTH, column,
                             MAKELPARAM(std::max(0, Pixels(list.columns()[column].width, dpi)), 0));
            break;
        }
        default:
            break;
    }
}

void PanelWindow::RowsChanged(const panel::ListView& list, panel::RowChange change) {
    const auto found = children_.find(&list);
    if (found == children_.end()) return;
    switch (change.kind) {
        case panel::RowChange::Kind::kCleared:
            SendMessageW(found->second, LVM_DELETEALLITEMS, 0, 0);
            break;
        case panel::RowChange::Kind::kInserted:
            ShowRow(list, change.row, true);
            break;
        case panel::RowChange::Kind::kChanged:
            ShowRow(list, change.row, false);
            break;
    }
}

void PanelWindow::ShowRow(const panel::ListView& list, std::size_t row, bool inserted) {
    if (row >= list.items().size()) return;
    const HWND child = children_.at(&list);
    const panel::ListItem& cells = list.items()[row];
    std::wstring text = Utf8ToWide(cells.text);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(row);
    item.pszText = text.data();
    SendMessageW(child, inserted ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, inserted ? 0 : row,
                 reinterpret_cast<LPARAM>(&item));
    for (int sub = 0; sub < panel::ListView::kSubItemCount; ++sub) {
        std::wstring subText = Utf8ToWide(cells.subItems[static_cast<std::size_t>(sub)]);
        LVITEMW subItem{};
        subItem.iSubItem = sub + 1;
        subItem.pszText = subText.data();
        SendMessageW(child, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&subItem));
    }
}

void PanelWindow::Deliver(const std::function<void()>& event) {
    const std::optional<Error> error = infotrakon::Guarded(event);
    // Showing the error is the host's window's work, and must not throw into it either.
    if (error && onError_) infotrakon::Guarded([&] { onError_(*error); });
}

void PanelWindow::Command(int id, int notification) {
    const auto found = byId_.find(id);
    if (found == byId_.end()) return;
    const panel::Element& element = *found->second;
    const std::string name = element.name();
    switch (element.kind()) {
        case panel::ElementKind::kOptionButton:
        case panel::ElementKind::kCommandButton:
            if (notification == BN_CLICKED) Deliver([&] { control_.Click(name); });
            break;
        case panel::ElementKind::kComboBox:
            if (notification == CBN_SELCHANGE) {
                const auto index =
                    static_cast<int>(SendMessageW(children_.at(&element), CB_GETCURSEL, 0, 0));
                if (index >= 0) Deliver([&] { control_.ChooseItem(name, index); });
            }
            break;
        default:
            break;
    }
}

// The button with a picture: the picture and the caption side by side, centred together.
void PanelWindow::DrawButton(const DRAWITEMSTRUCT& item) {
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    RECT frame = item.rcItem;
    DrawFrameControl(item.hDC, &frame, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    const int shift = pushed ? 1 : 0;
    wchar_t caption[64] = {};
    GetWindowTextW(item.hwndItem, caption, 64);
    const HGDIOBJ previousFont = SelectObject(
        item.hDC, reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
    SIZE text{};
    GetTextExtentPoint32W(item.hDC, caption, lstrlenW(caption), &text);
    const panel::VectorPicture& picture = panel::RefreshPicture();
    constexpr int kGap = 2;
    const int width = item.rcItem.right - item.rcItem.left;
    const int height = item.rcItem.bottom - item.rcItem.top;
    const int left = item.rcItem.left +
                     std::max(1, (width - picture.width - kGap - static_cast<int>(text.cx)) / 2) +
                     shift;
    const HDC source = CreateCompatibleDC(item.hDC);
    const HGDIOBJ previous = SelectObject(source, refreshPicture_);
    BitBlt(item.hDC, left, item.rcItem.top + (height - picture.height) / 2 + shift, picture.width,
           picture.height, source, 0, 0, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
    RECT place = item.rcItem;
    place.left = left + picture.width + kGap;
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
        case WM_DRAWITEM:
            DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            // Labels and option buttons on the white panel.
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
