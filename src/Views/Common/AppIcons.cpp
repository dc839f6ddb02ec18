#include "Views/Common/AppIcons.h"

#include "Views/Common/IconFile.h"
#include "Views/Common/IconLookup.h"
#include "Views/Common/IconTheme.h"

#include <QCoreApplication>

#include <filesystem>
#include <mutex>

namespace {

std::mutex hookMutex;
std::function<void(const std::string&)> beforeDecode;

std::vector<QImage> decode(const std::string& iconName) {
    std::function<void(const std::string&)> hook;
    {
        const std::lock_guard lock(hookMutex);
        hook = beforeDecode;
    }
    if (hook) hook(iconName);
    if (std::filesystem::path(iconName).is_absolute()) return IconFile::decode({iconName});
    return IconFile::decode(IconTheme::files(QString::fromStdString(iconName)));
}

}  // namespace

AppIcons& AppIcons::shared() {
    static AppIcons* const icons = new AppIcons(QCoreApplication::instance());
    return *icons;
}

AppIcons::AppIcons(QObject* parent) : QObject(parent), decoding_(std::make_unique<Decoding>()) {
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] { decoding_.reset(); });
}

void AppIcons::setBeforeDecode(std::function<void(const std::string&)> hook) {
    const std::lock_guard lock(hookMutex);
    beforeDecode = std::move(hook);
}

QIcon AppIcons::fallback() { return IconTheme::icon(QStringLiteral("application-x-executable")); }

QIcon AppIcons::icon(const std::string& iconName) {
    auto found = icons_.find(iconName);
    if (found != icons_.end()) return found->second.value_or(fallback());
    if (!std::filesystem::path(iconName).is_absolute() && !IconLookup::isThemeName(QString::fromStdString(iconName))) {
        icons_.emplace(iconName, fallback());
        return fallback();
    }
    if (!decoding_) return fallback();
    icons_.emplace(iconName, std::nullopt);
    IconTheme::prepare();  // the theme's folders are settled here, before any worker looks in them
    decoding_->jobs.run(
        std::stop_source(),
        [iconName](std::stop_token stop) {
            // Icons still waiting when the application quits are not decoded.
            return stop.stop_requested() ? std::vector<QImage>() : decode(iconName);
        },
        [this, iconName](JobOutcome<std::vector<QImage>>& outcome) {
            QIcon icon;
            try {
                icon = IconFile::icon(outcome.value());
            } catch (const std::exception&) {
                // Out of memory for one icon: it shows the program icon.
            }
            icons_[iconName] = icon.isNull() ? fallback() : icon;
            emit iconReady(iconName);
        });
    return fallback();
}
