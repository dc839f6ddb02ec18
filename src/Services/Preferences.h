#pragma once

#include <QMetaObject>
#include <QObject>
#include <QString>

#include <functional>

// The application's stored preferences, each under its fixed name: what the views and the
// application read, write and watch, whatever store keeps them.
class Preferences {
public:
    enum class Key { appLanguage, appAppearance, didCompleteOnboarding, menuBarStyle, menuBarTab };

    static QString text(Key key, const QString& fallback = {});
    static void setText(Key key, const QString& value);
    static bool flag(Key key);
    static void setFlag(Key key, bool value);
    // Calls `onChange` (in `context`'s thread) every time the preference is written or removed.
    static QMetaObject::Connection watch(Key key, QObject* context, std::function<void()> onChange);

    // The name the preference is stored under.
    static QString storedName(Key key);
};
