#pragma once

#include "Models/CleanupSafety.h"
#include "Views/DesignSystem/Pill.h"

// "Safe" in green with a shield, or "Review" in amber with a warning sign.
class SafetyPill : public Pill {
    Q_OBJECT
public:
    explicit SafetyPill(CleanupSafety safety, QWidget* parent = nullptr);
};
