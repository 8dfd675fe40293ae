#include "gui/panel_view.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>
#include <variant>
#include <vector>

#include "core/guarded.h"
#include "gui/qt_text_metrics.h"
#include "gui/refresh_picture.h"
#include "panel/element_visit.h"

namespace infotrakon::gui {
namespace {

QString Text(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QPalette White(QPalette palette) {
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::Button, Qt::white);
    return palette;
}

// The kinds that get no widget: they work behind the panel or stay hidden.
using Widgetless =
    panel::SkipKinds<panel::DatePicker, panel::DataGrid, panel::FileDialog, panel::DataControl>;

}  // namespace

PanelView::PanelView(control::InfoTrakon& control, ErrorHandler onError, QWidget* parent)
    : QWidget(parent),
      control_(control),
      onError_(std::move(onError)),
      twipsPerPixel_(TwipsPerPixel()) {
    PaintSurface();
    options_ = new QButtonGroup(this);
    options_->setExclusive(true);
    for (const panel::Element* element : control_.panel().elements())
        if (element->visible()) AddWidget(*element);
    ChainFocusByTabIndexes();
    control_.panel().AddObserver(this);
}

// Tab follows the model's focus stops, not the order the widgets were made in. The option
// group is one stop: Qt's Tab enters an exclusive group at its checked button, and the arrow
// keys move among its buttons, choosing each one they reach.
void PanelView::ChainFocusByTabIndexes() {
    QWidget* previous = nullptr;
    for (const panel::Element* stop : control_.panel().FocusStops()) {
        std::vector<QWidget*> widgets;
        if (std::holds_alternative<const panel::OptionButton*>(stop->AsKind())) {
            for (QAbstractButton* option : options_->buttons()) widgets.push_back(option);
        } else if (const auto found = widgets_.find(stop); found != widgets_.end()) {
            widgets.push_back(found->second);
        }
        for (QWidget* widget : widgets) {
            if (previous != nullptr) setTabOrder(previous, widget);
            previous = widget;
        }
    }
}

// The panel's white surface, and its font for the widgets that set none of their own.
void PanelView::PaintSurface() {
    setPalette(White(palette()));
    setAutoFillBackground(true);
    setFont(QtFont(control_.panel().font()));
}

void PanelView::AddWidget(const panel::Element& element) {
    panel::Visit(
        element, [&](const panel::Label& label) { Adopt(label, NewLabel(label)); },
        [&](const panel::OptionButton& option) { Adopt(option, NewOptionButton(option)); },
        [&](const panel::ComboBox& combo) { Adopt(combo, NewComboBox(combo)); },
        [&](const panel::CommandButton& button) { Adopt(button, NewCommandButton(button)); },
        [&](const panel::ListView& list) {
            Adopt(list, NewList(list));
            for (std::size_t row = 0; row < list.items().size(); ++row)
                RowsChanged(list, {panel::RowChange::Kind::kInserted, row});
        },
        Widgetless{});
}

// The widget shows `element` from now on, under its name, as it stands.
void PanelView::Adopt(const panel::Element& element, QWidget* widget) {
    widget->setObjectName(Text(element.name()));
    widgets_[&element] = widget;
    Sync(element);
}

QWidget* PanelView::NewLabel(const panel::Label& model) {
    auto* label = new QLabel(this);
    label->setFont(QtFont(model.font()));
    label->setAlignment(
        Qt::AlignTop |
        (model.alignment() == panel::Alignment::kRight ? Qt::AlignRight : Qt::AlignLeft));
    label->setAutoFillBackground(!model.transparent());
    return label;
}

QWidget* PanelView::NewOptionButton(const panel::OptionButton& model) {
    auto* option = new QRadioButton(this);
    option->setFont(QtFont(model.font()));
    option->setPalette(White(option->palette()));
    option->setAutoFillBackground(true);
    options_->addButton(option);
    DeliverClicks(option, model);
    return option;
}

QWidget* PanelView::NewComboBox(const panel::ComboBox& model) {
    auto* combo = new QComboBox(this);
    combo->setFont(QtFont(model.font()));
    combo->setEditable(model.style() == panel::ComboStyle::kDropdownCombo);
    for (const panel::ComboItem& item : model.items()) combo->addItem(Text(item.text));
    // Only the user's choice: the model's own ListIndex comes back through Sync.
    connect(combo, &QComboBox::activated, this, [this, name = model.name()](int index) {
        Deliver([this, name, index] { control_.ChooseItem(name, index); });
    });
    return combo;
}

QWidget* PanelView::NewCommandButton(const panel::CommandButton& model) {
    auto* button = new QPushButton(this);
    if (model.hasPicture()) {
        button->setIcon(RefreshIcon());
        button->setIconSize(QSize(16, 17));
    }
    DeliverClicks(button, model);
    return button;
}

void PanelView::DeliverClicks(QAbstractButton* button, const panel::Element& model) {
    connect(button, &QAbstractButton::clicked, this,
            [this, name = model.name()] { Deliver([this, name] { control_.Click(name); }); });
}

QWidget* PanelView::NewList(const panel::ListView& model) {
    auto* list = new QTreeWidget(this);
    list->setFont(QtFont(model.font()));
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->header()->setStretchLastSection(false);
    // The panel's white shows through the rows: at a fractional scale factor the viewport's
    // own fill, rounded outwards, would cover the frame's lines.
    list->viewport()->setAutoFillBackground(false);
    QStringList headers;
    for (const panel::ColumnHeader& column : model.columns()) headers << Text(column.text);
    list->setHeaderLabels(headers);
    for (int column = 0; column < static_cast<int>(model.columns().size()); ++column)
        list->headerItem()->setTextAlignment(
            column,
            model.columns()[static_cast<std::size_t>(column)].alignment == panel::Alignment::kRight
                ? Qt::AlignRight | Qt::AlignVCenter
                : Qt::AlignLeft | Qt::AlignVCenter);
    return list;
}

PanelView::~PanelView() { control_.panel().RemoveObserver(this); }

QWidget* PanelView::WidgetOf(std::string_view name) const {
    const panel::Element* element = control_.panel().Find(name);
    const auto found = widgets_.find(element);
    return found == widgets_.end() ? nullptr : found->second;
}

QSize PanelView::PanelPixels() const {
    const panel::Panel& panel = control_.panel();
    return {static_cast<int>(std::lround(panel.width() / twipsPerPixel_)),
            static_cast<int>(std::lround(panel.height() / twipsPerPixel_))};
}

QRect PanelView::Pixels(const panel::Element& element) const {
    const auto px = [this](panel::Twips twips) {
        return static_cast<int>(std::lround(twips / twipsPerPixel_));
    };
    return {px(element.left()), px(element.top()), std::max(0, px(element.width())),
            std::max(0, px(element.height()))};
}

void PanelView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (resizing_) return;
    resizing_ = true;
    const auto width = static_cast<float>(event->size().width() * twipsPerPixel_);
    const auto height = static_cast<float>(event->size().height() * twipsPerPixel_);
    Deliver([this, width, height] { control_.Resize(width, height); });
    resizing_ = false;
}

namespace {

// The panel's work runs on this thread: a slow server holds the window meanwhile, and the
// busy cursor says so, for as long as the work runs, however it ends.
class BusyCursor {
  public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

void PanelView::Deliver(const std::function<void()>& event) {
    std::optional<Error> error;
    {
        const BusyCursor busy;
        error = Guarded(event);
    }
    if (error && onError_) onError_(*error);
}

QSize PanelView::MinimumPixels() const {
    // The amounts follow the panel's right edge, 1940 twips in from it; below the widest
    // caption's end plus that, a figure would cover its caption. The four views stay in sight.
    const panel::Panel& panel = control_.panel();
    panel::Twips captions = 0;
    for (const panel::Label* caption :
         {&panel.Label4, &panel.Label7, &panel.Label10, &panel.Label13})
        captions = std::max(captions, caption->left() + caption->width());
    const auto px = [this](double twips) {
        return static_cast<int>(std::ceil(twips / twipsPerPixel_));
    };
    return {px(captions + 100 + 1940), px(panel.Option4.top() + panel.Option4.height())};
}

void PanelView::ElementChanged(const panel::Element& element) { Sync(element); }

void PanelView::Sync(const panel::Element& element) {
    const auto found = widgets_.find(&element);
    if (found == widgets_.end()) return;
    QWidget* widget = found->second;
    widget->setGeometry(Pixels(element));
    panel::Visit(
        element,
        [&](const panel::Label& label) { SyncCaption(label, static_cast<QLabel*>(widget)); },
        [&](const panel::OptionButton& model) {
            auto* option = static_cast<QRadioButton*>(widget);
            option->setText(Text(model.caption()));
            if (model.value()) option->setChecked(true);
        },
        [&](const panel::ComboBox& combo) {
            const QSignalBlocker quiet(widget);
            static_cast<QComboBox*>(widget)->setCurrentIndex(combo.listIndex());
        },
        [&](const panel::CommandButton& button) {
            static_cast<QPushButton*>(widget)->setText(Text(button.caption()));
        },
        [&](const panel::ListView& list) { SyncColumns(list, widget); }, Widgetless{});
}

// A caption wider than its label is cut with an ellipsis (an amount keeps its last digits in
// sight); the whole text stays in the tooltip and the accessible name.
void PanelView::SyncCaption(const panel::Label& model, QLabel* label) {
    const QString caption = Text(model.caption());
    const bool right = model.alignment() == panel::Alignment::kRight;
    // An auto-size label takes its caption's size: only a fixed box cuts.
    const QString shown = model.autoSize() ? caption
                                           : label->fontMetrics().elidedText(
                                                 caption, right ? Qt::ElideLeft : Qt::ElideRight,
                                                 std::max(0, label->width()));
    label->setText(shown);
    label->setToolTip(shown == caption ? QString() : caption);
    label->setAccessibleName(caption);
}

void PanelView::SyncColumns(const panel::ListView& model, QWidget* widget) {
    auto* list = static_cast<QTreeWidget*>(widget);
    for (int column = 0; column < static_cast<int>(model.columns().size()); ++column) {
        const panel::Twips width = model.columns()[static_cast<std::size_t>(column)].width;
        list->setColumnWidth(column,
                             static_cast<int>(std::lround(std::max(0.0f, width) / twipsPerPixel_)));
    }
}

void PanelView::RowsChanged(const panel::ListView& model, panel::RowChange change) {
    const auto found = widgets_.find(&model);
    if (found == widgets_.end()) return;
    auto* list = static_cast<QTreeWidget*>(found->second);
    const int row = static_cast<int>(change.row);
    switch (change.kind) {
        case panel::RowChange::Kind::kCleared:
            list->clear();
            break;
        case panel::RowChange::Kind::kInserted: {
            auto* item = new QTreeWidgetItem();
            list->insertTopLevelItem(row, item);
            ShowRow(model, change.row, item);
            break;
        }
        case panel::RowChange::Kind::kChanged:
            ShowRow(model, change.row, list->topLevelItem(row));
            break;
    }
}

void PanelView::ShowRow(const panel::ListView& model, std::size_t row, QTreeWidgetItem* item) {
    if (item == nullptr || row >= model.items().size()) return;
    const panel::ListItem& cells = model.items()[row];
    // A cell narrower than its text shows an ellipsis; the whole text is its tooltip.
    item->setText(0, Text(cells.text));
    item->setToolTip(0, Text(cells.text));
    for (int sub = 0; sub < panel::ListView::kSubItemCount; ++sub) {
        item->setText(sub + 1, Text(cells.subItems[static_cast<std::size_t>(sub)]));
        item->setToolTip(sub + 1, Text(cells.subItems[static_cast<std::size_t>(sub)]));
        if (model.columns()[static_cast<std::size_t>(sub + 1)].alignment ==
            panel::Alignment::kRight)
            item->setTextAlignment(sub + 1, Qt::AlignRight | Qt::AlignVCenter);
    }
}

}  // namespace infotrakon::gui
