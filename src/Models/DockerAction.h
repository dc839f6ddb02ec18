#pragma once

#include <string_view>

enum class DockerAction { start, stop, kill };

// The Docker command that carries the action out.
constexpr std::string_view dockerVerb(DockerAction action) {
    switch (action) {
    case DockerAction::start: return "start";
    case DockerAction::stop: return "stop";
    case DockerAction::kill: return "kill";
    }
    return {};
}
