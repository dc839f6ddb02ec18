// The main window as a user who has been through every section sees it: each section, tab, tool and
// map mode at the window's default size, which is what the real window cuts, and at full length.
// What does not fit is reported as it is drawn.
#include "Pictures/PictureRegistry.h"

#include "App/RootView.h"
#include "Services/Preferences.h"
#include "ViewSupport/LivedInState.h"
#include "ViewSupport/TextFitCheck.h"
#include "ViewSupport/WindowViews.h"

#include <cstdio>

static const PictureRegistration window("window", [](PictureContext& pictures) {
    LivedInState world;
    Preferences::setFlag(Preferences::Key::didCompleteOnboarding, true);
    const QSize size(WindowViews::defaultWidth, WindowViews::defaultHeight);
    for (const WindowViews::View& view : WindowViews::all()) {
        world.state().setSelectedSection(view.section);
        auto make = [&] {
            auto root = std::make_unique<RootView>(world.state());
            WindowViews::show(*root, view);
            return root;
        };
        auto report = [&](const QString& name) {
            return [name](QWidget& shown, const QString& look) {
                for (const QString& fault : TextFitCheck::faults(shown))
                    std::fprintf(stderr, "%s-%s: %s\n", qPrintable(name), qPrintable(look), qPrintable(fault));
            };
        };
        const QString name = "window-" + view.name;
        pictures.render(name, size, make, {.fullLength = false, .inspect = report(name)});
        pictures.render(name + "-full", size, make, {.fullLength = true, .inspect = {}});
    }
    Preferences::setFlag(Preferences::Key::didCompleteOnboarding, false);
});
