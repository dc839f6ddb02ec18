#pragma once

#include "Models/InstalledApplication.h"
#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/DynamicColor.h"

#include <functional>

class AppState;
class HeroValue;
class StatColumns;
class StyledButton;

// The selected application at the top of the uninstaller's detail: its icon, name, desktop-file id
// and version, the size of the ticked leftovers, three figures (leftovers, ticked, the
// application's own size), and the refresh and trash buttons. The trash button only asks: `askToTrash`
// opens the screen's confirmation.
class UninstallerHeroCard : public CardModifier {
    Q_OBJECT
public:
    UninstallerHeroCard(AppState& state, InstalledApplication application, const DynamicColor& tint, std::function<void()> askToTrash,
                        QWidget* parent = nullptr);

    const InstalledApplication& application() const { return application_; }
    HeroValue* selectedSizeValue() const { return selectedSize_; }
    StatColumns* figures() const { return figures_; }
    StyledButton* refreshButton() const { return refresh_; }
    StyledButton* trashButton() const { return trash_; }

private:
    void follow();

    AppState& state_;
    InstalledApplication application_;
    DynamicColor tint_;
    HeroValue* selectedSize_;
    StatColumns* figures_;
    StyledButton* refresh_;
    StyledButton* trash_;
};
