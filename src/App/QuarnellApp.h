#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <memory>

class AppState;
class MenuBarExtra;
class QMainWindow;
class QMenu;
class QMessageBox;
class QWidget;
struct AppServices;

// The application: the one AppState for the whole run, the main window "main" with the scan menu,
// and the settings window. The stored language sets the locale and layout direction for the run
// (a change relaunches); the stored appearance restyles every window at once.
class QuarnellApp : public QObject {
    Q_OBJECT
public:
    // With the real services by default; tests hand in fakes.
    QuarnellApp();
    explicit QuarnellApp(AppServices services);
    ~QuarnellApp() override;

    AppState& state() const { return *state_; }
    QMainWindow* mainWindow() const { return mainWindow_; }
    QWidget* settingsWindow() const { return settingsWindow_; }
    QMenu* scanMenu() const { return scanMenu_; }
    MenuBarExtra* menuBarExtra() const { return menuBarExtra_.get(); }

    void showMainWindow();
    void showSettingsWindow();

    // The stored language in force for the whole application, as for an application started in it:
    // the default locale of Qt and ICU, the layout direction and Qt's own translations.
    static void applyLanguage();

    // The notice shown, once a run, when the settings file cannot be read; none before that.
    QWidget* unreadableSettingsNotice() const { return unreadableSettingsNotice_.data(); }
    // The notice shown, once a run, when a change could not be written to the settings file.
    QWidget* unwritableSettingsNotice() const { return unwritableSettingsNotice_.data(); }
    // The notice shown when the settings file was found damaged at start and kept aside.
    QWidget* damagedSettingsNotice() const { return damagedSettingsNotice_.data(); }

private:
    void warnUnreadableSettings();
    void warnUnwritableSettings();
    void warnDamagedSettings();
    QPointer<QWidget> showSettingsNotice(std::unique_ptr<QMessageBox> notice);

    std::unique_ptr<AppState> state_;
    QMainWindow* mainWindow_ = nullptr;
    QWidget* settingsWindow_ = nullptr;
    QMenu* scanMenu_ = nullptr;
    // The tray item; none where the desktop shows no tray, and closing the main window then quits.
    std::unique_ptr<MenuBarExtra> menuBarExtra_;
    QPointer<QWidget> unreadableSettingsNotice_;
    bool warnedUnreadableSettings_ = false;
    QPointer<QWidget> unwritableSettingsNotice_;
    bool warnedUnwritableSettings_ = false;
    QPointer<QWidget> damagedSettingsNotice_;
};
