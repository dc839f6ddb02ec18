#include "Models/AppLocalization.h"

#include "Models/DisplayText.h"
#include "Models/IcuText.h"
#include "Models/IsolatedText.h"
#include "Platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>

#include <unicode/messagepattern.h>
#include <unicode/msgfmt.h>

#include <map>
#include <mutex>
#include <vector>

namespace AppLocalization {
namespace {

using Table = QHash<QString, QString>;

std::mutex tablesMutex;
QString tableFolder = QStringLiteral(":/i18n");
std::map<QString, std::optional<Table>> loadedTables;  // by folder path; nullopt: no such table

// A language's table is every JSON object file in its folder, merged.
std::optional<Table> loadTable(const QString& folder) {
    QDir dir(folder);
    if (!dir.exists()) return std::nullopt;
    Table table;
    for (const QString& name : dir.entryList({"*.json"}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) continue;
        const QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
        for (auto it = object.begin(); it != object.end(); ++it)
            if (it->isString()) table.insert(it.key(), it->toString());
    }
    return table;
}

// Mirrors the platform's pick for "system": the first preferred language that has a table, else English.
QString systemTableName() {
    for (const QString& language : QLocale::system().uiLanguages()) {
        QString code = language.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0);
        if (code == "ar" || code == "en") return code;
    }
    return QStringLiteral("en");
}

QString lookup(const QString& key) {
    AppLanguage language = selectedLanguage();
    std::lock_guard lock(tablesMutex);
    auto tableNamed = [](const QString& name) -> const std::optional<Table>& {
        QString folder = tableFolder + QLatin1Char('/') + name;
        auto found = loadedTables.find(folder);
        if (found == loadedTables.end()) found = loadedTables.emplace(folder, loadTable(folder)).first;
        return found->second;
    };
    const std::optional<Table>* table = nullptr;
    if (language != AppLanguage::system) table = &tableNamed(rawText(language));
    if (!table || !*table) table = &tableNamed(systemTableName());
    if (*table) {
        auto it = (*table)->constFind(key);
        if (it != (*table)->constEnd()) return *it;
    }
    return key;
}

// The C locale has no ICU counterpart of its own; it writes as English does.
icu::Locale icuLocale(const QLocale& locale) {
    const QString name = locale.language() == QLocale::C ? QStringLiteral("en") : locale.bcp47Name();
    return icu::Locale(name.toUtf8().constData());
}

}  // namespace

AppLanguage selectedLanguage() {
    return fromRawText<AppLanguage>(SettingsStore::shared().text("appLanguage")).value_or(AppLanguage::system);
}

QLocale locale(AppLanguage language) {
    switch (language) {
    case AppLanguage::english: return QLocale(QStringLiteral("en"));
    case AppLanguage::arabic: return QLocale(QStringLiteral("ar"));
    case AppLanguage::system: break;
    }
    return QLocale::system();
}

QLocale activeLocale() {
    return locale(selectedLanguage());
}

bool isRightToLeft(AppLanguage language) {
    switch (language) {
    case AppLanguage::english: return false;
    case AppLanguage::arabic: return true;
    case AppLanguage::system: break;
    }
    QString code = QLocale::languageToCode(QLocale::system().language());
    if (code.isEmpty() || QLocale::system().language() == QLocale::C) code = QStringLiteral("en");
    return QLocale(code).textDirection() == Qt::RightToLeft;
}

QString string(const QString& key) {
    return lookup(key);
}

QString format(const QString& key, std::initializer_list<MessageArgument> arguments) {
    const QString pattern = lookup(key);
    const icu::Locale locale = icuLocale(activeLocale());

    // A text value is placed into the sentence inside its own isolate, but a select between
    // branches must see the value itself: the marks go around each plain "{N}" of the pattern.
    std::vector<QString> texts(arguments.size());
    std::vector<icu::Formattable> values;
    values.reserve(arguments.size());
    for (const MessageArgument& argument : arguments) {
        std::visit([&](const auto& value) {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, QString>) {
                texts[values.size()] = DisplayText::withStrayControlsShown(value);
                values.emplace_back(toIcu(texts[values.size()]));
            } else if constexpr (std::is_same_v<T, double>) {
                values.emplace_back(value);
            } else {
                values.emplace_back(static_cast<int64_t>(value));
            }
        }, argument.value());
    }

    UErrorCode status = U_ZERO_ERROR;
    icu::MessagePattern parsed(toIcu(pattern), nullptr, status);
    if (U_FAILURE(status)) return pattern;
    QString isolating = pattern;
    for (int i = parsed.countParts() - 1; i >= 0; --i) {
        const icu::MessagePattern::Part& start = parsed.getPart(i);
        if (start.getType() != UMSGPAT_PART_TYPE_ARG_START || start.getArgType() != UMSGPAT_ARG_TYPE_NONE) continue;
        const icu::MessagePattern::Part& number = parsed.getPart(i + 1);
        if (number.getType() != UMSGPAT_PART_TYPE_ARG_NUMBER) continue;
        const int index = number.getValue();
        if (index < 0 || size_t(index) >= texts.size() || values[size_t(index)].getType() != icu::Formattable::kString) continue;
        const QString marks = isolatedText(texts[size_t(index)]);
        if (marks == texts[size_t(index)]) continue;  // already one isolated run
        const icu::MessagePattern::Part& limit = parsed.getPart(parsed.getLimitPartIndex(i));
        isolating.insert(limit.getLimit(), marks.back());
        isolating.insert(start.getIndex(), marks.front());
    }

    icu::MessageFormat message(toIcu(isolating), locale, status);
    if (U_FAILURE(status)) return pattern;
    icu::UnicodeString result;
    icu::FieldPosition position;
    message.format(values.data(), static_cast<int32_t>(values.size()), result, position, status);
    return U_FAILURE(status) ? pattern : fromIcu(result);
}

void setTableFolder(const QString& folder) {
    std::lock_guard lock(tablesMutex);
    tableFolder = folder;
    loadedTables.clear();
}

}  // namespace AppLocalization
