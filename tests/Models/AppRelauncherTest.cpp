#include "Models/AppRelauncher.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

TEST(AppRelauncher, StartsOneInstanceThenQuitsAndBeepsOnFailure) {
    int started = 0, beeps = 0, quits = 0;
    AppRelauncher::setHooks({[&] { ++started; return true; }, [&] { ++beeps; }, [&] { ++quits; }});
    AppRelauncher::relaunch();
    AppRelauncher::relaunch();  // a second picker firing for the same change
    QCoreApplication::processEvents();
    EXPECT_EQ(started, 1);
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(beeps, 0);

    AppRelauncher::setHooks({[&] { ++started; return false; }, [&] { ++beeps; }, [&] { ++quits; }});
    AppRelauncher::relaunch();
    QCoreApplication::processEvents();
    EXPECT_EQ(started, 2);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(quits, 1);
}
