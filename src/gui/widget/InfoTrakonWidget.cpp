#include "InfoTrakonWidget.h"

#include <QVBoxLayout>
#include <optional>

#include "control/infotrakon.h"
#include "control/panel_json.h"
#include "gui/panel_view.h"
#include "gui/qt_text_metrics.h"
#include "settings/registry_file.h"

using namespace infotrakon;

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
    const std::string prefix = panel_->winePrefix.isEmpty() ? settings::DefaultWinePrefix()
                                                            : panel_->winePrefix.toStdString();
    control::HostEnvironment environment = control::HostEnvironment::ForHost(prefix);
    if (!panel_->settingsFile.isEmpty())
        environment.registry = std::make_shared<settings::RegistryFileStore>(
            environment.files, panel_->settingsFile.toStdString());
    environment.textMetrics = &panel_->metrics;
    panel_->control = std::make_unique<control::InfoTrakon>(std::move(environment));
    const auto report = [this](const Error& error) {
        panel_->lastError = error;
        emit errorOccurred(error.number(), QString::fromUtf8(error.what()));
    };
    try {
        panel_->control->Initialize();
    } catch (const Error& error) {
        report(error);
    }
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
    try {
        return panel_->control->FileExists(path.toStdString());
    } catch (const Error&) {
        return false;
    }
}

QString InfoTrakonWidget::stateJson() const {
    return QString::fromStdString(control::PanelJson(panel_->control->panel(), panel_->lastError));
}

QSize InfoTrakonWidget::sizeHint() const {
    return panel_->view != nullptr ? panel_->view->PanelPixels() : QWidget::sizeHint();
}

void InfoTrakonWidget::refresh() {
    panel_->lastError.reset();
    try {
        panel_->control->Click("Command2");
    } catch (const Error& error) {
        panel_->lastError = error;
        emit errorOccurred(error.number(), QString::fromUtf8(error.what()));
    }
}
