#include "Models/AppLanguage.h"
#include "Models/AppSection.h"
#include "Models/ArtifactCategory.h"
#include "Models/MenuBarItemStyle.h"
#include "Models/ValueTool.h"

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

TEST(Enumerations, AllCasesInDeclarationOrder) {
    auto tools = allCases<ValueTool>();
    ASSERT_EQ(tools.size(), 6u);
    EXPECT_EQ(tools.front(), ValueTool::duplicates);
    EXPECT_EQ(tools.back(), ValueTool::developer);
    auto sections = allCases<AppSection>();
    ASSERT_EQ(sections.size(), 7u);
    EXPECT_EQ(sections.back(), AppSection::settings);
    EXPECT_EQ(rawValue(allCases<ArtifactCategory>().back()), "savedState");
    EXPECT_EQ(allCases<MenuBarItemStyle>().front(), MenuBarItemStyle::icon);
}
