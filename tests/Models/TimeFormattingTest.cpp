#include "Models/TimeFormatting.h"

#include <gtest/gtest.h>

TEST(TimeFormatting, RelativeDatesPickTheLargestUnit) {
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const Instant now = Instant::fromReferenceSeconds(800'000'000);
    EXPECT_EQ(TimeFormatting::relative(now.addingSeconds(-2 * 3600 - 5), now, english), "2 hours ago");
    EXPECT_EQ(TimeFormatting::relative(now.addingSeconds(-86400 - 10), now, english), "yesterday");
    EXPECT_EQ(TimeFormatting::relative(now.addingSeconds(-30), now, english), "30 seconds ago");
    EXPECT_EQ(TimeFormatting::relative(now.addingSeconds(-3 * 7 * 86400), now, english), "3 weeks ago");
}

TEST(TimeFormatting, DurationsInMinutesAndSeconds) {
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(TimeFormatting::minutesAndSeconds(125.7, english), "2 min, 5 sec");
    EXPECT_EQ(TimeFormatting::minutesAndSeconds(120, english), "2 min");
    EXPECT_EQ(TimeFormatting::minutesAndSeconds(7.4, english), "7 sec");
    EXPECT_EQ(TimeFormatting::minutesAndSeconds(0, english), "0 sec");
    EXPECT_EQ(TimeFormatting::minutesAndSeconds(-3, english), "0 sec");
}
