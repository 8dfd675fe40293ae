// The information panel as a Qt widget for a host's form. Installed with the library
// libinfotrakon-widgets; nothing of the panel's own headers is needed to use it.
#pragma once

#include <QString>
#include <QWidget>
#include <memory>

#if defined(INFOTRAKON_BUILDING_WIDGETS)
#define INFOTRAKON_WIDGETS_EXPORT __attribute__((visibility("default")))
#else
#define INFOTRAKON_WIDGETS_EXPORT
#endif

// Created, it runs the panel's start-up as a host creating the control does: it reads the host
// setting of the Wine prefix ($WINEPREFIX, else ~/.wine) and shows the agenda named there.
class INFOTRAKON_WIDGETS_EXPORT InfoTrakonWidget : public QWidget {
    Q_OBJECT
    // The Wine prefix whose system.reg and drives the host's paths name; "" for the default.
    Q_PROPERTY(QString winePrefix READ winePrefix WRITE setWinePrefix)
    // A settings file instead of the prefix's system.reg (a .reg export); "" for none.
    Q_PROPERTY(QString settingsFile READ settingsFile WRITE setSettingsFile)

  public:
    explicit InfoTrakonWidget(QWidget* parent = nullptr);
    ~InfoTrakonWidget() override;

    QString winePrefix() const;
    // Setting a property runs the start-up again.
    void setWinePrefix(const QString& prefix);
    QString settingsFile() const;
    void setSettingsFile(const QString& file);

    // The control's one method: whether `path` (a host's path) names an existing file.
    bool fileExists(const QString& path) const;
    // The element model as `infotrakon print --json` prints it, with the last error.
    QString stateJson() const;
    QSize sizeHint() const override;

  public slots:
    // Clicks "Aktualizovat".
    void refresh();

  signals:
    // The error that stopped the start-up or an event of the panel.
    void errorOccurred(int number, const QString& message);

  private:
    void StartUp();
    struct Panel;
    std::unique_ptr<Panel> panel_;
};
