#pragma once

#include "App/MenuBarPanel/PanelContext.h"
#include "App/MenuBarPanel/PanelTab.h"

#include <QWidget>

#include <chrono>
#include <functional>
#include <stop_token>
#include <vector>

class AppState;
class CardModifier;
class DockerPanelModel;
class FadingStack;
class PanelButton;
class PanelPage;
class PanelTabButton;
class Pill;
class ProjectStopConfirmation;
class QHBoxLayout;
class QVBoxLayout;
class TextLabel;

// The tray's panel: a frameless window 360 wide with the machine's health, the tab bar (the tab
// kept under "menuBarTab"), the page of the current tab, a warning when the start-up volume runs
// low, and buttons to open the main window, open it on its settings section and quit. It opens next to the tray
// icon and closes when it loses focus, on Escape, or as it brings the main window forward. Figures follow the monitor while it is open;
// Docker is polled only while its tab is shown.
class MenuBarPanel : public QWidget {
    Q_OBJECT
public:
    struct Actions {
        std::function<void()> openMain;
        std::function<void()> quit;
    };
    struct Options {
        std::function<DiskCapacityService::Capacity()> capacity;  // the start-up volume; "/" when not given
        std::function<Instant()> clock = Instant::now;
        std::chrono::milliseconds dockerInterval = std::chrono::seconds(5);
    };

    MenuBarPanel(AppState& state, Actions actions, QWidget* parent = nullptr);
    MenuBarPanel(AppState& state, Actions actions, Options options, QWidget* parent = nullptr);
    ~MenuBarPanel() override;

    // Opens next to the icon, or at the pointer when the tray's geometry of the icon cannot be
    // trusted (see PanelPlacement::anchor); closes when open.
    void toggleAt(const QRect& iconGeometry, bool clicked);
    void popUp(const QRect& iconGeometry, bool clicked);

    PanelTab currentTab() const;
    // Stores the tab, as a tap on it does.
    void selectTab(PanelTab tab);
    // Brings everything shown up to date (every publish of the monitor while open).
    void refresh();

    PanelPage* page() const { return page_; }
    FadingStack* pages() const { return pages_; }
    const std::vector<PanelTabButton*>& tabButtons() const { return tabButtons_; }
    Pill* healthPill() const { return healthPill_; }
    QWidget* lowSpaceBanner() const { return lowSpaceBanner_; }
    TextLabel* caption() const { return caption_; }
    PanelButton* openButton() const { return openButton_; }
    PanelButton* settingsButton() const { return settingsButton_; }
    PanelButton* quitButton() const { return quitButton_; }
    DockerPanelModel* docker() const { return docker_; }
    bool isPollingDocker() const { return pollingDocker_; }
    ProjectStopConfirmation* stopConfirmation() const { return stopConfirmation_; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildTabBar();
    void showCurrentPage();
    void fitHeight();
    void followDockerPolling();
    bool ownsActiveDialog() const;
    void openMain();  // closes the panel and brings the main window forward

    AppState& state_;
    Actions actions_;
    Options options_;
    DockerPanelModel* docker_;
    ProjectStopConfirmation* stopConfirmation_;
    PanelContext context_;

    Pill* healthPill_ = nullptr;
    QHBoxLayout* tabBar_ = nullptr;
    std::vector<PanelTabButton*> tabButtons_;
    bool tabsWithBattery_ = false;
    TextLabel* caption_ = nullptr;
    CardModifier* pageCard_ = nullptr;
    FadingStack* pages_ = nullptr;
    PanelPage* page_ = nullptr;
    PanelTab pageTab_ = PanelTab::overview;
    QWidget* lowSpaceBanner_ = nullptr;
    PanelButton* openButton_ = nullptr;
    PanelButton* settingsButton_ = nullptr;
    PanelButton* quitButton_ = nullptr;

    std::stop_source dockerStop_;
    bool pollingDocker_ = false;
    std::chrono::steady_clock::time_point closedByFocusLoss_;
};
