#pragma once

#include <QString>

#include <stdexcept>

// The startup-items service's own refusals; what() is the message shown to the user.
class StartupError : public std::runtime_error {
public:
    enum class Case {
        requiresAdministrator,
        changedSinceListed,  // the file is no longer the one listed, or no longer in the listed state
        symbolicLink,        // its keys would have to be written through a link
        nothingToStart,      // it names no program, and no system entry stands behind it
        notApplied,          // written, but the desktop would still not do what was asked
        notSwitchable,       // the desktop cannot read it, or we could not; `detail` says why
    };

    // `name` is the item's file name, for the cases that name it.
    explicit StartupError(Case errorCase, const QString& name = {}, const QString& detail = {});
    Case errorCase() const { return case_; }

private:
    Case case_;
};
