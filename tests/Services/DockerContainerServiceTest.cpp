#include "Services/DockerContainerService.h"

#include "Models/AppLocalization.h"
#include "Platform/SettingsStore.h"
#include "Support/FakeDocker.h"
#include "Support/FakeTool.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

using namespace std::chrono_literals;
using ::testing::ElementsAre;
namespace Docker = DockerContainerService;

namespace {

const std::string listCall = "ps --all --no-trunc --format {{json .}}";
const std::string statsCall = "stats --no-stream --format {{json .}}";

std::string listLine(const std::string& id, const std::string& name, const std::string& state) {
    return R"({"ID":")" + id + R"(","Names":")" + name + R"(","Image":"nginx:latest","State":")" + state +
           R"(","Status":"Up 2 hours","Ports":"0.0.0.0:80->80/tcp","Labels":"x=y"})";
}

std::string statsLine(const std::string& name, const std::string& cpu) {
    return R"({"Name":")" + name + R"(","CPUPerc":")" + cpu + R"(","MemUsage":"10MiB / 1GiB","NetIO":"1kB / 0B"})";
}

std::vector<std::string> names(const std::vector<DockerContainer>& containers) {
    std::vector<std::string> result;
    for (const auto& container : containers) result.push_back(container.name.toStdString());
    return result;
}

// What a call failed with; "" when it did not fail with a DockerError.
template <typename Call>
std::optional<DockerError::Case> dockerFailure(Call call) {
    try {
        call();
    } catch (const DockerError& error) {
        return error.errorCase();
    } catch (...) {
    }
    return std::nullopt;
}

const QString hexID = QString(64, QLatin1Char('a'));

}  // namespace

TEST(DockerLocator, FixedCandidatesThenHomeThenSearchPathPieces) {
    Docker::Setup setup;
    setup.fixedCandidates = {"/x/a/docker", "/x/b/docker"};
    setup.home = "/h";
    setup.searchPath = "/a::/b/:";
    EXPECT_THAT(Docker::candidates(setup),
                ElementsAre("/x/a/docker", "/x/b/docker", "/h/.docker/bin/docker", "/a/docker", "/b//docker"));
    setup.searchPath = "";
    EXPECT_EQ(Docker::candidates(setup).size(), 3u);

    setup.searchPath.reset();  // the process's own PATH, read at the call
    const std::string saved = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", "/p1:/p2", 1);
    auto fromEnvironment = Docker::candidates(setup);
    ::unsetenv("PATH");
    auto withoutPath = Docker::candidates(setup);
    ::setenv("PATH", saved.c_str(), 1);
    EXPECT_THAT(fromEnvironment, ElementsAre("/x/a/docker", "/x/b/docker", "/h/.docker/bin/docker", "/p1/docker", "/p2/docker"));
    EXPECT_EQ(withoutPath.size(), 3u);
}

TEST(DockerLocator, FirstExecutableFileWinsAndNoneMeansNotInstalled) {
    FakeDocker docker;
    const auto& tree = docker.tree();
    auto notExecutable = tree.write("fixed/docker", "#!/bin/sh\n");
    tree.folder("home/.docker/bin/docker");  // a folder, not a file
    auto onPath = writeFakeTool(tree.path() / "path2/docker", "echo from-path");
    docker.setup().fixedCandidates = {tree.path() / "missing/docker", notExecutable};
    docker.setup().searchPath = (tree.path() / "path1").string() + ":" + (tree.path() / "path2/").string();
    docker.install();
    EXPECT_EQ(Docker::executable(), tree.path() / "path2//docker");
    EXPECT_EQ(Docker::run({}, 2s), "from-path");

    std::filesystem::remove(onPath);
    EXPECT_FALSE(Docker::executable().has_value());
    EXPECT_EQ(dockerFailure([] { Docker::run({"ps"}, 2s); }), DockerError::Case::notInstalled);
}

TEST(DockerRun, OutcomesFollowTheExitAndTheOutput) {
    FakeDocker docker;
    auto failure = [&](const std::string& body) {
        docker.replace(body);
        try {
            Docker::run({"ps"}, 2s);
        } catch (const DockerError& error) {
            return error;
        }
        return DockerError::commandFailed("<succeeded>");
    };

    docker.replace("exit 0");
    EXPECT_EQ(Docker::run({"ps"}, 2s), "");
    docker.replace("printf '\\n\\n  result line\\n\\n'; echo 'WARNING: config ignored' >&2");
    EXPECT_EQ(Docker::run({"ps"}, 2s), "result line");
    docker.replace("sleep 30 &\necho 'helper left running'");  // holds the output open
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Docker::run({"ps"}, 2s), "helper left running");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    docker.replace("printf 'ok \\377\\376 done'");
    EXPECT_EQ(Docker::run({"ps"}, 2s), QString::fromUtf8("ok \xEF\xBF\xBD\xEF\xBF\xBD done"));

    EXPECT_EQ(failure("echo 'cAnNoT CoNnEcT to the docker DAEMON at unix:///run/docker.sock' >&2; exit 1").errorCase(),
              DockerError::Case::daemonUnavailable);
    EXPECT_EQ(failure("echo 'error: FAILED to connect to the Docker API at npipe' ; exit 1").errorCase(),
              DockerError::Case::daemonUnavailable);
    EXPECT_EQ(failure("echo 'Cannot connect to the Docker daemon'; kill -9 $$").errorCase(),
              DockerError::Case::daemonUnavailable);
    EXPECT_EQ(failure("kill -15 $$").errorCase(), DockerError::Case::timedOut);

    DockerError empty = failure("exit 1");
    EXPECT_EQ(empty.errorCase(), DockerError::Case::commandFailed);
    EXPECT_EQ(empty.errorDescription(), "");
    DockerError both = failure("echo '  partial  '; echo 'Error: No such container: web' >&2; exit 2");
    EXPECT_EQ(both.errorCase(), DockerError::Case::commandFailed);
    EXPECT_EQ(both.errorDescription(), "partial\nError: No such container: web");
}

TEST(DockerRun, HangingToolTimesOutEvenWhenItIgnoresTerminate) {
    FakeDocker docker;
    for (const char* body : {"echo partial; sleep 30", "trap '' TERM\necho partial\nwhile :; do sleep 0.05; done"}) {
        docker.replace(body);
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(dockerFailure([] { Docker::run({"ps"}, 300ms); }), DockerError::Case::timedOut) << body;
        EXPECT_LT(std::chrono::steady_clock::now() - start, 2s) << body;
    }
}

TEST(DockerContainers, EmptyOrStoppedListsAreNotMeasured) {
    FakeDocker docker;
    docker.answer("ps", "");
    EXPECT_TRUE(Docker::containers().empty());
    EXPECT_THAT(docker.calls(), ElementsAre(listCall));

    docker.answer("ps", listLine("a1", "db", "exited") + "\n" + listLine("b2", "web", "Running"), 0,
                  "WARNING: No swap limit support\n");
    auto rows = Docker::containers();
    EXPECT_THAT(docker.calls(), ElementsAre(listCall, listCall));
    ASSERT_EQ(rows.size(), 2u);
    for (const auto& row : rows) {
        EXPECT_FALSE(row.cpu.has_value());
        EXPECT_FALSE(row.memory.has_value());
    }
    EXPECT_EQ(rows[0].id, "a1");
    EXPECT_EQ(rows[0].image, "nginx:latest");
    EXPECT_EQ(rows[0].status, "Up 2 hours");
    EXPECT_EQ(rows[0].ports, "0.0.0.0:80->80/tcp");
}

TEST(DockerContainers, RunningRowsAreJoinedWithTheirStats) {
    FakeDocker docker;
    docker.answer("ps", listLine("1", "web10", "running") + "\r\n" + listLine("2", "alpha", "exited") + "\xE2\x80\xA8" +
                            listLine("3", "web9", "running") + "\n" + listLine("4", "Web9", "running") + "\n\n");
    docker.answer("stats", statsLine("web9", "1.5%") + "\n" + statsLine("web9", "9.9%") + "\n" + statsLine("ghost", "3%") +
                               "\n" + statsLine("web10", "0.1%"),
                  0, "WARNING: the stats are approximate\n");
    auto rows = Docker::containers();
    EXPECT_THAT(docker.calls(), ElementsAre(listCall, statsCall));
    EXPECT_THAT(names(rows), ElementsAre("web9", "Web9", "web10", "alpha"));
    EXPECT_EQ(rows[0].cpu, QString("1.5%"));
    EXPECT_EQ(rows[0].memory, QString("10MiB / 1GiB"));
    EXPECT_FALSE(rows[1].cpu.has_value());
    EXPECT_EQ(rows[2].cpu, QString("0.1%"));
    EXPECT_FALSE(rows[3].cpu.has_value());

    // The list is still shown when measuring fails or takes too long.
    docker.answer("stats", "", 1, "Error: something\n");
    EXPECT_EQ(Docker::containers().size(), 4u);
    docker.setup().commandTimeLimit = 300ms;
    docker.install();
    docker.delay("stats", "5");
    auto unmeasured = Docker::containers();
    ASSERT_EQ(unmeasured.size(), 4u);
    EXPECT_FALSE(unmeasured[0].cpu.has_value());
}

TEST(DockerContainers, ParsingKeepsIdenticalNamesInOrderAndRejectsBadLines) {
    auto rows = Docker::parseContainers(QString::fromStdString(listLine("1", "same", "running") + "\n" +
                                                               listLine("2", "same", "running") + "\n" +
                                                               listLine("3", "Same", "exited")),
                                        "");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].id, "1");
    EXPECT_EQ(rows[1].id, "2");

    SettingsStore::shared().setValue("appLanguage", "en");
    const std::string unreadable = AppLocalization::string("docker.unreadableOutput").toStdString();
    const std::string good = listLine("1", "web", "running");
    for (const std::string& list : {good + "\nnot json", good + "\n" + R"({"ID":"2","Names":"x"})",
                                    good + "\n" + R"({"ID":2,"Names":"x","Image":"i","State":"s","Status":"s","Ports":""})",
                                    std::string(R"(["array"])")}) {
        try {
            Docker::parseContainers(QString::fromStdString(list), "");
            ADD_FAILURE() << list;
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(error.what(), unreadable);
        }
    }
    // A bad statistics line costs only its figures: the rows stay, and good lines still count.
    const std::string other = listLine("2", "db", "running");
    for (const std::string& badStats : {std::string(R"({"Name":"web"})"), std::string("not json"), std::string(R"(["web"])")}) {
        auto joined = Docker::parseContainers(QString::fromStdString(good + "\n" + other),
                                              QString::fromStdString(badStats + "\n" + statsLine("db", "2.5%")));
        ASSERT_EQ(joined.size(), 2u) << badStats;
        EXPECT_EQ(joined[0].name, "db");
        EXPECT_EQ(joined[0].cpu, QString("2.5%"));
        EXPECT_FALSE(joined[1].cpu.has_value()) << badStats;
    }
    SettingsStore::shared().remove("appLanguage");

    FakeDocker docker;
    docker.answer("ps", good + "\nWARNING: on standard output");
    EXPECT_THROW(Docker::containers(), std::runtime_error);
}

TEST(DockerActions, IdentifiersAreCheckedBeforeAnythingRuns) {
    FakeDocker docker;
    const QString fullID = QStringLiteral("0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef");
    for (const QString& id : {fullID.left(12), fullID.toUpper(), QString("web"), fullID.left(63), fullID + "0",
                              QString("-") + fullID.mid(1), QString()}) {
        EXPECT_EQ(dockerFailure([&] { Docker::perform(DockerAction::stop, id); }), DockerError::Case::invalidContainerID)
            << id.toStdString();
    }
    EXPECT_TRUE(docker.calls().empty());

    Docker::perform(DockerAction::kill, fullID);
    Docker::perform(DockerAction::start, fullID);
    EXPECT_THAT(docker.calls(), ElementsAre("kill " + fullID.toStdString(), "start " + fullID.toStdString()));

    docker.answer("stop", "", 1, "Error response from daemon: No such container: " + fullID.toStdString() + "\n");
    try {
        Docker::perform(DockerAction::stop, fullID);
        ADD_FAILURE() << "stop succeeded";
    } catch (const DockerError& error) {
        EXPECT_EQ(error.errorCase(), DockerError::Case::commandFailed);
        EXPECT_EQ(error.errorDescription(), "Error response from daemon: No such container: " + fullID);
    }
}

TEST(DockerActions, StopMayTakeLongerThanAListing) {
    FakeDocker docker;
    docker.setup().commandTimeLimit = 300ms;
    docker.setup().actionTimeLimit = 3s;
    docker.install();
    docker.delay("stop", "0.6");  // like "docker stop" waiting for the container to exit
    EXPECT_NO_THROW(Docker::perform(DockerAction::stop, hexID));
    docker.delay("ps", "0.6");
    EXPECT_EQ(dockerFailure([] { Docker::containers(); }), DockerError::Case::timedOut);
}

// The machine's own client, if it has one, pointed at a daemon socket that does not exist.
TEST(DockerRealClient, MissingDaemonIsReportedAsUnavailable) {
    Docker::install({});
    if (!Docker::executable()) GTEST_SKIP() << "no docker client on this machine";
    TempTree tree;
    const char* saved = std::getenv("DOCKER_HOST");
    const std::string previous = saved ? saved : "";
    ::setenv("DOCKER_HOST", ("unix://" + (tree.path() / "no-daemon.sock").string()).c_str(), 1);
    auto failure = dockerFailure([] { Docker::containers(); });
    if (saved)
        ::setenv("DOCKER_HOST", previous.c_str(), 1);
    else
        ::unsetenv("DOCKER_HOST");
    EXPECT_EQ(failure, DockerError::Case::daemonUnavailable);
}
