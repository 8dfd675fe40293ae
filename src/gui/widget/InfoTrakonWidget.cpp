#include "InfoTrakonWidget.h"

#include <QVBoxLayout>
#include <optional>
#include <string>

#include "control/infotrakon.h"
#include "control/panel_json.h"
#include "core/guarded.h"
#include "gui/panel_view.h"
#include "gui/qt_text_metrics.h"

using namespace infotrakon;

namespace {

// An error of the start-up or of an event: kept for stateJson, and told to the host.
void Report(InfoTrakonWidget& widget, std::optional<Error>& lastError, const Error& error) {
    lastError = error;
    emit widget.errorOccurred(error.number(), QString::fromUtf8(error.what()));
}

// An empty property names nothing: the host's own is taken.
std::optional<std::string> UnlessEmpty(const QString& property) {
    if (property.isEmpty()) return std::nullopt;
    return property.toStdString();
}

}  // namespace

struct InfoTrakonWidget::Panel {
    QString winePrefix;
    QString settingsFile;
    gui::QtTextMetrics metrics;
    std::unique_ptr<control::InfoTrakon> control;
    gui::PanelView* view = nullptr;
    std::optional<Error> lastError;
};

InfoTrakonWidget::InfoTrakonWidget(QWidget* parent)
    : QWidget(parent), panel_(std::make_unique<Panel>()) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    StartUp();
}

InfoTrakonWidget::~InfoTrakonWidget() {
    delete panel_->view;
    panel_->view = nullptr;
}

void InfoTrakonWidget::StartUp() {
    delete panel_->view;
    panel_->view = nullptr;
    panel_->lastError.reset();
    panel_->control.reset();
    // A panel that cannot even be made leaves the widget empty, with the error reported.
    const std::optional<Error> error = Guarded([&] {
        control::HostEnvironment environment = control::HostEnvironment::ForHost(
            {UnlessEmpty(panel_->winePrefix), UnlessEmpty(panel_->settingsFile), std::nullopt});
        environment.textMetrics = &panel_->metrics;
        panel_->control = std::make_unique<control::InfoTrakon>(std::move(environment));
        panel_->control->Initialize();
    });
    if (error) Report(*this, panel_->lastError, *error);
    if (!panel_->control) return;
    const auto report = [this](const Error& failed) { Report(*this, panel_->lastError, failed); };
    panel_->view = new gui::PanelView(*panel_->control, report, this);
    layout()->addWidget(panel_->view);
}

QString InfoTrakonWidget::winePrefix() const { return panel_->winePrefix; }

void InfoTrakonWidget::setWinePrefix(const QString& prefix) {
    panel_->winePrefix = prefix;
    StartUp();
}

QString InfoTrakonWidget::settingsFile() const { return panel_->settingsFile; }

void InfoTrakonWidget::setSettingsFile(const QString& file) {
    panel_->settingsFile = file;
    StartUp();
}

bool InfoTrakonWidget::fileExists(const QString& path) const {
    // A path that cannot be tested names no file the host could open.
    bool exists = false;
    if (panel_->control) Guarded([&] { exists = panel_->control->FileExists(path.toStdString()); });
    return exists;
}

QString InfoTrakonWidget::stateJson() const {
    // Empty when there is no panel, or no memory left to write its state.
    QString json;
    if (panel_->control)
        Guarded([&] {
            json = QString::fromStdString(
                control::PanelJson(panel_->control->panel(), panel_->lastError));
        });
    return json;
}

QSize InfoTrakonWidget::sizeHint() const {
    return panel_->view != nullptr ? panel_->view->PanelPixels() : QWidget::sizeHint();
}

void InfoTrakonWidget::refresh() {
    if (!panel_->control) return;
    panel_->lastError.reset();
    if (const std::optional<Error> error = Guarded([&] { panel_->control->Click("Command2"); }))
        Report(*this, panel_->lastError, *error);
}
