#pragma once

#include "Platform/SystemRoots.h"

// Points every machine path at a fixture tree for the life of a test, then back at the machine.
class FixtureRoots {
public:
    explicit FixtureRoots(const std::filesystem::path& dir) { SystemRoots::install(SystemRoots::fixture(dir)); }
    ~FixtureRoots() { SystemRoots::install(SystemRoots::machine()); }
    FixtureRoots(const FixtureRoots&) = delete;
    FixtureRoots& operator=(const FixtureRoots&) = delete;
};
