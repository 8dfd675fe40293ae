#pragma once

#include <QWidget>
#include <functional>
#include <map>
#include <string_view>

#include "control/infotrakon.h"
#include "core/error.h"

class QAbstractButton;
class QButtonGroup;
class QLabel;
class QTreeWidgetItem;

namespace infotrakon::gui {

// The Qt face of a panel: one widget per visible element at its place, following the
// element model as it changes. Clicks go to the panel's handlers, the widget's resize to
// the panel's resize layout; an error they raise goes to the host's error handler, since
// the panel shows none of its own.
class PanelView final : public QWidget, private panel::ElementObserver {
  public:
    using ErrorHandler = std::function<void(const Error&)>;

    PanelView(control::InfoTrakon& control, ErrorHandler onError, QWidget* parent = nullptr);
    ~PanelView() override;

    // The widget that shows the element of that name; null for a hidden element.
    QWidget* WidgetOf(std::string_view name) const;
    // The panel's size in pixels on this screen.
    QSize PanelPixels() const;
    // The smallest size at which no figure covers its caption and the list shows rows.
    QSize MinimumPixels() const;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void PaintSurface();
    void ChainFocusByTabIndexes();
    // The widget of a visible element, made, placed and filled; none for a kind without one.
    void AddWidget(const panel::Element& element);
    void Adopt(const panel::Element& element, QWidget* widget);
    QWidget* NewLabel(const panel::Label& model);
    QWidget* NewOptionButton(const panel::OptionButton& model);
    QWidget* NewComboBox(const panel::ComboBox& model);
    QWidget* NewCommandButton(const panel::CommandButton& model);
    QWidget* NewList(const panel::ListView& model);
    // The user's clicks on `button` go to the panel as clicks of `model`.
    void DeliverClicks(QAbstractButton* button, const panel::Element& model);
    void ElementChanged(const panel::Element& element) override;
    void RowsChanged(const panel::ListView& list, panel::RowChange change) override;
    void Sync(const panel::Element& element);
    void SyncCaption(const panel::Label& model, QLabel* label);
    void SyncColumns(const panel::ListView& list, QWidget* widget);
    void ShowRow(const panel::ListView& list, std::size_t row, QTreeWidgetItem* item);
    QRect Pixels(const panel::Element& element) const;
    void Deliver(const std::function<void()>& event);

    control::InfoTrakon& control_;
    ErrorHandler onError_;
    double twipsPerPixel_;
    std::map<const panel::Element*, QWidget*> widgets_;
    QButtonGroup* options_ = nullptr;
    bool resizing_ = false;
};

}  // namespace infotrakon::gui
