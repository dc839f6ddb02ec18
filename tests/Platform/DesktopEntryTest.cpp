#include "Platform/DesktopEntry.h"
#include "Platform/KeyFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> command(const std::string& exec) {
    const auto entry = DesktopEntry::fromKeyFile(KeyFile::parse("[Desktop Entry]\nExec=" + exec + "\n"));
    return entry ? entry->command() : std::vector<std::string>{{"unread"}};
}

}  // namespace

// The Exec line as the desktop runs it: the string's escapes first, then quotes with their own
// escapes, then "%%" as "%" and the field codes for what it opens left out.
TEST(DesktopEntry, ReadsExecAsTheDesktopRunsIt) {
    using Words = std::vector<std::string>;
    EXPECT_EQ(command(R"("/home/u/Todoist%%20Setup%%209.4.0.AppImage" --no-sandbox %U)"),
              (Words{"/home/u/Todoist%20Setup%209.4.0.AppImage", "--no-sandbox"}));
    EXPECT_EQ(command(R"("/opt/My \\"Q\\" App/run" "\\$HOME" "a\\\\b" "\\`id\\`" 100%% --file=%f %i %c)"),
              (Words{R"(/opt/My "Q" App/run)", "$HOME", R"(a\b)", "`id`", "100%", "--file="}));
    EXPECT_EQ(command("%F"), Words{});
    EXPECT_EQ(DesktopEntry::fromKeyFile(KeyFile::parse("[Desktop Entry]\nExec=%%run %u\n"))->program(), QStringLiteral("%run"));
}
