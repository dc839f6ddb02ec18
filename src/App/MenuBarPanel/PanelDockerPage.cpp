#include "App/MenuBarPanel/PanelDockerPage.h"

#include "App/MenuBarPanel/DockerMessageLabel.h"
#include "App/MenuBarPanel/PanelDockerRow.h"
#include "Models/AppLocalization.h"
#include "Services/DockerPanelModel.h"
#include "Views/Common/BusySpinner.h"
#include "Views/Common/RaisedPanel.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/SymbolButton.h"
#include "Views/DesignSystem/SymbolView.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Tools/LazyRowStack.h"

#include <QEvent>
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

// As tall as its rows laid out at its width, wrapped failures included, up to the cap; past it, it scrolls.
class CappedScrollArea : public QScrollArea {
public:
    explicit CappedScrollArea(int cap) : cap_(cap) {
        QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        policy.setHeightForWidth(true);
        setSizePolicy(policy);
    }

    void setRows(QWidget* rows) {
        setWidget(rows);
        rows->installEventFilter(this);
    }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override {
        const QLayout* rows = widget() ? widget()->layout() : nullptr;
        if (!rows) return 0;
        const int content = rows->hasHeightForWidth() ? rows->totalHeightForWidth(width) : rows->totalSizeHint().height();
        return std::min(cap_, content);
    }
    QSize sizeHint() const override {
        const int width = this->width() > 0 ? this->width() : QScrollArea::sizeHint().width();
        return {QScrollArea::sizeHint().width(), heightForWidth(width)};
    }
    QSize minimumSizeHint() const override { return {0, 0}; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Rows that were added, grew or wrapped change the list's height, and with it the panel's.
        if (watched == widget() && event->type() == QEvent::LayoutRequest) updateGeometry();
        return QScrollArea::eventFilter(watched, event);
    }

private:
    int cap_;
};

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

    loading_ = new QWidget;
    loading_->setObjectName("loading");
    auto* line = new QHBoxLayout(loading_);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(8);
    line->addWidget(new BusySpinner);
    line->addWidget(new TextLabel(AppLocalization::string("docker.loading"), Fonts::system(13), DynamicColor::secondary()), 1);
    page->addWidget(loading_);

    auto* card = new RaisedPanel(12, 8);
    card->setObjectName("unavailable");
    card->contentLayout()->addWidget(
        labelled("shippingbox", AppLocalization::string("docker.unavailable"), Fonts::system(13, QFont::DemiBold), DynamicColor::primary()));
    errorText_ = new DockerMessageLabel(Fonts::system(12), DynamicColor::secondary());
    errorText_->setObjectName("errorText");
    card->contentLayout()->addWidget(errorText_);
    unavailable_ = card;
    page->addWidget(unavailable_);

    empty_ = labelled("shippingbox", AppLocalization::string("docker.empty"), Fonts::system(13), DynamicColor::secondary());
    empty_->setObjectName("empty");
    empty_->setContentsMargins(0, 12, 0, 12);
    page->addWidget(empty_);

    total_ = new TextLabel({}, Fonts::system(11), DynamicColor::secondary());
    total_->setObjectName("total");
    page->addWidget(total_);
    auto* scroll = new CappedScrollArea(listHeight);
    scroll->setObjectName("containerList");
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rows_ = new LazyRowStack;
    rows_->setSpacing(8);
    rows_->setAutoFillBackground(false);
    scroll->setRows(rows_);
    scroll->viewport()->setAutoFillBackground(false);
    rows_->followScrolling(scroll);
    list_ = scroll;
    page->addWidget(list_);

    if (DockerPanelModel* model = context_.docker) {
        for (auto signal : {&DockerPanelModel::containersChanged, &DockerPanelModel::isLoadingChanged, &DockerPanelModel::busyIDsChanged,
                            &DockerPanelModel::errorChanged, &DockerPanelModel::actionErrorsChanged})
            connect(model, signal, this, &PanelDockerPage::follow);
    }
    follow();
}

std::vector<PanelDockerRow*> PanelDockerPage::builtRows() const {
    std::vector<PanelDockerRow*> rows;
    for (std::size_t i = 0; i < rows_->builtCount(); ++i) rows.push_back(static_cast<PanelDockerRow*>(rows_->row(i)));
    return rows;
}

void PanelDockerPage::follow() {
    DockerPanelModel* model = context_.docker;
    const std::vector<DockerContainer> none;
    const std::vector<DockerContainer>& containers = model ? model->containers() : none;
    running_->setText(AppLocalization::activeLocale().toString(qlonglong(std::count_if(containers.begin(), containers.end(), [](const DockerContainer& c) { return c.isRunning(); }))));

    const bool loading = !model || model->isLoading();
    const bool failed = !loading && model->error().has_value();
    const bool empty = !loading && !failed && containers.empty();
    const bool listed = !loading && !failed && !empty;
    loading_->setVisible(loading);
    unavailable_->setVisible(failed);
    if (failed) errorText_->setMessage(*model->error());
    empty_->setVisible(empty);
    total_->setVisible(listed);
    list_->setVisible(listed);
    // Hidden, the rows stay as they are, and so does the scroll position, until the list is back.
    if (!listed) return;
    total_->setText(AppLocalization::format("docker.total", {(long long)containers.size()}));
    std::vector<std::string> keys;
    keys.reserve(containers.size());
    for (const DockerContainer& container : containers) keys.push_back(container.id.toStdString());
    // Rows are made and refreshed from the model as it stands when the stack gets to them.
    auto present = [model](std::size_t index, QWidget* row) {
        const DockerContainer& container = model->containers()[index];
        const auto failure = model->actionErrors().constFind(container.id);
        static_cast<PanelDockerRow*>(row)->present(container, model->busyIDs().contains(container.id),
                                                   failure == model->actionErrors().constEnd() ? std::nullopt : std::optional<QString>(*failure));
    };
    rows_->setRows(
        std::move(keys),
        [model, present](std::size_t index) {
            auto* row = new PanelDockerRow([model](DockerAction action, const DockerContainer& container) { model->perform(action, container); });
            present(index, row);
            return row;
        },
        present);
}
