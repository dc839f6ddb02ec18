#include "Platform/DesktopColorScheme.h"
#include "Support/PrivateSessionBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <memory>

#include <gtest/gtest.h>

// A stand-in for the desktop portal's settings interface, answering with a fixed colour scheme.
class FakePortalSettings : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
public:
    explicit FakePortalSettings(uint scheme) : scheme_(scheme) {}

public slots:
    QDBusVariant ReadOne(const QString& group, const QString& key) {
        return QDBusVariant(group == "org.freedesktop.appearance" && key == "color-scheme" ? QVariant(scheme_) : QVariant(QString()));
    }

private:
    uint scheme_;
};

// Portals before version 2 only have Read, which wraps the value in a second variant.
class OldFakePortalSettings : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
public:
    explicit OldFakePortalSettings(uint scheme) : scheme_(scheme) {}

public slots:
    QDBusVariant Read(const QString&, const QString&) { return QDBusVariant(QVariant::fromValue(QDBusVariant(scheme_))); }

private:
    uint scheme_;
};

namespace {

// A private session bus for one test, with the fake portal served from its own thread so the
// scheme's blocking first read can be answered.
class DesktopColorSchemeBus : public ::testing::Test {
protected:
    void SetUp() override {
        if (!PrivateSessionBus::isInstalled()) GTEST_SKIP() << "dbus-daemon is not installed";
        bus_ = std::make_unique<PrivateSessionBus>();
        address_ = bus_->address();
        ASSERT_FALSE(address_.isEmpty());
        serviceThread_.start();
    }

    void TearDown() override {
        if (portal_) {
            QDBusConnection(serviceName()).unregisterObject("/org/freedesktop/portal/desktop");
            portal_->deleteLater();
        }
        serviceThread_.quit();
        serviceThread_.wait();
        QDBusConnection::disconnectFromBus(serviceName());
        QDBusConnection::disconnectFromBus(clientName());
        bus_.reset();
    }

    QString serviceName() const { return "portal-" + address_; }
    QString clientName() const { return "client-" + address_; }
    QDBusConnection client() { return QDBusConnection::connectToBus(address_, clientName()); }

    void servePortal(QObject* portal) {
        QDBusConnection service = QDBusConnection::connectToBus(address_, serviceName());
        ASSERT_TRUE(service.isConnected());
        portal->moveToThread(&serviceThread_);
        portal_ = portal;
        ASSERT_TRUE(service.registerObject("/org/freedesktop/portal/desktop", portal, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(service.registerService("org.freedesktop.portal.Desktop"));
    }

    void announce(const QString& group, const QString& key, uint scheme) {
        QDBusMessage signal = QDBusMessage::createSignal("/org/freedesktop/portal/desktop", "org.freedesktop.portal.Settings", "SettingChanged");
        signal << group << key << QVariant::fromValue(QDBusVariant(scheme));
        QDBusConnection(serviceName()).send(signal);
    }

    std::unique_ptr<PrivateSessionBus> bus_;
    QString address_;
    QThread serviceThread_;
    QObject* portal_ = nullptr;
};

}  // namespace

TEST(DesktopColorSchemeValues, PortalNumbersAndWrapping) {
    using Preference = DesktopColorScheme::Preference;
    EXPECT_EQ(DesktopColorScheme::fromPortalValue(QVariant(uint(1))), Preference::dark);
    EXPECT_EQ(DesktopColorScheme::fromPortalValue(QVariant(uint(2))), Preference::light);
    EXPECT_EQ(DesktopColorScheme::fromPortalValue(QVariant(uint(0))), Preference::none);
    EXPECT_EQ(DesktopColorScheme::fromPortalValue(QVariant(uint(3))), Preference::none);
    EXPECT_EQ(DesktopColorScheme::fromPortalValue(QVariant::fromValue(QDBusVariant(QVariant::fromValue(QDBusVariant(uint(1)))))), Preference::dark);
    // Anything but a number is no preference.
    EXPECT_EQ(DesktopColorScheme::fromPortalValue(QVariant(QString("1"))), Preference::none);
    EXPECT_EQ(DesktopColorScheme::fromPortalValue(QVariant(1.0)), Preference::none);
    EXPECT_EQ(DesktopColorScheme::fromPortalValue(QVariant()), Preference::none);
}

TEST(DesktopColorSchemeValues, NoBusMeansNoPreference) {
    DesktopColorScheme scheme(QDBusConnection::connectToBus("unix:path=/nonexistent/bus", "nowhere"));
    EXPECT_EQ(scheme.preference(), DesktopColorScheme::Preference::none);
    QDBusConnection::disconnectFromBus("nowhere");
}

TEST_F(DesktopColorSchemeBus, ReadsThePortalAndFollowsItsChanges) {
    servePortal(new FakePortalSettings(1));
    DesktopColorScheme scheme(client(), 2000);
    EXPECT_EQ(scheme.preference(), DesktopColorScheme::Preference::dark);

    QSignalSpy changed(&scheme, &DesktopColorScheme::changed);
    announce("org.freedesktop.appearance", "color-scheme", 2);
    ASSERT_TRUE(changed.wait(3000));
    EXPECT_EQ(scheme.preference(), DesktopColorScheme::Preference::light);

    // Other settings and a repeated value change nothing: the next real change, sent after them
    // and so arriving after them, is the only one counted.
    announce("org.freedesktop.appearance", "accent-color", 1);
    announce("org.freedesktop.appearance", "color-scheme", 2);
    announce("org.freedesktop.appearance", "color-scheme", 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return scheme.preference() == DesktopColorScheme::Preference::dark; }, 3000));
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(DesktopColorSchemeBus, FallsBackToTheOldReadMethod) {
    servePortal(new OldFakePortalSettings(2));
    DesktopColorScheme scheme(client(), 2000);
    EXPECT_EQ(scheme.preference(), DesktopColorScheme::Preference::light);
}

TEST_F(DesktopColorSchemeBus, WithoutAPortalThereIsNoPreference) {
    QElapsedTimer elapsed;
    elapsed.start();
    DesktopColorScheme scheme(client(), 2000);
    EXPECT_EQ(scheme.preference(), DesktopColorScheme::Preference::none);
    EXPECT_LT(elapsed.elapsed(), 1500);  // an absent service is answered at once, not waited for
}

#include "DesktopColorSchemeTest.moc"
