#include "Services/DockerContainerService.h"

#include "Models/AppLocalization.h"
#include "Models/NameCollator.h"
#include "Foundation/Cancelled.h"
#include "Foundation/JsonObjectReader.h"
#include "Platform/FolderListing.h"
#include "Platform/ProcessRunner.h"
#include "Platform/SystemRoots.h"

#include <QCollator>
#include <QJsonDocument>

#include <signal.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <mutex>
#include <stdexcept>

namespace DockerContainerService {
namespace {

std::mutex setupMutex;

Setup& installedSetup() {
    static Setup setup;
    return setup;
}

const std::vector<std::string> listArguments = {"ps", "--all", "--no-trunc", "--format", "{{json .}}"};
const std::vector<std::string> statsArguments = {"stats", "--no-stream", "--format", "{{json .}}"};

// One line of "docker stats".
struct StatsLine {
    QString name, cpu, memory;
};

[[noreturn]] void unreadable() {
    throw std::runtime_error(AppLocalization::string("docker.unreadableOutput").toStdString());
}

// Pieces between line breaks of any kind; empty pieces are dropped, nothing else is trimmed.
QStringList splitLines(const QString& text) {
    QStringList pieces;
    QString piece;
    for (QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit == u'\n' || unit == u'\v' || unit == u'\f' || unit == u'\r' || unit == 0x85 || unit == 0x2028 || unit == 0x2029) {
            if (!piece.isEmpty()) pieces.append(piece);
            piece.clear();
        } else {
            piece.append(c);
        }
    }
    if (!piece.isEmpty()) pieces.append(piece);
    return pieces;
}

// What a bad line does: fails the whole output, or is left out.
enum class BadLine { fails, isSkipped };

// Each line must be one JSON object with every named member a string.
template <typename Line, typename Read>
std::vector<Line> decodeLines(const QString& text, BadLine badLine, Read read) {
    std::vector<Line> lines;
    for (const QString& piece : splitLines(text)) {
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(piece.toUtf8(), &error);
        bool good = error.error == QJsonParseError::NoError && document.isObject();
        if (good) {
            JsonObjectReader reader(document.object());
            Line line = read(reader);
            good = reader.ok();
            if (good) lines.push_back(std::move(line));
        }
        if (!good && badLine == BadLine::fails) unreadable();
    }
    return lines;
}

// The rows of "docker ps", without figures yet.
std::vector<DockerContainer> decodeContainerLines(const QString& text) {
    return decodeLines<DockerContainer>(text, BadLine::fails, [](JsonObjectReader& reader) {
        return DockerContainer{reader.text("ID"),    reader.text("Names"),  reader.text("Image"),
                               reader.text("State"), reader.text("Status"), reader.text("Ports"), {}, {}};
    });
}

// The figures are decoration: a line that cannot be read leaves its container without them.
std::vector<StatsLine> decodeStatsLines(const QString& text) {
    return decodeLines<StatsLine>(text, BadLine::isSkipped, [](JsonObjectReader& reader) {
        return StatsLine{reader.text("Name"), reader.text("CPUPerc"), reader.text("MemUsage")};
    });
}

// Running first; then names as file lists order them: case only breaks ties, digit runs by value.
std::vector<DockerContainer> joinAndSort(std::vector<DockerContainer> containers, const QString& statsText) {
    std::map<QString, StatsLine> statsByName;  // the first line of a name wins
    for (StatsLine& stats : decodeStatsLines(statsText)) statsByName.try_emplace(stats.name, std::move(stats));
    for (DockerContainer& container : containers) {
        if (auto stats = statsByName.find(container.name); stats != statsByName.end()) {
            container.cpu = stats->second.cpu;
            container.memory = stats->second.memory;
        }
    }

    const QCollator ignoringCase = nameCollator(true);
    const QCollator withCase = nameCollator(true, Qt::CaseSensitive);
    std::stable_sort(containers.begin(), containers.end(), [&](const DockerContainer& a, const DockerContainer& b) {
        if (a.isRunning() != b.isRunning()) return a.isRunning();
        if (int order = ignoringCase.compare(a.name, b.name)) return order < 0;
        if (int order = withCase.compare(a.name, b.name)) return order < 0;
        return a.name < b.name;  // only identical names keep their listed order
    });
    return containers;
}

}  // namespace

void install(Setup setup) {
    std::lock_guard lock(setupMutex);
    installedSetup() = std::move(setup);
}

Setup current() {
    std::lock_guard lock(setupMutex);
    return installedSetup();
}

std::vector<std::filesystem::path> candidates(const Setup& setup) {
    std::vector<std::filesystem::path> paths = setup.fixedCandidates;
    const std::filesystem::path home = setup.home.empty() ? SystemRoots::current().home : setup.home;
    paths.emplace_back(home.native() + "/.docker/bin/docker");

    std::string searchPath;
    if (setup.searchPath) {
        searchPath = *setup.searchPath;
    } else if (const char* value = std::getenv("PATH")) {
        searchPath = value;
    }
    std::size_t start = 0;
    while (start <= searchPath.size()) {
        std::size_t end = std::min(searchPath.find(':', start), searchPath.size());
        if (end > start) paths.emplace_back(searchPath.substr(start, end - start) + "/docker");
        start = end + 1;
    }
    return paths;
}

std::optional<std::filesystem::path> executable() {
    for (const auto& candidate : candidates(current()))
        if (FolderListing::isExecutableFile(candidate)) return candidate;
    return std::nullopt;
}

QString run(const std::vector<std::string>& arguments, std::chrono::milliseconds timeLimit, std::stop_token stop) {
    const std::optional<std::filesystem::path> tool = executable();
    if (!tool) throw DockerError::notInstalled();

    ProcessRunner::Options options;
    options.limits.deadline = timeLimit;
    options.limits.terminateGrace = current().terminateGrace;
    options.stop = stop;
    const ProcessRunner::Result result = ProcessRunner::run(*tool, arguments, options);
    if (result.stopped) throw Cancelled();
    if (result.timedOut || !result.ended || result.signal == SIGTERM) throw DockerError::timedOut();

    const QString output = QString::fromUtf8(result.output.data(), static_cast<qsizetype>(result.output.size())).trimmed();
    if (result.exitedNormally() && result.exitStatus == 0) return output;  // warnings on stderr do not matter then

    const QString errors =
        QString::fromUtf8(result.errorOutput.data(), static_cast<qsizetype>(result.errorOutput.size())).trimmed();
    const QString message = output.isEmpty() ? errors : errors.isEmpty() ? output : output + u'\n' + errors;
    if (message.contains(QLatin1String("failed to connect to the docker API"), Qt::CaseInsensitive) ||
        message.contains(QLatin1String("Cannot connect to the Docker daemon"), Qt::CaseInsensitive))
        throw DockerError::daemonUnavailable();
    throw DockerError::commandFailed(message);
}

std::vector<DockerContainer> containers(std::stop_token stop) {
    const Setup setup = current();
    std::vector<DockerContainer> rows = decodeContainerLines(run(listArguments, setup.commandTimeLimit, stop));
    QString stats;
    if (std::any_of(rows.begin(), rows.end(), [](const DockerContainer& row) { return row.isRunning(); })) {
        try {
            stats = run(statsArguments, setup.commandTimeLimit, stop);
        } catch (const Cancelled&) {
            throw;
        } catch (const std::exception&) {
            // The list is still worth showing without figures.
        }
    }
    return joinAndSort(std::move(rows), stats);
}

void perform(DockerAction action, const QString& id, std::stop_token stop) {
    if (!isValidContainerID(id)) throw DockerError::invalidContainerID();
    run({std::string(dockerVerb(action)), id.toStdString()}, current().actionTimeLimit, stop);
}

std::vector<DockerContainer> parseContainers(const QString& list, const QString& stats) {
    return joinAndSort(decodeContainerLines(list), stats);
}

bool isValidContainerID(const QString& id) {
    return id.size() == 64 &&
           std::all_of(id.begin(), id.end(), [](QChar c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'); });
}

}  // namespace DockerContainerService
