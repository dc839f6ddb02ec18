#include "Platform/UserCrontab.h"

#include "Support/FakeTool.h"
#include "Support/TempTree.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

// Each line as cron hands it to the shell: past the time fields or the nickname, up to the job's
// input, settings as the shell sets them; comments and blank lines give nothing.
TEST(UserCrontab, EachLineIsWhatCronHandsTheShell) {
    const std::string crontab = "# m h  dom mon dow   command\n"
                                "\n"
                                "SHELL=/bin/bash\r\n"
                                "MAILTO = \"me@example.org\"\n"
                                "  */15 9-17 * * 1-5   cd ~/bin && ./sync --quiet\n"
                                "@reboot\t~/Applications/Tray.AppImage\n"
                                "0 3 * * * date +\\%F >> ~/log % ~/not-run\n"
                                "   # 0 * * * * ~/commented\n"
                                "5 4 * *\n";
    EXPECT_EQ(UserCrontab::commandsOf(crontab), (std::vector<std::string>{"SHELL=/bin/bash", "MAILTO=\"me@example.org\"", "cd ~/bin && ./sync --quiet",
                                                                          "~/Applications/Tray.AppImage", "date +%F >> ~/log "}));
}

// A tool that is missing, fails or hangs gives nothing, and the caller goes on.
TEST(UserCrontab, ATroubledToolGivesNothing) {
    TempTree tree;
    const SystemRoots roots = SystemRoots::fixture(tree.path());
    EXPECT_TRUE(UserCrontab::tool(roots).empty());
    EXPECT_TRUE(UserCrontab::commands(roots).empty());
    writeFakeTool(tree.path() / "usr/bin/crontab", "[ \"$1\" = -l ] || exit 2\necho '@hourly ~/x'");
    EXPECT_EQ(UserCrontab::commands(roots), std::vector<std::string>{"~/x"});
    writeFakeTool(tree.path() / "usr/bin/crontab", "echo '@hourly ~/x'\necho 'no crontab for u' >&2\nexit 1");
    EXPECT_TRUE(UserCrontab::commands(roots).empty());
    writeFakeTool(tree.path() / "usr/bin/crontab", "echo '@hourly ~/x'\nexec sleep 60");
    EXPECT_TRUE(UserCrontab::commands(roots, 200ms).empty());
    // Once it hung it is let be, so that each listing does not wait for it again.
    writeFakeTool(tree.path() / "usr/bin/crontab", "echo '@hourly ~/x'");
    EXPECT_TRUE(UserCrontab::commands(roots).empty());
}
