#include "Services/DockerError.h"

#include "Models/AppLocalization.h"

QString DockerError::errorDescription() const {
    switch (case_) {
    case Case::commandFailed: return output_;
    case Case::notInstalled: return AppLocalization::string("docker.notInstalled");
    case Case::daemonUnavailable: return AppLocalization::string("docker.daemonUnavailable");
    case Case::timedOut: return AppLocalization::string("docker.timedOut");
    case Case::invalidContainerID: return AppLocalization::string("docker.invalidContainer");
    }
    return {};
}

const char* DockerError::what() const noexcept {
    switch (case_) {
    case Case::commandFailed: return "docker command failed";
    case Case::notInstalled: return "docker not installed";
    case Case::daemonUnavailable: return "docker daemon unavailable";
    case Case::timedOut: return "docker timed out";
    case Case::invalidContainerID: return "invalid container identifier";
    }
    return "docker error";
}
