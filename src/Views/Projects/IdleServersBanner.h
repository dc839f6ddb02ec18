#pragma once

#include "Models/DevProject.h"
#include "Views/DesignSystem/Banner.h"

#include <functional>
#include <vector>

class StyledButton;

// The notice over idle developer servers: how many, the memory they hold and their ports, with a
// button that asks to stop them all.
class IdleServersBanner : public Banner {
    Q_OBJECT
public:
    IdleServersBanner(const std::vector<DevProject>& idle, std::function<void()> stop, QWidget* parent = nullptr);

    StyledButton* stopAllButton() const { return stopAll_; }
    static QString title(const std::vector<DevProject>& idle);
    static QString detail(const std::vector<DevProject>& idle);

private:
    StyledButton* stopAll_;
};
