#include "Views/Uninstaller/ArtifactRow.h"

#include "Foundation/PathText.h"
#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"
#include "Models/DisplayText.h"
#include "Models/IsolatedText.h"
#include "Models/WholeText.h"
#include "Views/Common/PlainToolTip.h"
#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Pill.h"
#include "Views/DesignSystem/RankedRow.h"
#include "Views/DesignSystem/SymbolView.h"
#include "Views/Storage/BucketActions.h"
#include "Views/Tools/ToolCheckBox.h"
#include "Views/Uninstaller/ArtifactCategoryPresentation.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>

#include <iterator>

namespace {

// Another install as a row has room for it: "~/.linuxbrew/bin/nvim" when that is short, else its
// file name; the tooltip gives the whole path.
QString installText(const std::filesystem::path& install) {
    constexpr qsizetype longest = 28;
    const std::filesystem::path inHome = install.lexically_relative(QDir::homePath().toStdString());
    if (!inHome.empty() && *inHome.begin() != ".." && *inHome.begin() != ".")
        if (QString text = QStringLiteral("~/") + DisplayText::path(inHome); text.size() <= longest) return text;
    return DisplayText::name(install.filename());
}

// A folder of the home as people write it, one left-to-right run: "~/.dotfiles". `shortened`: a long
// one by its last two names, as a row has room for it ("~/…/yadm/repo.git").
QString homeText(const std::filesystem::path& folder, bool shortened) {
    const std::filesystem::path inHome = folder.lexically_relative(QDir::homePath().toStdString());
    if (inHome.empty() || *inHome.begin() == ".." || *inHome.begin() == ".") return DisplayText::path(folder);
    constexpr qsizetype longest = 24;
    QString text = QStringLiteral("~/") + PathText::display(inHome);
    if (shortened && text.size() > longest && std::distance(inHome.begin(), inHome.end()) > 2)
        text = QStringLiteral("~/\u2026/") + PathText::display(inHome.parent_path().filename() / inHome.filename());
    return DisplayText::path(text);
}

}  // namespace

ArtifactRow::ArtifactRow(const AppArtifact& artifact, const QIcon& icon, double fraction, std::function<void(bool)> setSelected, QWidget* parent)
    : QWidget(parent), artifact_(artifact), setSelected_(std::move(setSelected)), fraction_(fraction) {
    setAttribute(Qt::WA_Hover);
    const DynamicColor tint = ArtifactCategoryPresentation::tint(artifact_.category);
    const QString name = DisplayText::name(artifact_.path.filename());
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(18, 0, 0, 0);
    row->setSpacing(0);
    check_ = new ToolCheckBox(tint);
    check_->setAccessibleName(name);
    check_->setEnabled(!artifact_.isLocked());
    connect(check_, &QAbstractButton::clicked, this, [this](bool on) {
        check_->setChecked(ticked_);  // the caller reports the new tick back
        if (!artifact_.isLocked()) setSelected_(on);
    });
    row->addWidget(check_);
    if (artifact_.isLocked()) {
        // No tick to give: a lock stands in its place.
        check_->hide();
        auto* lock = new SymbolView(SymbolImage{.symbol = "lock.fill", .size = 13, .color = DynamicColor::tertiary()});
        lock->setFixedSize(check_->sizeHint());
        row->addWidget(lock);
    }
    ranked_ = new RankedRow(icon, ArtifactCategoryPresentation::symbol(artifact_.category), name, DisplayText::path(artifact_.path.parent_path()),
                            ByteFormatting::string(artifact_.size), fraction, tint);
    // Its clicks reach this row (it does not take them), so anywhere on it flips the tick.
    row->addWidget(ranked_, 1);
    QString tip = DisplayText::path(artifact_.path);
    auto addPill = [&](const QString& text, const char* symbol, const char* objectName) {
        auto* pill = new Pill(text, QLatin1String(symbol), DS::gray);
        pill->setObjectName(QLatin1String(objectName));
        row->addSpacing(12);
        row->addWidget(pill);
        row->addSpacing(18);
        return pill;
    };
    if (artifact_.isLocked()) {
        // A package's file: locked, and the package manager is named as the way to remove it.
        lock_ = addPill(lockTitle(), "lock.fill", "lockPill");
        tip += QLatin1Char('\n') + lockDetail();
    }
    // Why it is left unticked: each reason in the tooltip, the first of them on a pill.
    if (!artifact_.usedBy.empty()) {
        // Another install, or another application, uses it: said which.
        const QString install = artifact_.usedByName.isEmpty() ? installText(artifact_.usedBy) : artifact_.usedByName;
        usedBy_ = addPill(AppLocalization::format("uninstaller.usedBy", {isolatedText(install)}), "link", "usedByPill");
        tip += QLatin1Char('\n') + AppLocalization::format("uninstaller.usedBy.detail", {isolatedText(DisplayText::path(artifact_.usedBy))});
    }
    if (!artifact_.keptInDotfiles.empty()) {
        // The user's dotfiles repository keeps it, or may.
        const bool unread = artifact_.dotfilesUnread;
        if (!usedBy_)
            dotfiles_ = addPill(AppLocalization::format(unread ? "uninstaller.dotfiles.unread" : "uninstaller.dotfiles", {homeText(artifact_.keptInDotfiles, true)}),
                                "archivebox.fill", "dotfilesPill");
        tip += QLatin1Char('\n') + AppLocalization::format(unread ? "uninstaller.dotfiles.unread.detail" : "uninstaller.dotfiles.detail", {homeText(artifact_.keptInDotfiles, false)});
    }
    if (const char* whole = artifact_.whole ? wholeTextKey(*artifact_.whole) : nullptr) {
        // It is, or leads into, what may be the user's own work: said which.
        const QString kind = AppLocalization::string(whole);
        const bool linked = artifact_.leadsIntoWhole;
        if (!usedBy_ && !dotfiles_) whole_ = addPill(AppLocalization::format(linked ? "uninstaller.whole.linked" : "uninstaller.whole", {kind}), "folder.fill", "wholePill");
        tip += QLatin1Char('\n') + AppLocalization::format(linked ? "uninstaller.whole.linked.detail" : "uninstaller.whole.detail", {kind});
    }
    setToolTip(plainToolTip(tip));
    dimming_ = new QGraphicsOpacityEffect(this);
    setGraphicsEffect(dimming_);
    setTicked(artifact_.isSelected);
}

QString ArtifactRow::lockTitle() const {
    switch (artifact_.packageKind) {
    case PackageKind::debian: return AppLocalization::string("uninstaller.packageManaged");
    case PackageKind::flatpak:
    case PackageKind::userFlatpak: return QStringLiteral("Flatpak");
    case PackageKind::snap: return QStringLiteral("Snap");
    }
    return {};
}

namespace {

// A command shown in running text, kept whole on one line in either direction: "--user" parted from
// its command at a line's end would read as another command.
QString commandText(const QString& command) {
    return isolatedText(QString(command).replace(QLatin1Char(' '), QChar(0x00A0)).replace(QLatin1Char('-'), QChar(0x2011)));
}

}  // namespace

// Names the command that removes it: the store puts back an entry moved away.
QString ArtifactRow::lockDetail() const {
    const QString name = DisplayText::name(artifact_.package);
    switch (artifact_.packageKind) {
    case PackageKind::debian: return AppLocalization::format("uninstaller.packageManaged.detail", {name});
    case PackageKind::flatpak: return AppLocalization::format("uninstaller.storeManaged.detail", {lockTitle(), commandText(QStringLiteral("flatpak uninstall ") + name)});
    case PackageKind::userFlatpak: return AppLocalization::format("uninstaller.storeManaged.detail", {lockTitle(), commandText(QStringLiteral("flatpak uninstall --user ") + name)});
    case PackageKind::snap: return AppLocalization::format("uninstaller.storeManaged.detail", {lockTitle(), commandText(QStringLiteral("snap remove ") + name)});
    }
    return {};
}

void ArtifactRow::setTicked(bool ticked) {
    ticked_ = ticked;
    check_->setChecked(ticked);
    dimming_->setOpacity(shownOpacity());
}

double ArtifactRow::shownOpacity() const { return ticked_ ? 1.0 : 0.55; }

void ArtifactRow::paintEvent(QPaintEvent*) {
    if (!hovering_) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(ContinuousShape::roundedRect(rect(), 12), DS::raised.resolved());
}

void ArtifactRow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && !artifact_.isLocked()) setSelected_(!ticked_);
}

void ArtifactRow::enterEvent(QEnterEvent*) {
    hovering_ = true;
    update();
}

void ArtifactRow::leaveEvent(QEvent*) {
    hovering_ = false;
    update();
}

void ArtifactRow::contextMenuEvent(QContextMenuEvent* event) { BucketActions::showRevealMenu(this, event->globalPos(), artifact_.path); }
