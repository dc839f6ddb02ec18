#pragma once

#include "Views/DesignSystem/DynamicColor.h"

#include <QWidget>

#include <functional>
#include <string>

class AppState;
class CoalescedUpdate;
class LeftoversCard;
class UninstallerHeroCard;

// The uninstaller's right column: the selected application's hero card over its leftovers; without
// a selection, a loading card while the applications are read, else a prompt to choose one with a
// refresh button.
class UninstallerDetail : public QWidget {
    Q_OBJECT
public:
    enum class Shown { application, loading, prompt };

    UninstallerDetail(AppState& state, const DynamicColor& tint, std::function<void()> askToTrash, QWidget* parent = nullptr);

    Shown shown() const { return shown_; }
    UninstallerHeroCard* hero() const { return hero_; }
    LeftoversCard* leftovers() const { return leftovers_; }

private:
    void follow();
    void rebuild();
    QWidget* makeApplicationPage();
    QWidget* makeStateCard(bool loading);

    AppState& state_;
    DynamicColor tint_;
    std::function<void()> askToTrash_;
    CoalescedUpdate* update_;
    QWidget* content_ = nullptr;
    Shown shown_ = Shown::prompt;
    std::string shownID_;
    UninstallerHeroCard* hero_ = nullptr;
    LeftoversCard* leftovers_ = nullptr;
};
