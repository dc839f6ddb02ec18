#pragma once

#include <stdexcept>

// The startup-items service's own refusal; what() is the message shown to the user.
class StartupError : public std::runtime_error {
public:
    enum class Case { requiresAdministrator };

    explicit StartupError(Case errorCase);
    Case errorCase() const { return case_; }

private:
    Case case_;
};
