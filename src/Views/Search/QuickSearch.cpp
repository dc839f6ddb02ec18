#include "Views/Search/QuickSearch.h"

#include "Models/TextKey.h"
#include "Platform/InstallerFiles.h"
#include "Views/DesignSystem/DS.h"

namespace {

QString onLinux(std::string_view original) {
    const std::string_view text = InstallerFiles::linuxText(original);
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

}  // namespace

const std::vector<QuickSearch>& QuickSearch::all() {
    static const std::vector<QuickSearch> searches{
        {"screenshots", textKey("search.suggestion.screenshots"), QStringLiteral("PNG \u00B7 JPG"), "photo.stack", DS::blue, "Screenshot", SearchKind::images},
        {"installers", textKey("search.suggestion.installers"), onLinux("DMG \u00B7 PKG"), "shippingbox.fill", DS::orange, onLinux(".dmg"), SearchKind::all},
        {"archives", textKey("search.suggestion.archives"), QStringLiteral("ZIP \u00B7 RAR"), "archivebox.fill", DS::purple, ".zip", SearchKind::archives},
        {"pdfs", textKey("search.suggestion.pdfs"), QStringLiteral("PDF"), "doc.richtext.fill", DS::pink, ".pdf", SearchKind::documents},
    };
    return searches;
}
