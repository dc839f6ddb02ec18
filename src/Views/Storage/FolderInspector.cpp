#include "Views/Storage/FolderInspector.h"

#include "Foundation/PathText.h"
#include "Models/DisplayText.h"
#include "Views/Common/TextSelection.h"
#include "Views/Common/EntryKind.h"
#include "Models/AppLocalization.h"
#include "Models/ScanSnapshot.h"
#include "Models/ByteFormatting.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fmt.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/HeroValue.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/IconImageView.h"
#include "Views/DesignSystem/KeyValueRow.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/DesignSystem/ThinBar.h"
#include "Views/Common/FileActions.h"
#include "Views/Common/FileIcon.h"
#include "Views/Common/PlainToolTip.h"
#include "Views/Common/RaisedPanel.h"
#include "Views/Common/ValueAndUnit.h"

#include <QHBoxLayout>
#include <QLocale>
#include <QMouseEvent>
#include <QVBoxLayout>

// One file of the largest-inside list: a click reveals it in the file manager.
class FolderInspector::InsideFileRow : public QWidget {
public:
    InsideFileRow() {
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(8);
        icon_ = new IconImageView({}, 18);
        row->addWidget(icon_);
        name_ = new TextLabel({}, Fonts::system(13));
        name_->setElideMode(Qt::ElideMiddle);
        row->addWidget(name_, 1);
        row->addSpacing(8);
        size_ = new TextLabel({}, Fonts::system(13), DynamicColor::secondary());
        row->addWidget(size_);
        setCursor(Qt::PointingHandCursor);
    }

    void setFile(const ScannedFile& file) {
        path_ = file.path;
        icon_->setIcon(fileIcon(file.path));
        name_->setText(DisplayText::name(file.path.filename()));
        size_->setText(ByteFormatting::string(file.size));
        setToolTip(plainToolTip(DisplayText::path(file.path)));
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) FileActions::reveal(path_);
    }

private:
    IconImageView* icon_;
    TextLabel* name_;
    TextLabel* size_;
    std::filesystem::path path_;
};

std::vector<ScannedFile> FolderInspector::largestInside(const ScanSnapshot& snapshot, const StorageBucket& bucket) {
    std::vector<ScannedFile> inside;
    const std::string prefix = bucket.path + "/";
    for (const ScannedFile& file : snapshot.largestFiles) {
        if (inside.size() == 5) break;
        if (file.path.string().starts_with(prefix)) inside.push_back(file);
    }
    return inside;
}

FolderInspector::FolderInspector(DynamicColor emptyTint, BucketActions::Focus onFocus, QWidget* parent)
    : QWidget(parent), emptyTint_(emptyTint) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);

    empty_ = new QWidget;
    auto* emptyStack = new QVBoxLayout(empty_);
    emptyStack->setContentsMargins(0, 0, 0, 0);
    emptyStack->setSpacing(12);
    emptyStack->addStretch(1);
    emptyStack->addWidget(new IconBadge("cursorarrow.click.2", emptyTint_, 48), 0, Qt::AlignHCenter);
    auto* title = new TextLabel(AppLocalization::string("storage.inspector.empty"), Fonts::system(16, QFont::DemiBold));
    title->setAlignment(Qt::AlignHCenter);
    emptyStack->addWidget(title);
    auto* detail = new TextLabel(AppLocalization::string("storage.inspector.empty.detail"), Fonts::system(13), DynamicColor::secondary());
    detail->setWordWrap(true);
    detail->setAlignment(Qt::AlignHCenter);
    emptyStack->addWidget(detail);
    emptyStack->addStretch(1);
    outer->addWidget(empty_, 1);

    details_ = new QWidget;
    auto* stack = new QVBoxLayout(details_);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(18);

    auto* header = new QHBoxLayout;
    header->setSpacing(12);
    icon_ = new IconImageView({}, 36);
    header->addWidget(icon_);
    auto* titles = new QVBoxLayout;
    titles->setSpacing(2);
    name_ = new TextLabel({}, Fonts::system(16, QFont::DemiBold));
    name_->setWordWrap(true);
    name_->setMaximumLineCount(2);
    titles->addWidget(name_);
    kind_ = new TextLabel({}, Fonts::system(13), DynamicColor::secondary());
    titles->addWidget(kind_);
    header->addLayout(titles, 1);
    stack->addLayout(header);

    auto* sizeBlock = new QVBoxLayout;
    sizeBlock->setSpacing(10);
    size_ = new HeroValue(AppLocalization::string("storage.sizeOnDisk"), {}, {}, 34);
    sizeBlock->addWidget(size_);
    shareBar_ = new ThinBar(0, emptyTint_, 5);
    sizeBlock->addWidget(shareBar_);
    stack->addLayout(sizeBlock);

    auto* facts = new RaisedPanel(14, 10);
    files_ = new KeyValueRow(AppLocalization::string("scan.files"), {});
    facts->contentLayout()->addWidget(files_);
    share_ = new KeyValueRow(AppLocalization::string("storage.shareOfScan"), {});
    facts->contentLayout()->addWidget(share_);
    stack->addWidget(facts);

    path_ = new TextLabel({}, Fonts::monospaced(11), DynamicColor::tertiary());
    path_->setLayoutDirection(Qt::LeftToRight);
    path_->setWordWrap(true);
    path_->setMaximumLineCount(2);
    path_->setElideMode(Qt::ElideMiddle);
    path_->setObjectName("inspectorPath");
    TextSelection::attach(path_, [this] { return bucket_ ? PathText::display(bucket_->path) : QString(); });
    stack->addWidget(path_);

    inside_ = new QWidget;
    auto* list = new QVBoxLayout(inside_);
    list->setContentsMargins(0, 0, 0, 0);
    list->setSpacing(8);
    list->addWidget(new TextLabel(AppLocalization::string("storage.largestInside"), Fonts::system(12, QFont::Medium), DynamicColor::tertiary()));
    for (InsideFileRow*& row : insideRows_) {
        row = new InsideFileRow;
        list->addWidget(row);
    }
    stack->addWidget(inside_);

    stack->addStretch(1);

    auto* actions = new QVBoxLayout;
    actions->setSpacing(8);
    auto* pair = new QHBoxLayout;
    pair->setSpacing(8);
    auto* reveal = new StyledButton(AppLocalization::string("action.reveal"), {}, SoftButtonStyle{DynamicColor::primary()});
    focusButton_ = new StyledButton(AppLocalization::string("storage.focus"), {}, TintedButtonStyle{emptyTint_});
    for (StyledButton* button : {reveal, focusButton_}) {
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        pair->addWidget(button);
    }
    actions->addLayout(pair);
    auto* copy = new StyledButton(AppLocalization::string("storage.copyPath"), "doc.on.doc", SoftButtonStyle{DynamicColor::secondary()});
    copy->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    actions->addWidget(copy);
    stack->addLayout(actions);
    outer->addWidget(details_, 1);
    details_->hide();

    // Each action works on the bucket shown when it is pressed.
    connect(reveal, &QAbstractButton::clicked, this, [this] {
        if (bucket_) FileActions::reveal(bucket_->path);
    });
    connect(focusButton_, &QAbstractButton::clicked, this, [this, onFocus = std::move(onFocus)] {
        if (!bucket_ || !onFocus) return;
        const StorageBucket shown = *bucket_;  // focusing may show another bucket here
        onFocus(shown);
    });
    connect(copy, &QAbstractButton::clicked, this, [this] {
        if (bucket_) FileActions::copyPath(bucket_->path);
    });
}

void FolderInspector::setContent(const ScanSnapshot& snapshot, std::optional<StorageBucket> bucket, DynamicColor tint) {
    bucket_ = std::move(bucket);
    empty_->setVisible(!bucket_);
    details_->setVisible(bucket_.has_value());
    if (!bucket_) return;

    const double share = snapshot.totalSize >= 1 ? double(bucket_->size) / double(snapshot.totalSize) : 0;
    icon_->setIcon(fileIcon(bucket_->path));
    name_->setText(DisplayText::name(bucket_->name()));
    kind_->setText(EntryKind::text(bucket_->path));
    const ValueAndUnit size = ValueAndUnit::split(ByteFormatting::string(bucket_->size));
    size_->setValue(size.value);
    size_->setUnit(size.unit);
    shareBar_->setTint(tint);
    shareBar_->setFraction(share);
    files_->setValue(AppLocalization::activeLocale().toString(qlonglong(bucket_->fileCount)));
    share_->setValue(Fmt::finePercent(share));
    path_->setText(DisplayText::path(bucket_->path));

    const std::vector<ScannedFile> inside = largestInside(snapshot, *bucket_);
    inside_->setVisible(!inside.empty());
    for (std::size_t i = 0; i < insideRows_.size(); ++i) {
        if (i < inside.size()) insideRows_[i]->setFile(inside[i]);
        insideRows_[i]->setVisible(i < inside.size());
    }

    focusButton_->setButtonStyle(TintedButtonStyle{tint});
    focusButton_->setEnabled(BucketActions::canFocus(*bucket_));  // only folders become the scan folder
    focusButton_->setToolTip(focusButton_->isEnabled() ? QString() : plainToolTip(AppLocalization::string("storage.focus.onlyFolders")));
}
