#include "Views/Shell/OnboardingView.h"

#include "Models/DisplayText.h"
#include "Views/Shell/PrivacySettingsButton.h"
#include "Models/AppLocalization.h"
#include "Services/AppState.h"
#include "Views/DesignSystem/BrandMark.h"
#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/Pill.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/DesignSystem/SymbolView.h"
#include "Views/DesignSystem/Symbols.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/DesignSystem/Transition.h"
#include "Views/Common/FadingStack.h"
#include "Views/Common/Hairline.h"
#include "Views/Shell/PreferencePicker.h"
#include "Views/Common/RaisedPanel.h"
#include "Views/Shell/SettingsView.h"

#include <QBoxLayout>
#include <QKeyEvent>
#include <QPainter>

#include <memory>

namespace {

constexpr int fadeMs = 200;

struct PageText {
    const char* eyebrow;
    const char* title;
    const char* detail;
};

const std::array<PageText, OnboardingView::pageCount> pageTexts{{
    {textKey("onboarding.1.eyebrow"), textKey("onboarding.1.title"), textKey("onboarding.1.detail")},
    {textKey("onboarding.2.eyebrow"), textKey("onboarding.2.title"), textKey("onboarding.2.detail")},
    {textKey("onboarding.3.eyebrow"), textKey("onboarding.3.title"), textKey("onboarding.3.detail")},
}};

struct Feature {
    const char* symbol;
    DynamicColor tint;
    const char* text;
};

QVBoxLayout* column(QWidget* owner, int spacing) {
    auto* layout = new QVBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

QHBoxLayout* row(QWidget* owner, int spacing) {
    auto* layout = new QHBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

TextLabel* wrapped(const QString& text, const QFont& font, const DynamicColor& color = DynamicColor::primary()) {
    auto* label = new TextLabel(text, font, color);
    label->setWordWrap(true);
    return label;
}

// A row on DS.raised: feature lines and the setup rows of the last page.
RaisedPanel* raisedRow(QWidget* content) {
    auto* panel = new RaisedPanel(0, 0);
    panel->contentLayout()->setContentsMargins(12, 8, 12, 8);
    panel->contentLayout()->addWidget(content);
    return panel;
}

QWidget* featureLine(const Feature& feature) {
    auto* content = new QWidget;
    auto* layout = row(content, 12);
    layout->addWidget(new IconBadge(QString::fromLatin1(feature.symbol), feature.tint, 30));
    layout->addWidget(new TextLabel(AppLocalization::string(feature.text), Fonts::system(14, QFont::Medium)), 1);
    return raisedRow(content);
}

// The content frame shared by every page: at most 480 wide at the leading edge, padded.
QWidget* pageFrame(const QString& symbol, const DynamicColor& tint, const PageText& text, const std::vector<QWidget*>& blocks) {
    auto* content = new QWidget;
    content->setMaximumWidth(480);
    auto* stack = column(content, 18);
    stack->addWidget(new IconBadge(symbol, tint, 56), 0, Qt::AlignLeading);
    stack->addWidget(wrapped(AppLocalization::string(text.title), Fonts::system(28, QFont::Bold)));
    stack->addWidget(wrapped(AppLocalization::string(text.detail), Fonts::system(14), DynamicColor::secondary()));
    for (QWidget* block : blocks) stack->addWidget(block);
    stack->addStretch(1);

    auto* page = new QWidget;
    auto* framing = row(page, 0);
    // 15 below rather than 20: the setup page in Arabic, whose lines are taller, needs those points.
    framing->setContentsMargins(40, 8, 40, 15);
    framing->addWidget(content, 1);
    framing->addStretch(0);
    return page;
}

QWidget* featureBlock(const std::vector<Feature>& features) {
    auto* block = new QWidget;
    auto* layout = column(block, 10);
    layout->setContentsMargins(0, 6, 0, 0);
    for (const Feature& feature : features) layout->addWidget(featureLine(feature));
    return block;
}

}  // namespace

// The round marker of a rail step, whose colours ease to a new state.
class OnboardingView::StepMarker : public QWidget {
public:
    explicit StepMarker(int number) : number_(number), transition_(new Transition(this, fadeMs, QEasingCurve::OutCubic)) { setFixedSize(26, 26); }

    void setState(StepState state) {
        if (state.selected == state_.selected && state.complete == state_.complete) return;
        from_ = fill(transition_->isRunning() ? transition_->progress() : 1);
        state_ = state;
        transition_->start();
    }
    const StepState& state() const { return state_; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill(transition_->progress()));
        painter.drawEllipse(QRectF(rect()));
        if (state_.complete) {
            Symbols::paint(painter, QRectF(rect()), QStringLiteral("checkmark"), 11, DS::teal.resolved());
            return;
        }
        painter.setFont(Fonts::system(12, QFont::Bold));
        painter.setPen(state_.selected ? DynamicColor::white().resolved() : DynamicColor::secondary().resolved());
        painter.drawText(rect(), Qt::AlignCenter, AppLocalization::activeLocale().toString(number_));
    }

private:
    QColor target() const {
        if (state_.selected) return DS::teal.resolved();
        if (state_.complete) return DS::teal.resolved(0.18);
        return DS::track.resolved();
    }
    QColor fill(qreal progress) const {
        const QColor to = target();
        if (!from_.isValid() || progress >= 1) return to;
        auto mix = [&](float a, float b) { return a + (b - a) * float(progress); };
        return QColor::fromRgbF(mix(from_.redF(), to.redF()), mix(from_.greenF(), to.greenF()), mix(from_.blueF(), to.blueF()),
                                mix(from_.alphaF(), to.alphaF()));
    }

    int number_;
    StepState state_;
    QColor from_;
    Transition* transition_;
};

// The short bar between two rail steps, teal once the step above is done.
class OnboardingView::Connector : public QWidget {
public:
    Connector() { setFixedSize(12 + 2, 26 + 8); }
    void setComplete(bool complete) {
        complete_ = complete;
        update();
    }
    bool isComplete() const { return complete_; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QRectF bar(12, 4, 2, 26);
        if (isRightToLeft()) bar.moveLeft(width() - 12 - 2);
        painter.fillPath(ContinuousShape::capsule(bar), complete_ ? DS::teal.resolved(0.7) : DS::track.resolved());
    }

private:
    bool complete_ = false;
};

OnboardingView::OnboardingView(AppState& state, QWidget* parent) : QWidget(parent), state_(state) {
    // 790 by 560 in every language: the texts are written to fit it.
    constexpr int width = 790, height = 560, margin = 16, spacing = 16;
    setFixedSize(width, height);
    setFocusPolicy(Qt::StrongFocus);
    auto* layout = row(this, spacing);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->addWidget(makeRail());
    layout->addWidget(makePageArea(), 1);
    showPage(0);
}

QWidget* OnboardingView::makeRail() {
    auto* rail = new CardModifier(22, 18);
    rail->setFixedWidth(210);
    QVBoxLayout* content = rail->contentLayout();

    auto* brand = new QWidget;
    auto* brandRow = row(brand, 10);
    brandRow->addWidget(new BrandMark(30));
    brandRow->addWidget(new TextLabel(QStringLiteral("Quarnell"), Fonts::system(16, QFont::DemiBold)), 1);
    content->addWidget(brand);
    content->addSpacing(32);

    for (int index = 0; index < pageCount; ++index) {
        if (index > 0) content->addWidget(connectors_[size_t(index - 1)] = new Connector);
        auto* step = new QWidget;
        auto* stepRow = row(step, 12);
        stepRow->addWidget(markers_[size_t(index)] = new StepMarker(index + 1));
        auto* title = new TextLabel(AppLocalization::string(pageTexts[size_t(index)].eyebrow), Fonts::system(12, QFont::Medium));
        title->setWordWrap(true);
        title->setMaximumLineCount(2);
        stepRow->addWidget(stepTitles_[size_t(index)] = title, 1, Qt::AlignVCenter);
        content->addWidget(step);
    }
    content->addStretch(1);
    content->addWidget(new Pill(AppLocalization::string("privacy.local"), QStringLiteral("lock.shield.fill"), DS::green), 0, Qt::AlignLeading);
    return rail;
}

QWidget* OnboardingView::makePageArea() {
    auto* area = new CardModifier(0, 18);
    QVBoxLayout* content = area->contentLayout();

    auto* topBar = new QWidget;
    auto* top = row(topBar, 8);
    top->setContentsMargins(24, 20, 24, 0);
    top->addStretch(1);
    top->addWidget(new SymbolView({.symbol = QStringLiteral("globe"), .size = 12, .color = DynamicColor::secondary()}));
    top->addWidget(languagePicker_ = SettingsView::makeLanguagePicker(130));
    content->addWidget(topBar);

    content->addWidget(pages_ = new FadingStack(fadeMs), 1);
    content->addWidget(new Hairline);

    auto* bottomBar = new QWidget;
    auto* bottom = row(bottomBar, 0);
    bottom->setContentsMargins(24, 16, 24, 16);
    back_ = new StyledButton(AppLocalization::string("action.back"), QString(), SoftButtonStyle{DynamicColor::primary()});
    connect(back_, &StyledButton::clicked, this, &OnboardingView::goBack);
    bottom->addWidget(back_);
    bottom->addStretch(1);
    counter_ = new TextLabel(QString(), Fonts::system(12, QFont::Medium), DynamicColor::secondary());
    bottom->addWidget(counter_);
    bottom->addStretch(1);

    // The label reads text, then an arrow pointing the way the pages go.
    forward_ = new StyledButton(QString(), QString(), TintedButtonStyle{DS::teal});
    auto* label = row(forward_, 6);
    label->setContentsMargins(16, 8, 16, 8);
    forwardText_ = new TextLabel(QString(), Fonts::system(13, QFont::DemiBold), DynamicColor::white());
    auto* arrow = new SymbolView({.symbol = QStringLiteral("arrow.forward"), .size = 11, .color = DynamicColor::white(), .mirroredInRightToLeft = true});
    label->addWidget(forwardText_);
    label->addWidget(arrow);
    forwardText_->setAttribute(Qt::WA_TransparentForMouseEvents);
    arrow->setAttribute(Qt::WA_TransparentForMouseEvents);
    connect(forward_, &StyledButton::clicked, this, &OnboardingView::goForward);
    bottom->addWidget(forward_);
    content->addWidget(bottomBar);
    return area;
}

QWidget* OnboardingView::makePage(int page) {
    if (page == 0)
        return pageFrame(QStringLiteral("square.3.layers.3d.down.right"), DS::teal, pageTexts[0],
                         {featureBlock({{"view.3d", DS::blue, textKey("onboarding.feature.3d")},
                                        {"magnifyingglass", DS::purple, textKey("onboarding.feature.search")},
                                        {"waveform.path.ecg", DS::pink, textKey("onboarding.feature.monitor")}})});
    if (page == 1)
        return pageFrame(QStringLiteral("lock.shield.fill"), DS::green, pageTexts[1],
                         {featureBlock({{"internaldrive.fill", DS::green, textKey("settings.localOnly")},
                                        {"network.slash", DS::green, textKey("settings.noUploads")},
                                        {"person.crop.circle.badge.xmark", DS::green, textKey("settings.noTracking")}})});

    // Setup: the scan folder and file access.
    auto* folderBlock = new QWidget;
    auto* folderColumn = column(folderBlock, 8);
    folderColumn->setContentsMargins(0, 6, 0, 0);
    folderColumn->addWidget(new TextLabel(AppLocalization::string("settings.scanLocation"), Fonts::system(13), DynamicColor::secondary()));
    auto* folderRow = new QWidget;
    auto* folder = row(folderRow, 12);
    folder->addWidget(new IconBadge(QStringLiteral("folder.fill"), DS::amber, 30));
    auto* path = new TextLabel(DisplayText::path(state_.scanRoot()), Fonts::monospaced(12));
    path->setElideMode(Qt::ElideMiddle);
    path->setLayoutDirection(Qt::LeftToRight);
    path->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    connect(&state_, &AppState::scanRootChanged, path, [this, path] { path->setText(DisplayText::path(state_.scanRoot())); });
    folder->addWidget(path, 1);
    folder->addSpacing(8);
    auto* choose = new StyledButton(AppLocalization::string("scan.choose"), QString(), SoftButtonStyle{DynamicColor::primary()});
    connect(choose, &StyledButton::clicked, this, [this] { state_.chooseScanFolder(); });
    folder->addWidget(choose);
    folderColumn->addWidget(raisedRow(folderRow));

    auto* accessRow = new QWidget;
    auto* access = row(accessRow, 12);
    access->addWidget(new IconBadge(QStringLiteral("lock.open.fill"), DS::blue, 30));
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(new TextLabel(AppLocalization::string("settings.fullDisk"), Fonts::system(14, QFont::Medium)));
    texts->addWidget(wrapped(AppLocalization::string("settings.fullDisk.detail"), Fonts::system(12), DynamicColor::secondary()));
    access->addLayout(texts, 1);
    access->addSpacing(8);
    access->addWidget(makePrivacySettingsButton(state_, DS::blue));

    return pageFrame(QStringLiteral("folder.badge.gearshape"), DS::amber, pageTexts[2], {folderBlock, raisedRow(accessRow)});
}

void OnboardingView::showPage(int page) {
    page_ = page;
    pages_->setCurrent(makePage(page));
    for (int index = 0; index < pageCount; ++index) {
        const StepState step = stepState(index);
        markers_[size_t(index)]->setState(step);
        stepTitles_[size_t(index)]->setFont(Fonts::system(12, step.selected ? QFont::DemiBold : QFont::Medium));
        stepTitles_[size_t(index)]->setColor(step.selected ? DynamicColor::primary() : DynamicColor::secondary());
    }
    for (int index = 0; index < pageCount - 1; ++index) connectors_[size_t(index)]->setComplete(connectorComplete(index));
    back_->setVisible(page_ > 0);
    counter_->setText(stepCounterText());
    forwardText_->setText(forwardTitle());
    forward_->setMinimumSize(forward_->layout()->sizeHint());
}

OnboardingView::StepState OnboardingView::stepState(int index) const {
    return {page_ == index, index < pageCount - 1 && page_ > index};
}

bool OnboardingView::connectorComplete(int index) const { return page_ > index; }

QString OnboardingView::forwardTitle() const {
    return page_ == pageCount - 1 ? AppLocalization::string("onboarding.start") : AppLocalization::string("action.continue");
}

QString OnboardingView::stepCounterText() const { return AppLocalization::format("onboarding.step", {page_ + 1, pageCount}); }

QWidget* OnboardingView::pageWidget() const { return pages_->current(); }

void OnboardingView::goBack() {
    if (page_ > 0) showPage(page_ - 1);
}

void OnboardingView::goForward() {
    if (page_ == pageCount - 1) {
        emit completed();
        return;
    }
    showPage(page_ + 1);
}

void OnboardingView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        goForward();
        return;
    }
    QWidget::keyPressEvent(event);
}

void OnboardingView::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), DS::canvas.resolved()); }
