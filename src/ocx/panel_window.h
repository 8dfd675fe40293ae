#pragma once

#include <windows.h>
// After windows.h:
#include <commctrl.h>

#include <functional>
#include <map>
#include <set>
#include <vector>

#include "control/infotrakon.h"
#include "core/error.h"
#include "ocx/gdi.h"

namespace infotrakon::ocx {

// The panel's window inside its host: one real child window per visible element, so that
// hosts, tests and accessibility tools can read it (labels as STATIC, the option buttons as
// one group of radio buttons, Combo2 as a drop-down list, ListView1 as a report list view,
// Command2 as a button with its caption and picture). The windows follow the element model:
// ListView1 is a virtual list that asks the model for each cell it shows, and what the model
// changes during one host event (a click, a choice, a resize) is shown once, when the event
// ends. Clicks, choices and the window's size go to the panel. An error they raise goes to
// `onError`.
class PanelWindow final : private panel::ElementObserver {
  public:
    using ErrorHandler = std::function<void(const Error&)>;
    // Told true when the focus enters the panel's windows from outside, false when it leaves.
    using FocusHandler = std::function<void(bool)>;

    PanelWindow(control::InfoTrakon& control, HWND parent, const RECT& place, ErrorHandler onError,
                FocusHandler onFocus = {});
    ~PanelWindow() override;
    PanelWindow(const PanelWindow&) = delete;
    PanelWindow& operator=(const PanelWindow&) = delete;

    HWND handle() const { return window_; }
    // A panel that takes no input lets the user's clicks through to the form underneath and
    // takes no focus; it still shows what the model holds.
    void TakeInput(bool takes);
    // The host's new place of the panel, in the parent's pixels.
    void Place(const RECT& place);
    // A key that the host's message loop offers the control first: Tab and Shift+Tab move
    // among the panel's focus stops in the order of the element model, the arrow keys among
    // the option buttons, choosing the one they reach as a click does. False for any other
    // key, and for a Tab past the last stop or before the first: the host moves on.
    bool TranslateKey(const MSG& message);

    // The procedure of the panel's window class.
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The labels' own procedure over that of their class: they paint as PaintLabels does.
    static LRESULT CALLBACK LabelProcedure(HWND label, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR panel);

  private:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateChildren();
    // The windows in the order of the focus stops, for the platform's dialog keys as well.
    void OrderChildrenByFocusStops();
    // The window of each focus stop: the option group's is its chosen button's.
    std::vector<HWND> StopWindows() const;
    // The stop that holds `focused`; -1 where none does.
    int StopOf(HWND focused) const;
    bool MoveAmongOptions(HWND focused, bool back);
    // Makes the window of `element` and gives it `font`; null if the system made none.
    HWND AddChild(const panel::Element& element, const wchar_t* windowClass, DWORD style,
                  DWORD extended, const panel::Font& font);
    void AddColumns(HWND child, const panel::ListView& list);
    void Command(int id, int notification);
    // A child's focus notification: the focus came in, or went to `next`.
    void FocusMoved(bool cameIn);
    LRESULT Notify(NMHDR& header);
    void DrawButton(const DRAWITEMSTRUCT& item);
    // Labels are transparent: each label's window paints the white panel and, in the panel's
    // order, the caption of every label that reaches into it, so that none erases another.
    void PaintLabels(HWND target, HDC dc);
    // Every label's window painted again: a caption or a place changed under some of them.
    void RepaintLabels();
    void ElementChanged(const panel::Element& element) override;
    void RowsChanged(const panel::ListView& list, panel::RowChange change) override;
    void Sync(const panel::Element& element);
    // Puts the window where its element is, `extraHeight` pixels lower than the element.
    void PlaceChild(HWND child, const panel::Element& element, int extraHeight = 0);
    // The list's rows as the model has them now: its count, and every row shown again.
    void ShowRows(const panel::ListView& list);
    // Runs a host event; the model's changes during it are shown when it ends.
    void Deliver(const std::function<void()>& event);
    void ShowPendingChanges();

    control::InfoTrakon& control_;
    ErrorHandler onError_;
    FocusHandler onFocus_;
    bool focusInside_ = false;
    HWND window_ = nullptr;
    FontSet fonts_;
    HBRUSH white_;
    HBITMAP refreshPicture_ = nullptr;
    std::map<const panel::Element*, HWND> children_;
    std::map<int, const panel::Element*> byId_;
    bool resizing_ = false;
    // Within a host event: the elements and the list whose changes are still to be shown.
    int eventDepth_ = 0;
    std::set<const panel::Element*> changedElements_;
    const panel::ListView* changedList_ = nullptr;
    bool listCleared_ = false;
};

// Unregisters the panel's window class, once no panel is left: the module may then unload,
// and a class whose procedure lies in an unloaded module must not stay behind.
void UnregisterPanelWindowClass();

}  // namespace infotrakon::ocx
