#pragma once

#include "Models/AppSection.h"

#include <QWidget>

class AppState;
class FadingStack;
class OnboardingView;
class PillTabBar;
class SymbolButton;

// The main window's content: onboarding until it has been completed, then the screen of the
// selected section under a bar of section tabs and the settings button. Every place that navigates
// sets AppState's selected section; this view follows it, fading one screen into the next.
class RootView : public QWidget {
    Q_OBJECT
public:
    explicit RootView(AppState& state, QWidget* parent = nullptr);

    // The section shown: the stored one, the overview when none is stored.
    AppSection section() const;

    OnboardingView* onboarding() const { return onboarding_; }
    PillTabBar* tabBar() const { return tabBar_; }
    SymbolButton* settingsButton() const { return settingsButton_; }
    QWidget* screen() const;  // the section's screen; null during onboarding

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void showGate();
    QWidget* makeShell();
    QWidget* makeScreen(AppSection section);
    void followSection();
    void showFileActionFailure(const QString& message);

    AppState& state_;
    QWidget* content_ = nullptr;
    OnboardingView* onboarding_ = nullptr;
    PillTabBar* tabBar_ = nullptr;
    SymbolButton* settingsButton_ = nullptr;
    FadingStack* screens_ = nullptr;
    AppSection shown_ = AppSection::overview;
};
