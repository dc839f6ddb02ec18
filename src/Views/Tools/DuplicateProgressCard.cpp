#include "Views/Tools/DuplicateProgressCard.h"

#include "Models/AppLocalization.h"
#include "Foundation/PathText.h"
#include "Models/DisplayText.h"
#include "Views/Common/BusySpinner.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fmt.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/StatColumns.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/DesignSystem/ThinBar.h"
#include "Views/Tools/ToolTexts.h"

#include <QHBoxLayout>
#include <QLocale>
#include <QProgressBar>

#include <cmath>

DuplicateProgressCard::DuplicateProgressCard(const std::optional<DuplicateScanProgress>& progress, const DynamicColor& tint, QWidget* parent)
    : CardModifier(22, 18, parent), tint_(tint) {
    QVBoxLayout* stack = contentLayout();
    stack->setSpacing(16);
    auto* top = new QHBoxLayout;
    top->setSpacing(12);
    top->addWidget(new IconBadge(QStringLiteral("magnifyingglass"), tint, 30));
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    phase_ = new TextLabel({}, Fonts::system(16, QFont::DemiBold), tint);
    texts->addWidget(phase_);
    detail_ = new TextLabel({}, Fonts::system(12), DynamicColor::secondary());
    texts->addWidget(detail_);
    top->addLayout(texts, 1);
    top->addSpacing(8);
    percent_ = new TextLabel({}, Fonts::monospaced(22, QFont::Bold));
    percent_->setObjectName("progressPercent");
    top->addWidget(percent_);
    spinner_ = new BusySpinner;
    top->addWidget(spinner_);
    stack->addLayout(top);

    bar_ = new ThinBar(0, tint, 6);
    stack->addWidget(bar_);
    busyBar_ = new QProgressBar;
    busyBar_->setRange(0, 0);
    busyBar_->setTextVisible(false);
    busyBar_->setFixedHeight(6);
    QPalette palette = busyBar_->palette();
    palette.setColor(QPalette::Highlight, tint.resolved());
    busyBar_->setPalette(palette);
    stack->addWidget(busyBar_);
    stats_ = new StatColumns;
    stack->addWidget(stats_);
    path_ = new TextLabel({}, Fonts::system(11), DynamicColor::tertiary());
    path_->setElideMode(Qt::ElideMiddle);
    stack->addWidget(path_);
    setProgress(progress);
}

double DuplicateProgressCard::clampedFraction(double fraction) {
    if (std::isnan(fraction)) return 0;
    return std::clamp(fraction, 0.0, 1.0);
}

std::optional<double> DuplicateProgressCard::gauge(const std::optional<DuplicateScanProgress>& progress) {
    if (!progress || !progress->totalBytes || *progress->totalBytes < 1) return std::nullopt;
    return clampedFraction(double(progress->bytesProcessed) / double(*progress->totalBytes));
}

QString DuplicateProgressCard::detail(const std::optional<DuplicateScanProgress>& progress) {
    using ToolTexts::bytes;
    if (!progress) return AppLocalization::string("duplicates.progress.preparing");
    if (!progress->totalFiles || !progress->totalBytes)
        return AppLocalization::format("duplicates.progress.indexing", {qlonglong(progress->filesProcessed), bytes(progress->bytesProcessed)});
    return AppLocalization::format("duplicates.progress.comparing", {qlonglong(progress->filesProcessed), qlonglong(*progress->totalFiles),
                                                                     bytes(progress->bytesProcessed), bytes(*progress->totalBytes)});
}

std::vector<StatItem> DuplicateProgressCard::stats(const std::optional<DuplicateScanProgress>& progress, const DynamicColor& tint) {
    const QLocale locale = AppLocalization::activeLocale();
    const QString slash = QStringLiteral(" / ");
    QString files = QStringLiteral("0"), data = ToolTexts::bytes(0), groups = QStringLiteral("0");
    if (progress) {
        files = locale.toString(qlonglong(progress->filesProcessed));
        if (progress->totalFiles) files += slash + locale.toString(qlonglong(*progress->totalFiles));
        data = ToolTexts::bytes(progress->bytesProcessed);
        if (progress->totalBytes) data += slash + ToolTexts::bytes(*progress->totalBytes);
        groups = locale.toString(qlonglong(progress->groupsFound));
    }
    return {{AppLocalization::string("tools.progress.files"), files, tint},
            {AppLocalization::string("tools.progress.data"), data,
             DynamicColor::dynamic(tint.light(), tint.dark(), tint.lightAlpha() * 0.55, tint.darkAlpha() * 0.55)},
            {AppLocalization::string("tools.progress.groups"), groups, DS::gray}};
}

void DuplicateProgressCard::setProgress(const std::optional<DuplicateScanProgress>& progress) {
    const bool comparing = progress && progress->phase == DuplicateScanPhase::comparing;
    phase_->setText(AppLocalization::string(comparing ? QStringLiteral("duplicates.phase.comparing") : QStringLiteral("duplicates.phase.indexing")));
    detail_->setText(detail(progress));
    const std::optional<double> fraction = gauge(progress);
    percent_->setText(fraction ? Fmt::percent(*fraction) : QString());
    percent_->setVisible(fraction.has_value());
    spinner_->setVisible(!fraction);
    bar_->setVisible(fraction.has_value());
    // Without a gauge the hidden bar goes back to empty at once, so the next search's bar grows from
    // nothing instead of easing down from where the last one ended.
    bar_->setFraction(fraction.value_or(0));
    busyBar_->setVisible(!fraction);
    stats_->setItems(stats(progress, tint_));
    path_->setText(progress ? DisplayText::path(PathText::display(std::string_view(progress->path))) : QString());
    path_->setVisible(progress.has_value());
}

QString DuplicateProgressCard::percentText() const { return percent_->isVisibleTo(this) ? percent_->text() : QString(); }
