#include "gui/panel_view.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QTreeWidget>
#include <cmath>

#include "gui/qt_text_metrics.h"
#include "gui/refresh_picture.h"

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

}  // namespace

PanelView::PanelView(control::InfoTrakon& control, ErrorHandler onError, QWidget* parent)
    : QWidget(parent),
      control_(control),
      onError_(std::move(onError)),
      twipsPerPixel_(TwipsPerPixel()) {
    panel::Panel& panel = control_.panel();
    setPalette(White(palette()));
    setAutoFillBackground(true);
    setFont(QtFont(panel.font()));
    options_ = new QButtonGroup(this);
    options_->setExclusive(true);

    for (panel::Element* element : panel.elements()) {
        if (!element->visible()) continue;
        QWidget* widget = nullptr;
        const std::string name = element->name();
        switch (element->kind()) {
            case panel::ElementKind::kLabel: {
                auto* label = new QLabel(this);
                const auto& model = static_cast<const panel::Label&>(*element);
                label->setFont(QtFont(model.font()));
                label->setAlignment(Qt::AlignTop | (model.alignment() == panel::Alignment::kRight
                                                        ? Qt::AlignRight
                                                        : Qt::AlignLeft));
                label->setAutoFillBackground(!model.transparent());
                widget = label;
                break;
            }
            case panel::ElementKind::kOptionButton: {
                auto* option = new QRadioButton(this);
                option->setFont(QtFont(static_cast<const panel::OptionButton&>(*element).font()));
                option->setPalette(White(option->palette()));
                option->setAutoFillBackground(true);
                options_->addButton(option);
                connect(option, &QRadioButton::clicked, this,
                        [this, name] { Deliver([this, name] { control_.Click(name); }); });
                widget = option;
                break;
            }
            case panel::ElementKind::kComboBox: {
                auto* combo = new QComboBox(this);
                const auto& model = static_cast<const panel::ComboBox&>(*element);
                combo->setFont(QtFont(model.font()));
                combo->setEditable(model.style() == panel::ComboStyle::kDropdownCombo);
                for (const panel::ComboItem& item : model.items()) combo->addItem(Text(item.text));
                // Only the user's choice: the model's own ListIndex comes back through Sync.
                connect(combo, &QComboBox::activated, this, [this, name](int index) {
                    Deliver([this, name, index] { control_.ChooseItem(name, index); });
                });
                widget = combo;
                break;
            }
            case panel::ElementKind::kCommandButton: {
                auto* button = new QPushButton(this);
                if (static_cast<const panel::CommandButton&>(*element).hasPicture()) {
                    button->setIcon(QIcon(RefreshPicture()));
                    button->setIconSize(QSize(16, 17));
                }
                connect(button, &QPushButton::clicked, this,
                        [this, name] { Deliver([this, name] { control_.Click(name); }); });
                widget = button;
                break;
            }
            case panel::ElementKind::kListView: {
                auto* list = new QTreeWidget(this);
                const auto& model = static_cast<const panel::ListView&>(*element);
                list->setFont(QtFont(model.font()));
                list->setRootIsDecorated(false);
                list->setUniformRowHeights(true);
                list->setSelectionMode(QAbstractItemView::SingleSelection);
                list->header()->setStretchLastSection(false);
                QStringList headers;
                for (const panel::ColumnHeader& column : model.columns())
                    headers << Text(column.text);
                list->setHeaderLabels(headers);
                for (int column = 0; column < static_cast<int>(model.columns().size()); ++column)
                    list->headerItem()->setTextAlignment(
                        column, model.columns()[static_cast<std::size_t>(column)].alignment ==
                                        panel::Alignment::kRight
                                    ? Qt::AlignRight | Qt::AlignVCenter
                                    : Qt::AlignLeft | Qt::AlignVCenter);
                widget = list;
                break;
            }
            default:
                break;
        }
        if (widget == nullptr) continue;
        widget->setObjectName(Text(name));
        widgets_[element] = widget;
        Sync(*element);
    }
    panel.AddObserver(this);
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

void PanelView::Deliver(const std::function<void()>& event) {
    try {
        event();
    } catch (const Error& error) {
        if (onError_) onError_(error);
    }
}

void PanelView::ElementChanged(const panel::Element& element) { Sync(element); }

void PanelView::Sync(const panel::Element& element) {
    const auto found = widgets_.find(&element);
    if (found == widgets_.end()) return;
    QWidget* widget = found->second;
    widget->setGeometry(Pixels(element));
    switch (element.kind()) {
        case panel::ElementKind::kLabel:
            static_cast<QLabel*>(widget)->setText(
                Text(static_cast<const panel::Label&>(element).caption()));
            break;
        case panel::ElementKind::kOptionButton: {
            const auto& model = static_cast<const panel::OptionButton&>(element);
            auto* option = static_cast<QRadioButton*>(widget);
            option->setText(Text(model.caption()));
            if (model.value()) option->setChecked(true);
            break;
        }
        case panel::ElementKind::kComboBox: {
            const QSignalBlocker quiet(widget);
            static_cast<QComboBox*>(widget)->setCurrentIndex(
                static_cast<const panel::ComboBox&>(element).listIndex());
            break;
        }
        case panel::ElementKind::kCommandButton:
            static_cast<QPushButton*>(widget)->setText(
                Text(static_cast<const panel::CommandButton&>(element).caption()));
            break;
        case panel::ElementKind::kListView:
            SyncList(static_cast<const panel::ListView&>(element), widget);
            break;
        default:
            break;
    }
}

void PanelView::SyncList(const panel::ListView& model, QWidget* widget) {
    auto* list = static_cast<QTreeWidget*>(widget);
    for (int column = 0; column < static_cast<int>(model.columns().size()); ++column) {
        const panel::Twips width = model.columns()[static_cast<std::size_t>(column)].width;
        list->setColumnWidth(column,
                             static_cast<int>(std::lround(std::max(0.0f, width) / twipsPerPixel_)));
    }
    // The list is filled a row at a time: a fill clears it, appends a row and writes that
    // row's cells. So only the rows past the shown ones and the last row can have changed,
    // and following a fill stays linear in its rows.
    const auto& items = model.items();
    if (static_cast<std::size_t>(list->topLevelItemCount()) > items.size()) list->clear();
    const auto shown = static_cast<std::size_t>(list->topLevelItemCount());
    const std::size_t first = shown == 0 ? 0 : shown - 1;
    for (std::size_t row = first; row < items.size(); ++row) {
        QTreeWidgetItem* item =
            row < shown ? list->topLevelItem(static_cast<int>(row)) : new QTreeWidgetItem(list);
        item->setText(0, Text(items[row].text));
        for (int sub = 0; sub < panel::ListView::kSubItemCount; ++sub) {
            item->setText(sub + 1, Text(items[row].subItems[static_cast<std::size_t>(sub)]));
            if (model.columns()[static_cast<std::size_t>(sub + 1)].alignment ==
                panel::Alignment::kRight)
                item->setTextAlignment(sub + 1, Qt::AlignRight | Qt::AlignVCenter);
        }
    }
}

}  // namespace infotrakon::gui
