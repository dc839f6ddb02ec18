#include "Services/ApplicationNames.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>

namespace {

constexpr auto anyCase = QRegularExpression::CaseInsensitiveOption;

// A program's file name without its extension and its platform and architecture, wherever they
// stand: "Logseq-linux-x64-0.10.9.AppImage" is "Logseq-0.10.9".
QString withoutPlatform(QString name) {
    static const QRegularExpression extension(QStringLiteral("\\.appimage$"), anyCase);
    static const QRegularExpression architecture(QStringLiteral("[-_.](linux|x86[-_]64|x64|amd64|aarch64|arm64|armhf|armv7l|i[3-6]86)(?=[-_. ]|$)"), anyCase);
    return name.remove(extension).remove(architecture);
}

// A word that names a build beside the releases, alone or numbered ("rc1", "beta2").
bool isBuildWord(const QString& word) {
    static const QRegularExpression build(
        QStringLiteral("^(weekly|nightly|latest|master|main|beta|alpha|rc|dev|insiders|canary|preview|continuous|unstable|git)[0-9]*$"), anyCase);
    return build.match(word).hasMatch();
}

// What may follow a build word: "builds", a platform word, and then a version or a hash, after which
// anything goes ("-39811-conda-py311").
enum class After { more, rest, other };

After wordAfterABuild(const QString& word) {
    static const QRegularExpression filler(QStringLiteral("^(builds?|appimage|linux(32|64)?|x86|x64|amd64|aarch64|arm64|armhf|armv7l|i[3-6]86)$"), anyCase);
    static const QRegularExpression version(QStringLiteral("^(v?[0-9].*|[0-9a-f]{7,40})$"), anyCase);
    if (version.match(word).hasMatch()) return After::rest;
    return filler.match(word).hasMatch() ? After::more : After::other;
}

}  // namespace

namespace ApplicationNames {

bool isUsableKey(const QString& key) {
    return !key.isEmpty() && key != QLatin1String(".") && key != QLatin1String("..") && !key.contains(QLatin1Char('/')) && !key.contains(QChar(0));
}

QString nameKey(const QString& name) {
    QString key = name.toLower();
    key.removeIf([](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('-') || c == QLatin1Char('_') || c == QLatin1Char('.'); });
    return key;
}

QString withoutIntegrationPrefix(QString desktopFileID) {
    static const QRegularExpression integrated(QStringLiteral("^appimagekit_(?:[0-9a-f]{32}-)?"), anyCase);
    return desktopFileID.remove(integrated);
}

QStringList nameKeys(const QStringList& names, const QString& desktopFileID) {
    QStringList keys;
    for (const QString& each : QStringList{withoutIntegrationPrefix(desktopFileID)} + names)
        if (const QString key = nameKey(each); isUsableKey(key) && !keys.contains(key)) keys << key;
    return keys;
}

QString programName(QString name) {
    static const QRegularExpression version(QStringLiteral("[-_ ]v?[0-9].*$"), anyCase);
    return withoutPlatform(std::move(name)).remove(version);
}

QString programNameKey(const QString& name) {
    return nameKey(programName(name));
}

QString otherBuildKey(const QString& name) {
    static const QRegularExpression word(QStringLiteral("[^-_. ()\\[\\]]+"));
    // "mGBA-build-latest": the word "build" between the name and the build word is neither.
    static const QRegularExpression separatorsAtEnd(QStringLiteral("([-_. ()\\[\\]]+builds?)?[-_. ()\\[\\]]+$"), anyCase);
    const QString text = withoutPlatform(name);
    std::vector<QRegularExpressionMatch> words;
    for (auto each = word.globalMatch(text); each.hasNext();) words.push_back(each.next());
    // The first build word after the name decides.
    const auto build = std::find_if(words.begin() + std::min<std::ptrdiff_t>(1, std::ssize(words)), words.end(),
                                    [](const QRegularExpressionMatch& each) { return isBuildWord(each.captured()); });
    if (build == words.end()) return {};
    for (auto after = std::next(build); after != words.end(); ++after) {
        const After kind = wordAfterABuild(after->captured());
        if (kind == After::other) return {};
        if (kind == After::rest) break;
    }
    const QString key = programNameKey(text.left(build->capturedStart()).remove(separatorsAtEnd));
    return isUsableKey(key) ? key : QString();
}

}  // namespace ApplicationNames
