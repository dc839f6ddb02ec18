#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/ReadableText.h"

#include <gtest/gtest.h>

// Every colour that text is drawn in reads at 4.5:1 or more on every surface, light and dark; the "About"
// title in gray on a dark card was 3.4:1.
TEST(ReadableText, EveryTextColourReadsOnEverySurfaceInBothAppearances) {
    const DynamicColor textColours[] = {DynamicColor::primary(), DynamicColor::secondary(), DynamicColor::tertiary(),
                                        DS::blue, DS::purple, DS::pink, DS::amber, DS::teal, DS::green, DS::orange, DS::cyan, DS::gray};
    for (bool dark : {false, true})
        for (const DynamicColor& text : textColours) {
            const QColor shown = ReadableText::color(text, dark);
            for (const DynamicColor& surface : {DS::canvas, DS::card, DS::raised}) {
                const QColor background = surface.resolved(dark, 1);
                EXPECT_GE(ReadableText::contrast(ReadableText::composited(shown, background), background), ReadableText::minimumContrast)
                    << std::hex << (dark ? text.dark() : text.light()) << (dark ? " dark" : " light");
            }
        }
    // What already reads is drawn as designed; white is for text on tinted fills.
    EXPECT_EQ(ReadableText::color(DynamicColor::primary(), true), DynamicColor::primary().resolved(true, 1));
    EXPECT_EQ(ReadableText::color(DS::blue, false), DS::blue.resolved(false, 1));
    EXPECT_EQ(ReadableText::color(DynamicColor::white(), false), QColor(Qt::white));
}
