#pragma once

#include "Views/DesignSystem/DynamicColor.h"

class AppState;
class StyledButton;

// "Open privacy settings" for onboarding and settings. Where no settings program is installed it is
// disabled and says why, rather than doing nothing when pressed.
StyledButton* makePrivacySettingsButton(AppState& state, DynamicColor tint);
