#include "Models/DisplayText.h"

#include "Foundation/PathText.h"

#include <QStringList>

#include <algorithm>
#include <vector>

namespace DisplayText {
namespace {

bool isEmbeddingControl(char16_t c) { return c >= 0x202A && c <= 0x202E; }
bool isIsolateOpener(char16_t c) { return c >= 0x2066 && c <= 0x2068; }
constexpr char16_t popIsolate = 0x2069;

QString mark(char16_t c) { return QStringLiteral("[U+%1]").arg(QString::number(c, 16).toUpper()); }

// The text with its reordering controls as marks; with `keepPairedIsolates`, isolates that open and
// close within it stay as they are.
QString shown(const QString& text, bool keepPairedIsolates) {
    std::vector<bool> visible(size_t(text.size()), false);
    std::vector<qsizetype> open;
    bool any = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (isEmbeddingControl(c)) {
            visible[size_t(i)] = any = true;
        } else if (isIsolateOpener(c)) {
            if (keepPairedIsolates) open.push_back(i);
            else visible[size_t(i)] = any = true;
        } else if (c == popIsolate) {
            if (keepPairedIsolates && !open.empty()) open.pop_back();
            else visible[size_t(i)] = any = true;
        }
    }
    for (qsizetype i : open) visible[size_t(i)] = any = true;
    if (!any) return text;
    QString result;
    result.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (visible[size_t(i)]) result += mark(text[i].unicode());
        else result += text[i];
    }
    return result;
}

}  // namespace

QString name(const QString& name) { return shown(name, false); }

QString name(const std::filesystem::path& path) { return name(PathText::display(path)); }

QString path(const QString& path) {
    const QString visible = shown(path, false);
    QString result(QChar(0x2066));  // left-to-right isolate
    if (std::none_of(visible.begin(), visible.end(), [](QChar c) { return c.direction() == QChar::DirR || c.direction() == QChar::DirAL; })) {
        result += visible;
    } else {
        // Each part written right to left is isolated too, so that the slashes around it stay in
        // the path's own order.
        const QStringList parts = visible.split(QLatin1Char('/'));
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (i > 0) result += QLatin1Char('/');
            result += parts[i].isRightToLeft() ? QChar(0x2067) + parts[i] + QChar(popIsolate) : parts[i];
        }
    }
    return result + QChar(popIsolate);
}

QString path(const std::filesystem::path& path) { return DisplayText::path(PathText::display(path)); }

QString withStrayControlsShown(const QString& text) { return shown(text, true); }

}  // namespace DisplayText
