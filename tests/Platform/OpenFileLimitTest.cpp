#include "Platform/OpenFileLimit.h"
#include "Support/ForkedChild.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

// The soft limit rises to the hard one; what is left to open follows the descriptors in use.
TEST(OpenFileLimit, RaisesTheSoftLimitAndCountsWhatIsLeft) {
    const std::string output = ForkedChild::runWithOpenFileLimit(
        100,
        [] {
            std::string failures;
            const std::size_t before = OpenFileLimit::available();
            ForkedChild::check(failures, before > 0 && before < 100, "available under 100: " + std::to_string(before));
            std::vector<int> taken;
            for (int i = 0; i < 10; ++i) taken.push_back(::open("/dev/null", O_RDONLY | O_CLOEXEC));
            ForkedChild::check(failures, OpenFileLimit::available() == before - 10, "ten fewer: " + std::to_string(OpenFileLimit::available()));
            for (int fd : taken) ::close(fd);
            OpenFileLimit::raiseToHard();
            rlimit limit {};
            ::getrlimit(RLIMIT_NOFILE, &limit);
            ForkedChild::check(failures, limit.rlim_cur == 200, "soft limit " + std::to_string(limit.rlim_cur));
            ForkedChild::check(failures, OpenFileLimit::available() == before + 100, "available under 200: " + std::to_string(OpenFileLimit::available()));
            return failures;
        },
        200);
    EXPECT_EQ(output, "");
}
