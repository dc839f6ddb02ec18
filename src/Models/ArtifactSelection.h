#pragma once

#include "Models/AppArtifact.h"

#include <cstdint>
#include <vector>

// What moving the ticked items of an application takes: a ticked folder takes whatever lies inside
// it, ticked or not (an AppImage kept in its own data folder goes with that folder).
namespace ArtifactSelection {

// Whether the item lies inside another ticked item, which takes it along.
bool liesInAnotherTicked(const AppArtifact& artifact, const std::vector<AppArtifact>& artifacts);

// Whether the item goes: ticked itself, or lying inside a ticked item.
bool goes(const AppArtifact& artifact, const std::vector<AppArtifact>& artifacts);

// The bytes that go: each ticked item once, and nothing inside a ticked item counted again.
std::int64_t bytes(const std::vector<AppArtifact>& artifacts);

}  // namespace ArtifactSelection
