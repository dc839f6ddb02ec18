#include "Views/Uninstaller/UninstallerView.h"

#include "Models/AppLocalization.h"
#include "Models/ArtifactSelection.h"
#include "Models/ByteFormatting.h"
#include "Models/DisplayText.h"
#include "Models/IsolatedText.h"
#include "Services/AppState.h"
#include "Views/Common/MessageAlert.h"
#include "Views/Common/TrashConfirmation.h"
#include "Views/DesignSystem/DS.h"
#include "Views/Uninstaller/AppListCard.h"
#include "Views/Uninstaller/UninstallerDetail.h"

#include <QHBoxLayout>
#include <QMessageBox>
#include <QPainter>
#include <QShowEvent>

#include <algorithm>

UninstallerView::UninstallerView(AppState& state, const DynamicColor& tint, QWidget* parent) : QWidget(parent), state_(state), tint_(tint) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(28, 28, 28, 28);
    row->setSpacing(16);
    appList_ = new AppListCard(state_, tint_);
    appList_->setFixedWidth(320);
    row->addWidget(appList_);
    detail_ = new UninstallerDetail(state_, tint_, [this] { askToTrash(); });
    row->addWidget(detail_, 1);
    result_ = new MessageAlert(
        this, AppLocalization::string("uninstaller.result"), [this] { return state_.uninstallMessage(); },
        [this] { state_.setUninstallMessage(std::nullopt); }, QStringLiteral("uninstallerResult"));
    connect(&state_, &AppState::uninstallMessageChanged, result_, &MessageAlert::follow);
}

namespace {

// What the question says becomes of the application: the items alone go, or the application with
// them, or only a launcher that starts nothing.
QString confirmationDetail(const std::optional<InstalledApplication>& application, const std::vector<AppArtifact>& listed,
                           const std::vector<AppArtifact>& confirmed, const QString& size) {
    if (!application) return AppLocalization::format("uninstaller.confirm.detail", {size});
    const QString name = isolatedText(DisplayText::name(application->name));
    const int count = int(confirmed.size());
    const auto isEntry = [&](const AppArtifact& artifact) { return artifact.path == application->path; };
    // An entry whose program is not found starts nothing: moving it removes no application, and the
    // program may still be somewhere.
    if (application->programNotFound)
        return count == 1 && isEntry(confirmed.front()) ? AppLocalization::format("uninstaller.confirm.launcherOnly", {name, size})
                                                        : AppLocalization::format("uninstaller.confirm.programNotFound", {name, count, size});
    // The application goes only with its entry and its own program; moving less leaves it installed,
    // and the user should know it stays.
    const bool applicationGoes = !application->staysInstalled && std::any_of(confirmed.begin(), confirmed.end(), isEntry) &&
                                 std::all_of(listed.begin(), listed.end(), [&](const AppArtifact& artifact) {
                                     return artifact.category != ArtifactCategory::application || ArtifactSelection::goes(artifact, listed);
                                 });
    if (!applicationGoes) return AppLocalization::format("uninstaller.confirm.applicationStays", {name, count, size});
    // Moving its program or its folder uninstalls it, and the user should know that too.
    const bool takesItsProgram = std::any_of(confirmed.begin(), confirmed.end(), [&](const AppArtifact& artifact) {
        return artifact.category == ArtifactCategory::application && !isEntry(artifact);
    });
    return takesItsProgram ? AppLocalization::format("uninstaller.confirm.applicationGoes", {name, size})
                           : AppLocalization::format("uninstaller.confirm.detail", {size});
}

}  // namespace

void UninstallerView::askToTrash() {
    if (confirmation_) return;
    std::vector<AppArtifact> confirmed;
    for (const AppArtifact& artifact : state_.artifacts())
        if (artifact.isSelected) confirmed.push_back(artifact);
    const std::int64_t selectedSize = ArtifactSelection::bytes(confirmed);
    if (selectedSize == 0) return;  // the button is off then; a late click changes nothing
    const QString size = isolatedText(ByteFormatting::string(selectedSize));
    const QString detail = confirmationDetail(state_.selectedApplication(), state_.artifacts(), confirmed, size);
    confirmation_ = confirmMoveToTrash(this, AppLocalization::string("uninstaller.confirm.title"), detail, AppLocalization::string("uninstaller.moveToTrash"),
                                       [this, confirmed = std::move(confirmed)] { state_.moveSelectedArtifactsToTrash(confirmed); });
    confirmation_->setObjectName("uninstallerConfirmation");
}

void UninstallerView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A window coming back from the taskbar is not the screen being shown again.
    if (!event->spontaneous()) state_.loadApplications();
    result_->follow();  // a result that arrived while another section was shown
}

QMessageBox* UninstallerView::resultAlert() const { return result_->alert(); }

void UninstallerView::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), DS::canvas.resolved()); }
