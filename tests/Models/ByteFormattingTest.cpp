#include "Models/ByteFormatting.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <limits>

namespace {
// Expected texts are written with '.' and ','; the formatter uses the system locale's marks.
QString localized(QString text) {
    QLocale system = QLocale::system();
    text.replace(',', "\x01").replace('.', system.decimalPoint()).replace("\x01", system.groupSeparator());
    return text;
}
}  // namespace

TEST(ByteFormatting, ShapeByUnit) {
    EXPECT_EQ(ByteFormatting::string(std::int64_t(0)), localized("0 KB"));
    EXPECT_EQ(ByteFormatting::string(std::int64_t(-5)), ByteFormatting::string(std::int64_t(0)));
    EXPECT_EQ(ByteFormatting::string(std::int64_t(999)), localized("1 KB"));
    EXPECT_EQ(ByteFormatting::string(std::int64_t(499)), localized("0 KB"));
    EXPECT_EQ(ByteFormatting::string(std::int64_t(1500)), localized("2 KB"));
    EXPECT_EQ(ByteFormatting::string(std::int64_t(1000000)), localized("1 MB"));
    EXPECT_EQ(ByteFormatting::string(std::int64_t(1550000)), localized("1.6 MB"));
    EXPECT_EQ(ByteFormatting::string(std::int64_t(999999)), localized("1 MB"));
    EXPECT_EQ(ByteFormatting::string(std::int64_t(1230000000)), localized("1.23 GB"));
    EXPECT_EQ(ByteFormatting::string(std::int64_t(1200000000)), localized("1.2 GB"));
    EXPECT_EQ(ByteFormatting::string(std::int64_t(2000000000000)), localized("2 TB"));
}

TEST(ByteFormatting, LargeCountsStayInTerabytesAndUnsignedIsCapped) {
    const auto largest = std::numeric_limits<std::int64_t>::max();
    EXPECT_EQ(ByteFormatting::string(largest), QLocale::system().toString(9223372.04, 'f', 2) + " TB");
    EXPECT_EQ(ByteFormatting::string(std::numeric_limits<std::uint64_t>::max()), ByteFormatting::string(largest));
    EXPECT_EQ(ByteFormatting::string(std::uint64_t(1550000)), localized("1.6 MB"));
}
