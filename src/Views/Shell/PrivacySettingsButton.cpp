#include "Views/Shell/PrivacySettingsButton.h"

#include "Models/AppLocalization.h"
#include "Services/AppState.h"
#include "Views/Common/PlainToolTip.h"
#include "Views/DesignSystem/StyledButton.h"

StyledButton* makePrivacySettingsButton(AppState& state, DynamicColor tint) {
    auto* button = new StyledButton(AppLocalization::string("settings.openSystem"), QString(), SoftButtonStyle{tint});
    QObject::connect(button, &StyledButton::clicked, &state, [&state] { state.openPrivacySettings(); });
    if (!state.canOpenPrivacySettings()) {
        button->setEnabled(false);
        button->setToolTip(plainToolTip(AppLocalization::string("settings.openSystem.unavailable")));
    }
    return button;
}
