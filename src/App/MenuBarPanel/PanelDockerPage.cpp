#include "App/MenuBarPanel/PanelDockerPage.h"

#include "App/MenuBarPanel/PanelDockerRow.h"
#include "Models/AppLocalization.h"
#include "Services/DockerPanelModel.h"
#include "Views/Common/BusySpinner.h"
#include "Views/Common/RaisedPanel.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/SymbolButton.h"
#include "Views/DesignSystem/SymbolView.h"
#include "Views/DesignSystem/TextLabel.h"

#include <QHBoxLayout>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QWidget* labelled(const char* symbol, const QString& text, const QFont& font, const DynamicColor& color) {
    auto* box = new QWidget;
    auto* line = new QHBoxLayout(box);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(6);
    line->addWidget(new SymbolView({.symbol = symbol, .size = font.pixelSize() > 0 ? qreal(font.pixelSize()) : 13, .color = color}));
    line->addWidget(new TextLabel(text, font, color), 1);
    return box;
}

}  // namespace

PanelDockerPage::PanelDockerPage(const PanelContext& context, QWidget* parent) : PanelPage(parent), context_(context) {
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(12);
    auto* header = new QHBoxLayout;
    running_ = new TextLabel({}, Fonts::system(32, QFont::Bold));
    running_->setObjectName("runningCount");
    header->addWidget(running_, 0, Qt::AlignBaseline);
    header->addWidget(new TextLabel(AppLocalization::string("docker.running"), Fonts::system(13), DynamicColor::secondary()), 0, Qt::AlignBaseline);
    header->addStretch(1);
    refreshButton_ = new SymbolButton({.symbol = "arrow.clockwise", .size = 14});
    refreshButton_->setToolTip(AppLocalization::string("docker.refresh"));
    refreshButton_->setAccessibleName(AppLocalization::string("docker.refresh"));
    connect(refreshButton_, &QAbstractButton::clicked, this, [this] {
        if (context_.docker) context_.docker->refresh();
    });
    header->addWidget(refreshButton_);
    page->addLayout(header);
    stateArea_ = new QVBoxLayout;
    stateArea_->setContentsMargins(0, 0, 0, 0);
    page->addLayout(stateArea_);

    if (DockerPanelModel* model = context_.docker) {
        for (auto signal : {&DockerPanelModel::containersChanged, &DockerPanelModel::isLoadingChanged, &DockerPanelModel::busyIDsChanged,
                            &DockerPanelModel::errorChanged, &DockerPanelModel::actionErrorsChanged})
            connect(model, signal, this, &PanelDockerPage::rebuild);
    }
    rebuild();
}

void PanelDockerPage::rebuild() {
    DockerPanelModel* model = context_.docker;
    const std::vector<DockerContainer> none;
    const std::vector<DockerContainer>& containers = model ? model->containers() : none;
    running_->setText(AppLocalization::activeLocale().toString(qlonglong(std::count_if(containers.begin(), containers.end(), [](const DockerContainer& c) { return c.isRunning(); }))));

    auto* state = new QWidget;
    auto* stack = new QVBoxLayout(state);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(12);
    if (!model || model->isLoading()) {
        auto* loading = new QWidget;
        loading->setObjectName("loading");
        auto* line = new QHBoxLayout(loading);
        line->setContentsMargins(0, 0, 0, 0);
        line->setSpacing(8);
        line->addWidget(new BusySpinner);
        line->addWidget(new TextLabel(AppLocalization::string("docker.loading"), Fonts::system(13), DynamicColor::secondary()), 1);
        stack->addWidget(loading);
    } else if (model->error()) {
        auto* card = new RaisedPanel(12, 8);
        card->setObjectName("unavailable");
        card->contentLayout()->addWidget(labelled("shippingbox", AppLocalization::string("docker.unavailable"), Fonts::system(13, QFont::DemiBold),
                                                  DynamicColor::primary()));
        auto* detail = new TextLabel(*model->error(), Fonts::system(12), DynamicColor::secondary());
        detail->setObjectName("errorText");
        detail->setWordWrap(true);
        card->contentLayout()->addWidget(detail);
        stack->addWidget(card);
    } else if (containers.empty()) {
        auto* empty = labelled("shippingbox", AppLocalization::string("docker.empty"), Fonts::system(13), DynamicColor::secondary());
        empty->setObjectName("empty");
        empty->setContentsMargins(0, 12, 0, 12);
        stack->addWidget(empty);
    } else {
        auto* total = new TextLabel(AppLocalization::format("docker.total", {(long long)containers.size()}), Fonts::system(11), DynamicColor::secondary());
        total->setObjectName("total");
        stack->addWidget(total);
        auto* rows = new QWidget;
        auto* list = new QVBoxLayout(rows);
        list->setContentsMargins(0, 0, 0, 0);
        list->setSpacing(8);
        for (const DockerContainer& container : containers) {
            const std::optional<QString> failure =
                model->actionErrors().contains(container.id) ? std::optional<QString>(model->actionErrors().value(container.id)) : std::nullopt;
            list->addWidget(new PanelDockerRow(container, model->busyIDs().contains(container.id), failure,
                                               [model, container](DockerAction action) { model->perform(action, container); }));
        }
        auto* scroll = new QScrollArea;
        scroll->setObjectName("containerList");
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidgetResizable(true);
        scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scroll->setWidget(rows);
        scroll->viewport()->setAutoFillBackground(false);
        rows->setAutoFillBackground(false);
        scroll->setFixedHeight(std::min(350, rows->sizeHint().height()));
        stack->addWidget(scroll);
    }
    if (state_) {
        state_->hide();
        state_->deleteLater();
    }
    state_ = state;
    stateArea_->addWidget(state_);
}
