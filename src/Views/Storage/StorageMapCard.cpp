#include "Views/Storage/StorageMapCard.h"

#include "Models/AppLocalization.h"
#include "Views/Storage/BucketSelection.h"
#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/PillTabBar.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Storage/FolderMapView.h"
#include "Views/Common/PlainToolTip.h"
#include "Views/Storage/StorageMap3DView.h"
#include "Views/Storage/StorageRibbon.h"
#include "Views/Storage/TreemapView.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace {

constexpr std::size_t maximumBoxes = 28;

}  // namespace

// The map's ground: DS.canvas in a rounded rectangle of radius 14, clipping what lies on it; an
// optional hint floats at its bottom-leading corner.
namespace {

// Paints the card's surface over the map area's corners, outside its rounded rectangle: the map
// inside (a scroll bar, a tile) is cut to the rounded shape, with smooth edges a mask would lack.
class RoundedCorners : public QWidget {
public:
    explicit RoundedCorners(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_TransparentForMouseEvents); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath outside;
        outside.addRect(QRectF(rect()));
        painter.fillPath(outside.subtracted(ContinuousShape::roundedRect(QRectF(rect()), StorageMapCard::mapRadius)), DS::card.resolved());
    }
};

}  // namespace

class StorageMapCard::MapArea : public QWidget {
public:
    explicit MapArea(QWidget* parent = nullptr) : QWidget(parent), corners_(new RoundedCorners(this)) {
        setFixedHeight(520);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
    }

    // Keeps the corners over a map that was just put in.
    void raiseCorners() {
        corners_->raise();
        if (hint_) hint_->raise();
    }

    void setHint(QWidget* hint) {
        delete hint_;
        hint_ = hint;
        if (!hint_) return;
        hint_->setParent(this);
        hint_->adjustSize();
        placeHint();
        hint_->show();
        hint_->raise();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(ContinuousShape::roundedRect(QRectF(rect()), mapRadius), DS::canvas.resolved());
    }
    void resizeEvent(QResizeEvent*) override {
        corners_->setGeometry(rect());
        placeHint();
    }

private:
    void placeHint() {
        if (!hint_) return;
        const int x = layoutDirection() == Qt::RightToLeft ? width() - 12 - hint_->width() : 12;
        hint_->move(x, height() - 12 - hint_->height());
    }

    RoundedCorners* corners_;
    QPointer<QWidget> hint_;
};

namespace {

// The 3D map's hint of its controls, in a translucent capsule at the map's bottom-leading corner.
class ControlsHint : public QWidget {
public:
    explicit ControlsHint(QWidget* parent = nullptr) : QWidget(parent) {
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(10, 5, 10, 5);
        layout->addWidget(new TextLabel(AppLocalization::string("storage.map.controls"), Fonts::system(12), DynamicColor::secondary()));
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(ContinuousShape::capsule(QRectF(rect())), DS::card.resolved(0.72));
    }
};

}  // namespace

StorageMapCard::StorageMapCard(BucketSelection* selection, DynamicColor tint, BucketActions::Focus onFocus, QWidget* parent)
    : CardModifier(22, 18, parent), selection_(selection), tint_(tint), onFocus_(std::move(onFocus)) {
    QVBoxLayout* stack = contentLayout();
    stack->setSpacing(18);

    auto* header = new QHBoxLayout;
    header->setSpacing(12);
    header->addWidget(new IconBadge("square.3.layers.3d", tint_, 30));
    auto* titles = new QVBoxLayout;
    titles->setSpacing(2);
    titles->addWidget(new TextLabel(AppLocalization::string("storage.map"), Fonts::system(16, QFont::DemiBold), tint_));
    subtitle_ = new TextLabel({}, Fonts::system(13), DynamicColor::secondary());
    titles->addWidget(subtitle_);
    header->addLayout(titles, 1);
    header->addSpacing(12);
    resetButton_ = new StyledButton({}, "view.3d", SoftButtonStyle{DynamicColor::primary()});
    resetButton_->setToolTip(plainToolTip(AppLocalization::string("storage.map.reset")));
    resetButton_->setAccessibleName(AppLocalization::string("storage.map.reset"));
    connect(resetButton_, &QAbstractButton::clicked, this, [this] {
        ++resetCameraToken_;
        if (auto* view = qobject_cast<StorageMap3DView*>(map_)) view->setResetToken(resetCameraToken_);
    });
    header->addWidget(resetButton_);
    std::vector<TabItem> tabs;
    for (StorageMapMode mode : allCases<StorageMapMode>())
        tabs.push_back({rawText(mode), AppLocalization::string(tabTitleKey(mode)), symbol(mode), tint_});
    modes_ = new PillTabBar(tabs, rawText(mode_), true);
    modes_->setAccessibleName(AppLocalization::string("storage.map.mode"));
    connect(modes_, &PillTabBar::selectionChanged, this, [this](const QString& id) {
        if (auto mode = fromRawText<StorageMapMode>(id)) setMode(*mode);
    });
    header->addWidget(modes_);
    stack->addLayout(header);

    ribbon_ = new StorageRibbon(selection_);
    stack->addWidget(ribbon_);
    mapArea_ = new MapArea;
    stack->addWidget(mapArea_);
}

void StorageMapCard::setSnapshot(const ScanSnapshot& snapshot, std::vector<const StorageBucket*> visible, const StorageRankPalette& palette) {
    palette_ = palette;
    totalSize_ = snapshot.totalSize;
    scanHasEntries_ = !snapshot.buckets.empty();
    subtitle_->setText(AppLocalization::format("storage.folderCount", {qlonglong(snapshot.buckets.size())}));
    ribbon_->setBuckets(snapshot.buckets, snapshot.totalSize, palette_);
    if (map_) {
        setVisible(std::move(visible));  // the map stays; only a new mode makes a new one
    } else {
        visible_ = std::move(visible);
        showMap();
    }
}

void StorageMapCard::setVisible(std::vector<const StorageBucket*> visible) {
    visible_ = std::move(visible);
    if (auto* treemap = qobject_cast<TreemapView*>(map_)) {
        treemap->setItems(visible_, totalSize_, palette_);
    } else if (auto* folders = qobject_cast<FolderMapView*>(map_)) {
        folders->setItems(visible_, totalSize_, palette_, scanHasEntries_);
    } else if (auto* boxes = qobject_cast<StorageMap3DView*>(map_)) {
        std::vector<StorageBucket> items;
        for (std::size_t i = 0; i < visible_.size() && i < maximumBoxes; ++i) items.push_back(*visible_[i]);
        boxes->load(items);
    }
}

void StorageMapCard::setMode(StorageMapMode mode) {
    modes_->setSelection(rawText(mode));
    if (mode == mode_ && map_) return;
    mode_ = mode;
    showMap();
}

void StorageMapCard::showMap() {
    resetButton_->setVisible(mode_ == StorageMapMode::threeD);
    delete map_;
    auto* layout = static_cast<QVBoxLayout*>(mapArea_->layout());
    layout->setContentsMargins(0, 0, 0, 0);
    switch (mode_) {
    case StorageMapMode::blocks:
        layout->setContentsMargins(6, 6, 6, 6);
        map_ = new TreemapView(selection_, onFocus_);
        break;
    case StorageMapMode::folders:
        map_ = new FolderMapView(selection_, onFocus_);
        break;
    case StorageMapMode::threeD: {
        auto* view = new StorageMap3DView(selection_);
        view->setResetToken(resetCameraToken_);  // a new map takes any token but 0 as a reset
        map_ = view;
        break;
    }
    }
    layout->addWidget(map_);
    mapArea_->setHint(mode_ == StorageMapMode::threeD ? new ControlsHint(mapArea_) : nullptr);
    mapArea_->raiseCorners();
    setVisible(visible_);
}
