#pragma once

#include "Models/RawValues.h"

// What kind of item of an application an uninstaller row is.
enum class ArtifactCategory { application, support, cache, preference, container, savedState };

template <>
struct RawValues<ArtifactCategory> {
    static constexpr std::array<std::pair<ArtifactCategory, std::string_view>, 6> table{{
        {ArtifactCategory::application, "application"},
        {ArtifactCategory::support, "support"},
        {ArtifactCategory::cache, "cache"},
        {ArtifactCategory::preference, "preference"},
        {ArtifactCategory::container, "container"},
        {ArtifactCategory::savedState, "savedState"},
    }};
};
