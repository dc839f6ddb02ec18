#pragma once

#include "Models/AppLanguage.h"

#include <QWidget>

class AppState;
class PillTabBar;
class PreferencePicker;
class TextLabel;
class ToggleSwitch;
class StyledButton;

// The settings screen: interface (language, appearance, menu-bar style), scanning (scan folder,
// hidden files, file access), privacy and about, as a scrolling column of cards. Every control acts
// at once; the settings window and the settings section show the same values.
class SettingsView : public QWidget {
    Q_OBJECT
public:
    explicit SettingsView(AppState& state, QWidget* parent = nullptr);

    // The language choice, shared with onboarding: its option texts, and the picker that stores the
    // choice and relaunches the application when it changed.
    static QString languageOptionLabel(AppLanguage language);
    static void relaunchOnLanguageChange(const QString& previous, const QString& current);
    static PreferencePicker* makeLanguagePicker(int width, QWidget* parent = nullptr);

    PreferencePicker* languagePicker() const { return languagePicker_; }
    PreferencePicker* appearancePicker() const { return appearancePicker_; }
    PillTabBar* menuBarPicker() const { return menuBarPicker_; }
    TextLabel* scanLocation() const { return scanLocation_; }
    StyledButton* changeFolderButton() const { return changeFolderButton_; }
    ToggleSwitch* hiddenSwitch() const { return hiddenSwitch_; }
    StyledButton* openSystemButton() const { return openSystemButton_; }
    QWidget* privacyPills() const { return privacyPills_; }
    TextLabel* versionLabel() const { return versionLabel_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* interfaceCard();
    QWidget* scanningCard();
    QWidget* privacyCard();
    QWidget* aboutCard();

    AppState& state_;
    PreferencePicker* languagePicker_ = nullptr;
    PreferencePicker* appearancePicker_ = nullptr;
    PillTabBar* menuBarPicker_ = nullptr;
    TextLabel* scanLocation_ = nullptr;
    StyledButton* changeFolderButton_ = nullptr;
    ToggleSwitch* hiddenSwitch_ = nullptr;
    StyledButton* openSystemButton_ = nullptr;
    QWidget* privacyPills_ = nullptr;
    TextLabel* versionLabel_ = nullptr;
};
