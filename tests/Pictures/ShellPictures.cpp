#include "Pictures/PictureRegistry.h"

#include "App/RootView.h"
#include "App/UnreadableSettingsNotice.h"
#include "Services/AppState.h"
#include "Services/FakeAppServices.h"
#include "Services/Preferences.h"
#include "Support/FixtureRoots.h"
#include "Views/Shell/OnboardingView.h"
#include "Views/Shell/SettingsView.h"
#include "ViewSupport/WindowViews.h"

#include <QTemporaryDir>

#include <cerrno>

static const PictureRegistration shell("shell", [](PictureContext& pictures) {
    QTemporaryDir home;
    const FixtureRoots roots(home.path().toStdString());
    {
        FakeAppServices fake;
        AppState state(fake.services());
        Preferences::setFlag(Preferences::Key::didCompleteOnboarding, false);
        for (int page = 0; page < OnboardingView::pageCount; ++page) {
            pictures.render(QStringLiteral("onboarding-%1").arg(page + 1), QSize(WindowViews::defaultWidth, WindowViews::defaultHeight), [&] {
                auto root = std::make_unique<RootView>(state);
                for (int step = 0; step < page; ++step) root->onboarding()->goForward();
                return root;
            });
        }
        pictures.render("settings-window", QSize(620, 620), [&] { return std::make_unique<SettingsView>(state); });
        pictures.render("settings-full", QSize(620, 1240), [&] { return std::make_unique<SettingsView>(state); });
        pictures.render("settings-unreadable-notice", QSize(520, 280), [&] {
            return makeUnreadableSettingsNotice({SettingsFile::ReadFailure::Kind::danglingLink, 0}, "/home/ana/.config/Quarnell/Quarnell.ini");
        });
        pictures.render("settings-unwritable-notice", QSize(520, 280), [&] {
            return makeUnwritableSettingsNotice(ENOSPC, "/home/ana/.config/Quarnell/Quarnell.ini");
        });
        pictures.render("settings-damaged-notice", QSize(520, 280), [&] {
            return makeDamagedSettingsNotice("/home/ana/.config/Quarnell/Quarnell.ini", "/home/ana/.config/Quarnell/Quarnell.ini.damaged-2026-12-07T093012");
        });
        fake.abandon.request_stop();
    }
});
