#include "Services/Preferences.h"

#include "Platform/SettingsStore.h"

QString Preferences::storedName(Key key) {
    switch (key) {
    case Key::appLanguage: return QStringLiteral("appLanguage");
    case Key::appAppearance: return QStringLiteral("appAppearance");
    case Key::didCompleteOnboarding: return QStringLiteral("didCompleteOnboarding");
    case Key::menuBarStyle: return QStringLiteral("menuBarStyle");
    case Key::menuBarTab: return QStringLiteral("menuBarTab");
    }
    return {};
}

QString Preferences::text(Key key, const QString& fallback) {
    return SettingsStore::shared().value(storedName(key), fallback).toString();
}

void Preferences::setText(Key key, const QString& value) { SettingsStore::shared().setValue(storedName(key), value); }

bool Preferences::flag(Key key) { return SettingsStore::shared().flag(storedName(key)); }

void Preferences::setFlag(Key key, bool value) { SettingsStore::shared().setValue(storedName(key), value); }

QMetaObject::Connection Preferences::watch(Key key, QObject* context, std::function<void()> onChange) {
    return SettingsStore::shared().watch(storedName(key), context, std::move(onChange));
}
