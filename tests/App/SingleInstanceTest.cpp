#include "App/SingleInstance.h"
#include "Support/PrivateSessionBus.h"

#include <QCoreApplication>
#include <QDBusConnection>

#include <future>

#include <gtest/gtest.h>

namespace {

// A private session bus for one test; each "launch" is a connection of its own.
class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!PrivateSessionBus::isInstalled()) GTEST_SKIP() << "dbus-daemon is not installed";
        ASSERT_FALSE(bus_.address().isEmpty());
    }
    void TearDown() override {
        for (const QString& name : names_) QDBusConnection::disconnectFromBus(name);
    }
    QDBusConnection launch() {
        names_ << "launch-" + QString::number(names_.size());
        return QDBusConnection::connectToBus(bus_.address(), names_.back());
    }
    // The running instance answers on this thread: the asking launch waits on another.
    static bool activateFrom(QDBusConnection bus) {
        auto answered = std::async(std::launch::async, [bus] { return SingleInstance::activateRunning(bus); });
        while (answered.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) QCoreApplication::processEvents();
        return answered.get();
    }

    PrivateSessionBus bus_;
    QStringList names_;
};

}  // namespace

TEST_F(SingleInstanceTest, ASecondLaunchBringsTheFirstForwardAndARelaunchTakesOver) {
    SingleInstance first(launch());
    int firstShown = 0;
    first.onActivate([&] { ++firstShown; });
    ASSERT_TRUE(first.claim(false));

    QDBusConnection secondBus = launch();
    SingleInstance second(secondBus);
    EXPECT_FALSE(second.claim(false));
    EXPECT_TRUE(activateFrom(secondBus));
    EXPECT_EQ(firstShown, 1);

    // A relaunch for a new language replaces the instance that is quitting.
    QDBusConnection relaunchedBus = launch();
    SingleInstance relaunched(relaunchedBus);
    int relaunchedShown = 0;
    relaunched.onActivate([&] { ++relaunchedShown; });
    EXPECT_TRUE(relaunched.claim(true));
    EXPECT_TRUE(activateFrom(launch()));
    EXPECT_EQ(relaunchedShown, 1);
    EXPECT_EQ(firstShown, 1);
}

TEST(SingleInstance, WithoutASessionBusEveryLaunchRuns) {
    const QDBusConnection none = QDBusConnection::connectToBus(QString("unix:path=/nonexistent/bus"), "no-bus");
    SingleInstance lonely(none);
    EXPECT_TRUE(lonely.claim(false));
    EXPECT_FALSE(SingleInstance::activateRunning(none));
    QDBusConnection::disconnectFromBus("no-bus");
}
