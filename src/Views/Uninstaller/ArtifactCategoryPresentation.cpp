#include "Views/Uninstaller/ArtifactCategoryPresentation.h"

#include "Models/TextKey.h"
#include "Views/DesignSystem/DS.h"

namespace ArtifactCategoryPresentation {

QString symbol(ArtifactCategory category) {
    switch (category) {
    case ArtifactCategory::application: return QStringLiteral("app.fill");
    case ArtifactCategory::support: return QStringLiteral("folder.fill");
    case ArtifactCategory::cache: return QStringLiteral("bolt.horizontal.fill");
    case ArtifactCategory::preference: return QStringLiteral("slider.horizontal.3");
    case ArtifactCategory::container: return QStringLiteral("shippingbox.fill");
    case ArtifactCategory::savedState: return QStringLiteral("clock.arrow.circlepath");
    }
    return {};
}

DynamicColor tint(ArtifactCategory category) {
    switch (category) {
    case ArtifactCategory::application: return DS::pink;
    case ArtifactCategory::support: return DS::purple;
    case ArtifactCategory::cache: return DS::amber;
    case ArtifactCategory::preference: return DS::teal;
    case ArtifactCategory::container: return DS::blue;
    case ArtifactCategory::savedState: return DS::cyan;
    }
    return DS::gray;
}

const char* titleKey(ArtifactCategory category) {
    switch (category) {
    case ArtifactCategory::application: return textKey("artifact.application");
    case ArtifactCategory::support: return textKey("artifact.support");
    case ArtifactCategory::cache: return textKey("artifact.cache");
    case ArtifactCategory::preference: return textKey("artifact.preference");
    case ArtifactCategory::container: return textKey("artifact.container");
    case ArtifactCategory::savedState: return textKey("artifact.savedState");
    }
    return "";
}

}  // namespace ArtifactCategoryPresentation
