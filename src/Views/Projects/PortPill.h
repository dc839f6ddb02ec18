#pragma once

#include "Views/DesignSystem/Pill.h"

// One listening port in an orange capsule, without grouping, read left to right in every language.
class PortPill : public Pill {
    Q_OBJECT
public:
    explicit PortPill(int port, QWidget* parent = nullptr);

    int port() const { return port_; }

private:
    int port_;
};
