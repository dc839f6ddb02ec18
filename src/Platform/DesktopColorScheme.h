#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QVariant>

class QDBusVariant;

// The desktop's light or dark preference: the "color-scheme" setting of the
// "org.freedesktop.appearance" namespace that the desktop portal publishes over D-Bus, followed
// as the user changes it. Without a session bus or a portal the preference is `none`.
class DesktopColorScheme : public QObject {
    Q_OBJECT
public:
    enum class Preference { none, dark, light };

    // Reads the preference on the session bus; shared by the whole application.
    static DesktopColorScheme& shared();

    // Reads the preference on `bus`, waiting at most `firstAnswerMs` for the portal's first answer
    // so the first window is drawn in the right look; a slower portal's answer is taken when it comes.
    explicit DesktopColorScheme(const QDBusConnection& bus, int firstAnswerMs = 300, QObject* parent = nullptr);

    Preference preference() const { return preference_; }

    // The portal sends 0 (no preference), 1 (dark) or 2 (light), wrapped in one or two variants.
    static Preference fromPortalValue(const QVariant& value);

signals:
    void changed();

private slots:
    void settingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    void setPreference(Preference preference);
    void readAsynchronously(const QString& method);

    QDBusConnection bus_;
    Preference preference_ = Preference::none;
};
