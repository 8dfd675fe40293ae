// qt_host [--print]: a form of a Qt host with the panel on it, made in Qt Designer. With
// --print it prints the panel's element model and ends, as infotrakon print --json does.
#include <QApplication>
#include <QMessageBox>
#include <QTextStream>

#include "ui_form.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget form;
    Ui::Form ui;
    ui.setupUi(&form);
    QObject::connect(ui.infoTrakon, &InfoTrakonWidget::errorOccurred,
                     [&form](int number, const QString& message) {
                         QMessageBox::warning(&form, "InfoTrakon",
                                              QString("%1: %2").arg(number).arg(message));
                     });
    // The form at the panel's design size, as the host program lays it out.
    form.resize(ui.infoTrakon->sizeHint());
    form.show();
    if (application.arguments().contains("--print")) {
        QApplication::processEvents();
        QTextStream(stdout) << ui.infoTrakon->stateJson();
        return 0;
    }
    return application.exec();
}
