#include "ViewSupport/Looks.h"

#include "Platform/SettingsStore.h"
#include "Views/DesignSystem/Appearance.h"
#include "ViewSupport/Settling.h"
#include "ViewSupport/WindowViews.h"

#include <QApplication>
#include <QPixmap>
#include <QTest>

namespace Looks {

std::vector<QString> renderInEveryLook(const QDir& dir, const QString& name, QSize size,
                                       const std::function<std::unique_ptr<QWidget>()>& make, const Options& options) {
    struct Look {
        const char* suffix;
        const char* appearance;
        const char* language;
    };
    std::vector<QString> written;
    for (const Look& look : {Look{"light", "light", "en"}, Look{"dark", "dark", "en"}, Look{"arabic", "light", "ar"}}) {
        SettingsStore::shared().setValue("appAppearance", QString::fromLatin1(look.appearance));
        SettingsStore::shared().setValue("appLanguage", QString::fromLatin1(look.language));
        const bool rtl = QString::fromLatin1(look.language) == "ar";
        QApplication::setLayoutDirection(rtl ? Qt::RightToLeft : Qt::LeftToRight);
        QApplication::setPalette(Appearance::palette(Appearance::shared().isDark()));
        std::unique_ptr<QWidget> widget = make();
        widget->resize(size);
        widget->show();
        QApplication::processEvents();
        Settling::waitUntilStill(*widget);  // pictures show where every ease ends
        // Lookups on worker threads (file icons) come back without anything moving first: they get
        // the time they always had, then whatever they changed settles.
        QTest::qWait(450);
        Settling::waitUntilStill(*widget);
        if (options.fullLength) WindowViews::growToFullLength(*widget);
        if (options.inspect) options.inspect(*widget, QString::fromLatin1(look.suffix));
        const QString file = dir.filePath(name + "-" + look.suffix + ".png");
        widget->grab().save(file);
        written.push_back(file);
    }
    SettingsStore::shared().remove("appAppearance");
    SettingsStore::shared().remove("appLanguage");
    QApplication::setLayoutDirection(Qt::LeftToRight);
    QApplication::setPalette(Appearance::palette(Appearance::shared().isDark()));
    return written;
}

}  // namespace Looks
