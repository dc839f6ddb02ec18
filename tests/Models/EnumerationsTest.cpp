#include "Models/AppLanguage.h"
#include "Models/AppSection.h"
#include "Models/MenuBarItemStyle.h"

#include <gtest/gtest.h>

TEST(Enumerations, RawValuesMatchExactly) {
    EXPECT_FALSE(fromRawValue<AppLanguage>("english"));
    EXPECT_FALSE(fromRawValue<AppLanguage>("EN"));
    EXPECT_EQ(fromRawValue<AppLanguage>("en"), AppLanguage::english);
    EXPECT_EQ(rawValue(AppLanguage::arabic), "ar");
    EXPECT_FALSE(fromRawValue<AppSection>("Overview"));
    EXPECT_FALSE(fromRawValue<MenuBarItemStyle>("Stacked"));
    EXPECT_EQ(fromRawText<MenuBarItemStyle>(QString("stacked")), MenuBarItemStyle::stacked);
    EXPECT_STREQ(titleKey(MenuBarItemStyle::graph), "menubar.style.graph");
}
