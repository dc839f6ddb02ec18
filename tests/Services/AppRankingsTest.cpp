#include "Services/AppRankings.h"

#include <gtest/gtest.h>

namespace {

AppUsage app(const std::string& id, double cpu, std::uint64_t memory, std::uint64_t writes) {
    AppUsage usage;
    usage.id = id;
    usage.name = id;
    usage.cpu = cpu;
    usage.memory = memory;
    usage.diskWritePerSecond = writes;
    return usage;
}

std::vector<std::string> ids(const std::vector<AppUsage>& apps) {
    std::vector<std::string> result;
    for (const AppUsage& usage : apps) result.push_back(usage.id);
    return result;
}

}  // namespace

TEST(AppRankings, LargestFirstWithTiesInPublishedOrder) {
    // Many equal keys around the larger ones: an unstable sort would shuffle them.
    std::vector<AppUsage> apps;
    for (int i = 0; i < 40; ++i) apps.push_back(app("tie" + std::to_string(i), 0.1, 100, 0));
    apps.insert(apps.begin() + 17, app("big", 0.4, 5000, 2'000'000));
    apps.push_back(app("mid", 0.25, 300, 500'000));

    const std::vector<AppUsage> published = apps;
    for (auto rank : {&AppRankings::byCPU, &AppRankings::byMemory, &AppRankings::byWrite}) {
        std::vector<std::string> expected{"big", "mid"};
        for (int i = 0; i < 40; ++i) expected.push_back("tie" + std::to_string(i));
        EXPECT_EQ(ids(rank(apps)), expected);
        EXPECT_EQ(apps, published);  // the published list is left as it was
    }
    // Memory above the signed range still compares as unsigned.
    apps.push_back(app("huge", 0, std::uint64_t(1) << 63, 0));
    EXPECT_EQ(AppRankings::byMemory(apps).front().id, "huge");
    EXPECT_TRUE(AppRankings::byCPU({}).empty());
}
