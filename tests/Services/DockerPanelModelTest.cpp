#include "Services/DockerPanelModel.h"

#include "Models/AppLocalization.h"
#include "Platform/SettingsStore.h"
#include "Support/FakeDocker.h"

#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

const QString idA = QString(64, QLatin1Char('a'));
const QString idB = QString(64, QLatin1Char('b'));

std::string containerLine(const QString& id, const std::string& name) {
    return R"({"ID":")" + id.toStdString() + R"(","Names":")" + name +
           R"json(","Image":"redis","State":"exited","Status":"Exited (0)","Ports":""})json";
}

std::vector<std::string> shownNames(const DockerPanelModel& model) {
    std::vector<std::string> result;
    for (const auto& container : model.containers()) result.push_back(container.name.toStdString());
    return result;
}

DockerContainer container(const QString& id) {
    DockerContainer value;
    value.id = id;
    return value;
}

bool settles(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, 5000);
}

class DockerPanelModelTest : public ::testing::Test {
protected:
    void SetUp() override { SettingsStore::shared().setValue("appLanguage", "en"); }
    void TearDown() override { SettingsStore::shared().remove("appLanguage"); }

    FakeDocker docker;
};

}  // namespace

TEST_F(DockerPanelModelTest, FirstRefreshEndsLoadingAndLaterOnesClearTheError) {
    DockerPanelModel model;
    EXPECT_TRUE(model.containers().empty());
    EXPECT_TRUE(model.isLoading());
    EXPECT_TRUE(model.busyIDs().isEmpty());
    EXPECT_FALSE(model.error().has_value());

    docker.setup().fixedCandidates.clear();
    docker.install();
    model.refresh();
    ASSERT_TRUE(settles([&] { return !model.isLoading(); }));
    EXPECT_TRUE(model.containers().empty());
    EXPECT_EQ(model.error(), AppLocalization::string("docker.notInstalled"));

    docker.setup().fixedCandidates = {docker.tree().path() / "bin/docker"};
    docker.install();
    docker.answer("ps", "", 1, "Cannot connect to the Docker daemon at unix:///var/run/docker.sock.\n");
    model.refresh();
    ASSERT_TRUE(settles([&] { return model.error() == AppLocalization::string("docker.daemonUnavailable"); }));

    docker.answer("ps", containerLine(idA, "cache"));
    model.refresh();
    ASSERT_TRUE(settles([&] { return !model.error().has_value(); }));
    EXPECT_THAT(shownNames(model), ::testing::ElementsAre("cache"));
    EXPECT_FALSE(model.isLoading());
}

TEST_F(DockerPanelModelTest, ActionsRunOncePerContainerAndHoldOffRefreshes) {
    docker.answer("ps", containerLine(idA, "cache"));
    DockerPanelModel model;
    model.refresh();
    ASSERT_TRUE(settles([&] { return !model.isLoading(); }));

    docker.delay("stop", "0.4");
    docker.answer("ps", containerLine(idA, "cache") + "\n" + containerLine(idB, "queue"));
    model.perform(DockerAction::stop, model.containers()[0]);
    model.perform(DockerAction::stop, model.containers()[0]);
    EXPECT_EQ(model.busyIDs(), QSet<QString>{idA});
    model.refresh();  // skipped while the action runs
    EXPECT_THAT(shownNames(model), ::testing::ElementsAre("cache"));
    ASSERT_TRUE(settles([&] { return model.busyIDs().isEmpty(); }));

    EXPECT_EQ(docker.callCount("stop"), 1);
    EXPECT_EQ(docker.callCount("ps"), 2);  // the first load and the action's own reload
    EXPECT_THAT(shownNames(model), ::testing::ElementsAre("cache", "queue"));
    EXPECT_FALSE(model.error().has_value());
}

TEST_F(DockerPanelModelTest, FailedActionsAndReloadsKeepTheRows) {
    docker.answer("ps", containerLine(idA, "cache"));
    DockerPanelModel model;
    model.refresh();
    ASSERT_TRUE(settles([&] { return !model.isLoading(); }));

    // A failed action is the container's own failure: Docker stays available and the rows stay.
    model.perform(DockerAction::start, container("not-an-id"));
    ASSERT_TRUE(settles([&] { return model.busyIDs().isEmpty() && !model.actionErrors().isEmpty(); }));
    EXPECT_EQ(model.actionErrors().value("not-an-id"), AppLocalization::string("docker.invalidContainer"));
    EXPECT_FALSE(model.error().has_value());
    EXPECT_EQ(docker.callCount("start"), 0);
    docker.answer("kill", "", 1, "Error: cannot kill container: permission denied\n");
    model.perform(DockerAction::kill, model.containers()[0]);
    ASSERT_TRUE(settles([&] { return model.busyIDs().isEmpty() && model.actionErrors().contains(model.containers()[0].id); }));
    EXPECT_EQ(model.actionErrors().value(model.containers()[0].id), "Error: cannot kill container: permission denied");
    EXPECT_FALSE(model.error().has_value());
    EXPECT_THAT(shownNames(model), ::testing::ElementsAre("cache"));
    // The next action on that container starts clean.
    docker.answer("kill", "");

    docker.answer("ps", "", 1, "Error: the listing broke\n");
    model.perform(DockerAction::kill, model.containers()[0]);
    ASSERT_TRUE(settles([&] { return model.busyIDs().isEmpty() && docker.callCount("ps") == 2; }));
    ASSERT_TRUE(settles([&] { return model.error() == QString("Error: the listing broke"); }));
    EXPECT_THAT(shownNames(model), ::testing::ElementsAre("cache"));
    EXPECT_FALSE(model.actionErrors().contains(model.containers()[0].id));
}

TEST_F(DockerPanelModelTest, RefreshThatAnActionOvertookNeverPublishes) {
    docker.answer("ps", containerLine(idA, "old"));
    docker.delay("ps", "0.8");
    DockerPanelModel model;
    model.refresh();
    ASSERT_TRUE(settles([&] { return docker.callCount("ps") == 1; }));  // it has read its answer

    std::filesystem::remove(docker.tree().path() / "answers/ps.sleep");
    docker.answer("ps", containerLine(idA, "new"));
    model.perform(DockerAction::start, container(idA));
    ASSERT_TRUE(settles([&] { return model.busyIDs().isEmpty(); }));
    EXPECT_THAT(shownNames(model), ::testing::ElementsAre("new"));

    ASSERT_TRUE(settles([&] { return !model.isLoading(); }));  // the stale refresh has ended
    EXPECT_THAT(shownNames(model), ::testing::ElementsAre("new"));
}

TEST_F(DockerPanelModelTest, PollingRefreshesUntilCancelled) {
    docker.answer("ps", containerLine(idA, "cache"));
    DockerPanelModel model(100ms);
    std::stop_source polling;
    model.poll(polling.get_token());
    ASSERT_TRUE(settles([&] { return docker.callCount("ps") >= 3; }));

    polling.request_stop();
    EXPECT_TRUE(model.isPolling());  // until its next turn, after a refresh in flight has ended
    ASSERT_TRUE(settles([&] { return !model.isPolling(); }));
    // The loop is over: whatever it called has logged, and nothing calls again.
    const int calls = docker.callCount("ps");
    model.refresh();  // a refresh of its own still runs, and is the only call after the loop's end
    ASSERT_TRUE(settles([&] { return docker.callCount("ps") == calls + 1; }));
    EXPECT_THAT(shownNames(model), ::testing::ElementsAre("cache"));

    // Cancelled before it starts: no loop is left behind, so nothing runs at all.
    std::stop_source cancelled;
    cancelled.request_stop();
    model.poll(cancelled.get_token());
    EXPECT_FALSE(model.isPolling());
}
