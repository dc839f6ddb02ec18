#pragma once

#include "Models/TextKey.h"
#include "Models/WholeKind.h"

// What a folder holding a whole says it holds ("a repository"); none for a build's output or a
// tagged cache, which its tool makes again.
inline const char* wholeTextKey(WholeKind whole) {
    switch (whole) {
    case WholeKind::repository: return textKey("cleanup.whole.repository");
    case WholeKind::environment: return textKey("cleanup.whole.environment");
    case WholeKind::packageStore: return textKey("cleanup.whole.packageStore");
    case WholeKind::gameLibrary: return textKey("cleanup.whole.gameLibrary");
    case WholeKind::syncFolder: return textKey("cleanup.whole.syncFolder");
    case WholeKind::applicationData: return textKey("cleanup.whole.applicationData");
    case WholeKind::buildOutput: break;
    }
    return nullptr;
}
