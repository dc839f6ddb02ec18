#include "Services/AppUsageSampler.h"
#include "Support/FakeMachine.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

const AppUsage* row(const AppUsagePass& pass, const std::string& id) {
    for (const AppUsage& app : pass.apps)
        if (app.id == id) return &app;
    return nullptr;
}

const std::uint64_t page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
const double ticksPerSecond = static_cast<double>(::sysconf(_SC_CLK_TCK));

}  // namespace

TEST(AppUsageSampler, GroupsByProgramNameAndMeasuresAgainstThePreviousPass) {
    FakeMachine machine;
    machine.process({.pid = 100, .comm = "firefox-esr", .exe = "/usr/lib/firefox-esr/firefox-esr", .utime = 1000, .startTicks = 50,
                     .rssPages = 1000, .writeBytes = 0});
    machine.process({.pid = 101, .comm = "firefox-esr", .exe = "/usr/lib/firefox-esr/firefox-esr", .utime = 500, .startTicks = 60,
                     .rssPages = 500, .writeBytes = 1000});
    machine.process({.pid = 200, .comm = "bash", .exe = "/usr/bin/bash", .startTicks = 70, .rssPages = 10});
    machine.process({.pid = 201, .comm = "bash", .exe = "/opt/other/bash (deleted)", .startTicks = 80, .rssPages = 20});
    machine.process({.pid = 2, .comm = "kthreadd"});
    AppUsageSampler sampler(machine.roots());
    Instant start = Instant::fromReferenceSeconds(5000);

    // First pass: rows, but no shares or write rates yet.
    auto first = sampler.sampleApps(start, 4);
    ASSERT_TRUE(first);
    EXPECT_FALSE(first->hadPreviousPass);
    ASSERT_EQ(first->apps.size(), 2u);
    const AppUsage* firefox = row(*first, "firefox-esr");
    ASSERT_TRUE(firefox);
    EXPECT_EQ(firefox->processCount, 2);
    EXPECT_EQ(firefox->memory, 1500 * page);
    EXPECT_EQ(firefox->cpu, 0);
    EXPECT_EQ(firefox->iconPath, "/usr/lib/firefox-esr/firefox-esr");
    const AppUsage* bash = row(*first, "bash");
    ASSERT_TRUE(bash);
    EXPECT_EQ(bash->processCount, 2);  // two programs of one name share a row, iconed by the first
    EXPECT_EQ(bash->iconPath, "/usr/bin/bash");

    // Two seconds later: 2 cores' worth of ticks over 4 cores is a half; 1 MB written in 2 s.
    machine.process({.pid = 100, .comm = "firefox-esr", .exe = "/usr/lib/firefox-esr/firefox-esr",
                     .utime = 1000 + static_cast<std::uint64_t>(3 * ticksPerSecond), .startTicks = 50, .rssPages = 1000,
                     .writeBytes = 1000000});
    machine.process({.pid = 101, .comm = "firefox-esr", .exe = "/usr/lib/firefox-esr/firefox-esr", .utime = 500,
                     .stime = static_cast<std::uint64_t>(ticksPerSecond), .startTicks = 60, .rssPages = 500, .writeBytes = 1000});
    auto second = sampler.sampleApps(start.addingSeconds(2), 4);
    ASSERT_TRUE(second);
    EXPECT_TRUE(second->hadPreviousPass);
    firefox = row(*second, "firefox-esr");
    EXPECT_NEAR(firefox->cpu, 0.5, 1e-9);
    EXPECT_EQ(firefox->diskWritePerSecond, 500000u);

    // Far more ticks than the interval allows (clock jitter): capped at the whole machine.
    machine.process({.pid = 100, .comm = "firefox-esr", .exe = "/usr/lib/firefox-esr/firefox-esr",
                     .utime = 1000 + static_cast<std::uint64_t>(100 * ticksPerSecond), .startTicks = 50, .rssPages = 1000,
                     .writeBytes = 1000000});
    auto third = sampler.sampleApps(start.addingSeconds(2.1), 4);  // 0.1 s later, measured over the 0.5 s floor
    EXPECT_EQ(row(*third, "firefox-esr")->cpu, 1.0);
}

TEST(AppUsageSampler, ReusedProcessIdStartsFromZero) {
    FakeMachine machine;
    machine.process({.pid = 300, .comm = "make", .exe = "/usr/bin/make", .utime = 100, .startTicks = 1000, .writeBytes = 100});
    AppUsageSampler sampler(machine.roots());
    Instant start = Instant::fromReferenceSeconds(0);
    sampler.sampleApps(start, 1);

    // The id now belongs to a new process whose counters happen to be higher: not a share of 10 cores.
    machine.process({.pid = 300, .comm = "cc1plus", .exe = "/usr/libexec/gcc/cc1plus",
                     .utime = 100 + static_cast<std::uint64_t>(20 * ticksPerSecond), .startTicks = 1500, .writeBytes = 900000});
    auto pass = sampler.sampleApps(start.addingSeconds(2), 1);
    const AppUsage* compiler = row(*pass, "cc1plus");
    ASSERT_TRUE(compiler);
    EXPECT_EQ(compiler->cpu, 0);
    EXPECT_EQ(compiler->diskWritePerSecond, 0u);

    // And a counter that went back within one process counts 0 too.
    machine.process({.pid = 300, .comm = "cc1plus", .exe = "/usr/libexec/gcc/cc1plus", .utime = 5, .startTicks = 1500, .writeBytes = 10});
    pass = sampler.sampleApps(start.addingSeconds(4), 1);
    EXPECT_EQ(row(*pass, "cc1plus")->cpu, 0);
    EXPECT_EQ(row(*pass, "cc1plus")->diskWritePerSecond, 0u);
}

TEST(AppUsageSampler, CollectsDeveloperRuntimesByProgramAndCommandName) {
    FakeMachine machine;
    machine.process({.pid = 10, .comm = "ruby", .exe = "/usr/bin/ruby3.1", .utime = 250, .startTicks = 100, .rssPages = 7});
    machine.process({.pid = 11, .comm = "php-fpm8.2", .exe = "/usr/sbin/php-fpm8.2", .startTicks = 100});
    machine.process({.pid = 12, .comm = "php8.2", .exe = "/usr/bin/php8.2", .startTicks = 100});
    machine.process({.pid = 13, .comm = "gunicorn", .exe = "/usr/bin/python3.11", .startTicks = 100});
    machine.process({.pid = 14, .comm = "esbuild", .exe = "/home/u/web/node_modules/@esbuild/linux-x64/bin/esbuild", .startTicks = 100});
    machine.process({.pid = 15, .comm = "puma", .exe = "/usr/bin/env", .startTicks = 100});
    machine.process({.pid = 16, .comm = "bash", .exe = "/usr/bin/bash", .startTicks = 100});
    AppUsageSampler sampler(machine.roots());
    auto pass = sampler.sampleApps(Instant::fromReferenceSeconds(0), 2);
    ASSERT_TRUE(pass);
    std::map<std::int32_t, DevProcessSample> samples;
    for (const DevProcessSample& sample : pass->devSamples) samples[sample.pid] = sample;
    EXPECT_EQ(samples.size(), 5u);
    EXPECT_EQ(samples[10].executable, "ruby3.1");
    EXPECT_DOUBLE_EQ(samples[10].cpuTime, 250 / ticksPerSecond);
    EXPECT_EQ(samples[10].memory, 7 * page);
    EXPECT_EQ(samples[10].identity, (ProcessIdentity{10, 100, "/usr/bin/ruby3.1"}));
    EXPECT_NEAR(samples[10].startedAt->unixSeconds(), FakeMachine::bootTime + 100 / ticksPerSecond, 1e-3);
    EXPECT_EQ(samples[12].executable, "php8.2");
    EXPECT_EQ(samples[13].executable, "python3.11");
    EXPECT_EQ(samples[14].executable, "esbuild");
    EXPECT_EQ(samples[15].executable, "puma");  // only the command name names the runtime
    EXPECT_FALSE(samples.count(11));  // php-fpm is a service, not a development server
}
