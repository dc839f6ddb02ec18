#include "Models/ArtifactSelection.h"

#include "Foundation/LiesWithin.h"
#include "Foundation/SaturatingSum.h"

#include <algorithm>

bool ArtifactSelection::liesInAnotherTicked(const AppArtifact& artifact, const std::vector<AppArtifact>& artifacts) {
    return std::any_of(artifacts.begin(), artifacts.end(), [&](const AppArtifact& outer) {
        return outer.isSelected && outer.path != artifact.path && liesWithin(artifact.path, outer.path);
    });
}

bool ArtifactSelection::goes(const AppArtifact& artifact, const std::vector<AppArtifact>& artifacts) {
    return artifact.isSelected || liesInAnotherTicked(artifact, artifacts);
}

std::int64_t ArtifactSelection::bytes(const std::vector<AppArtifact>& artifacts) {
    std::int64_t total = 0;
    for (const AppArtifact& artifact : artifacts)
        if (artifact.isSelected && !liesInAnotherTicked(artifact, artifacts)) total = saturatingSum(total, artifact.size);
    return total;
}
