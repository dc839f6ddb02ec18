#pragma once

#include "Foundation/BackgroundJobs.h"

#include <QIcon>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

// The icons of applications: a desktop entry's Icon, a theme icon name or an absolute path (anything
// else, such as "../x", is neither and names no icon), else the theme's icon for programs. An icon file
// may be large or costly to draw, so files are found, read and decoded on two worker threads, never on
// the window's; until an application's own icon is ready it shows the program icon, and iconReady
// tells its rows to ask again. Each icon is decoded once and kept: the monitor's rows come back every
// two seconds with the same icons. Decoding ends when the application is about to quit, before the
// windowing system it draws with is torn down: the icons waiting are dropped and the one being decoded
// is waited for, unless the quit deadline ends the process first (a read stuck on a mount that does
// not answer never ends); icons asked for after that show the program icon.
class AppIcons : public QObject {
    Q_OBJECT
public:
    // Lives as long as the application object. On the window's thread, as everything below.
    static AppIcons& shared();

    // The icon to show now: the application's own once decoded, else the program icon. The first ask
    // for a name starts its decoding.
    QIcon icon(const std::string& iconName);
    // Every icon asked for so far has been decoded, or found to have no image.
    bool isIdle() const { return !decoding_ || decoding_->jobs.isIdle(); }

    // For tests: called on the decoding thread with each icon's name before its files are looked for.
    static void setBeforeDecode(std::function<void(const std::string&)> hook);

signals:
    void iconReady(const std::string& iconName);

private:
    explicit AppIcons(QObject* parent);
    static QIcon fallback();

    // The jobs hand their outcomes to `owner`, which is gone with them, so none arrives after an early end.
    struct Decoding {
        // Few enough that decoding never crowds the machine; a list of hundreds of applications waits its turn.
        static constexpr int threads = 2;
        Decoding() : jobs(&owner, threads) {}
        QObject owner;
        BackgroundJobs jobs;
    };

    std::unordered_map<std::string, std::optional<QIcon>> icons_;  // none while decoding
    std::unique_ptr<Decoding> decoding_;
};
