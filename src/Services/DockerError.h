#pragma once

#include <QString>

#include <exception>

// How a Docker command failed; errorDescription() is what the user sees.
class DockerError : public std::exception {
public:
    enum class Case { commandFailed, notInstalled, daemonUnavailable, timedOut, invalidContainerID };

    static DockerError commandFailed(QString output) { return DockerError(Case::commandFailed, std::move(output)); }
    static DockerError notInstalled() { return DockerError(Case::notInstalled); }
    static DockerError daemonUnavailable() { return DockerError(Case::daemonUnavailable); }
    static DockerError timedOut() { return DockerError(Case::timedOut); }
    static DockerError invalidContainerID() { return DockerError(Case::invalidContainerID); }

    Case errorCase() const { return case_; }
    // The tool's output, trimmed, for commandFailed; empty otherwise.
    const QString& output() const { return output_; }

    // commandFailed shows the tool's own words, unchanged; the others a text in the selected language.
    QString errorDescription() const;
    const char* what() const noexcept override;

private:
    explicit DockerError(Case errorCase, QString output = {}) : case_(errorCase), output_(std::move(output)) {}

    Case case_;
    QString output_;
};
