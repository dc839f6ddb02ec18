#include "Models/DisplayText.h"

#include <gtest/gtest.h>

// A name that holds the controls that reorder text is shown with them as marks, so it reads as stored.
TEST(DisplayText, ReorderingControlsInANameShowAsMarks) {
    EXPECT_EQ(DisplayText::name(QString::fromUtf8("qq \u202Etxt.exe")), "qq [U+202E]txt.exe");
    for (char16_t control : {0x202A, 0x202B, 0x202C, 0x202D, 0x202E, 0x2066, 0x2067, 0x2068, 0x2069}) {
        const QString shown = DisplayText::name(QStringLiteral("a") + QChar(control) + QStringLiteral("b"));
        EXPECT_EQ(shown, QStringLiteral("a[U+%1]b").arg(QString::number(control, 16).toUpper()));
    }
    EXPECT_EQ(DisplayText::name(QString::fromUtf8("ملف.txt")), QString::fromUtf8("ملف.txt"));  // Arabic needs no marks
    EXPECT_EQ(DisplayText::name(std::filesystem::path("/a/\xe2\x80\xaeq.exe").filename()), "[U+202E]q.exe");
}

// A path is one left-to-right run; a part written right to left is a run of its own inside it, so the
// slashes stay between the parts in order.
TEST(DisplayText, APathIsOneLeftToRightRun) {
    EXPECT_EQ(DisplayText::path(QStringLiteral("/home/ana")), QString::fromUtf8("\u2066/home/ana\u2069"));
    EXPECT_EQ(DisplayText::path(QString::fromUtf8("/home/صور/ana")), QString::fromUtf8("\u2066/home/\u2067صور\u2069/ana\u2069"));
    EXPECT_EQ(DisplayText::path(QString::fromUtf8("/tmp/\u2067x")), QString::fromUtf8("\u2066/tmp/[U+2067]x\u2069"));
}

// Inside a sentence only what would reach outside the value is shown: a paired isolate stays.
TEST(DisplayText, StrayControlsOfAValue) {
    EXPECT_EQ(DisplayText::withStrayControlsShown(QString::fromUtf8("\u2066/home\u2069")), QString::fromUtf8("\u2066/home\u2069"));
    EXPECT_EQ(DisplayText::withStrayControlsShown(QString::fromUtf8("a\u2067b")), "a[U+2067]b");
    EXPECT_EQ(DisplayText::withStrayControlsShown(QString::fromUtf8("a\u2069b\u202B")), "a[U+2069]b[U+202B]");
}
