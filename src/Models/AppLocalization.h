#pragma once

#include "Models/AppLanguage.h"
#include "Models/MessageArgument.h"
#include "Models/TextKey.h"

#include <QLocale>
#include <QString>

#include <initializer_list>

// Turns text keys into text in the language the user chose. Reads "appLanguage" afresh at every
// call, so a newly stored choice governs the very next lookup. Safe from any thread.
namespace AppLocalization {

AppLanguage selectedLanguage();
QLocale activeLocale();

// The key's text in the selected language's table; the key itself when no table has it.
QString string(const QString& key);

// The key's text as an ICU message ("{0}", "{0, plural, one {…} other {…}}"), numbers in the active locale.
QString format(const QString& key, std::initializer_list<MessageArgument> arguments);

QLocale locale(AppLanguage language);
bool isRightToLeft(AppLanguage language);

// Tests point the lookup at a folder of their own tables (<folder>/<en|ar>/*.json).
void setTableFolder(const QString& folder);

}  // namespace AppLocalization
