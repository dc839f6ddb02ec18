#include "Views/Storage/FolderInspector.h"

#include "Views/Common/EntryKind.h"
#include "Models/AppLocalization.h"
#include "Models/ScanSnapshot.h"
#include "Models/ByteFormatting.h"
#include "Foundation/PathText.h"
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

namespace {

// One file of the largest-inside list: a click reveals it in the file manager.
class InsideFileRow : public QWidget {
public:
    explicit InsideFileRow(ScannedFile file, QWidget* parent = nullptr) : QWidget(parent), file_(std::move(file)) {
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(8);
        row->addWidget(new IconImageView(fileIcon(file_.path), 18));
        auto* name = new TextLabel(PathText::display(file_.path.filename()), Fonts::system(13));
        name->setElideMode(Qt::ElideMiddle);
        row->addWidget(name, 1);
        row->addSpacing(8);
        row->addWidget(new TextLabel(ByteFormatting::string(file_.size), Fonts::system(13), DynamicColor::secondary()));
        setToolTip(plainToolTip(PathText::display(file_.path)));
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) FileActions::reveal(file_.path);
    }

private:
    ScannedFile file_;
};

}  // namespace

std::vector<ScannedFile> FolderInspector::largestInside(const ScanSnapshot& snapshot, const StorageBucket& bucket) {
    std::vector<ScannedFile> inside;
    const std::string prefix = bucket.path + "/";
    for (const ScannedFile& file : snapshot.largestFiles) {
        if (inside.size() == 5) break;
        if (file.path.string().starts_with(prefix)) inside.push_back(file);
    }
    return inside;
}

FolderInspector::FolderInspector(const ScanSnapshot& snapshot, std::optional<StorageBucket> bucket, DynamicColor tint,
                                 BucketActions::Focus onFocus, QWidget* parent)
    : QWidget(parent) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(18);

    if (!bucket) {
        stack->addStretch(1);
        auto* empty = new QVBoxLayout;
        empty->setSpacing(12);
        empty->addWidget(new IconBadge("cursorarrow.click.2", tint, 48), 0, Qt::AlignHCenter);
        auto* title = new TextLabel(AppLocalization::string("storage.inspector.empty"), Fonts::system(16, QFont::DemiBold));
        title->setAlignment(Qt::AlignHCenter);
        empty->addWidget(title);
        auto* detail = new TextLabel(AppLocalization::string("storage.inspector.empty.detail"), Fonts::system(13), DynamicColor::secondary());
        detail->setWordWrap(true);
        detail->setAlignment(Qt::AlignHCenter);
        empty->addWidget(detail);
        stack->addLayout(empty);
        stack->addStretch(1);
        return;
    }

    const double share = snapshot.totalSize >= 1 ? double(bucket->size) / double(snapshot.totalSize) : 0;

    auto* header = new QHBoxLayout;
    header->setSpacing(12);
    header->addWidget(new IconImageView(fileIcon(bucket->path), 36));
    auto* titles = new QVBoxLayout;
    titles->setSpacing(2);
    auto* name = new TextLabel(PathText::display(bucket->name()), Fonts::system(16, QFont::DemiBold));
    name->setWordWrap(true);
    name->setMaximumLineCount(2);
    titles->addWidget(name);
    titles->addWidget(new TextLabel(EntryKind::text(bucket->path), Fonts::system(13), DynamicColor::secondary()));
    header->addLayout(titles, 1);
    stack->addLayout(header);

    auto* sizeBlock = new QVBoxLayout;
    sizeBlock->setSpacing(10);
    const ValueAndUnit size = ValueAndUnit::split(ByteFormatting::string(bucket->size));
    sizeBlock->addWidget(new HeroValue(AppLocalization::string("storage.sizeOnDisk"), size.value, size.unit, 34));
    sizeBlock->addWidget(new ThinBar(share, tint, 5));
    stack->addLayout(sizeBlock);

    auto* facts = new RaisedPanel(14, 10);
    facts->contentLayout()->addWidget(new KeyValueRow(AppLocalization::string("scan.files"), QLocale::system().toString(qlonglong(bucket->fileCount))));
    facts->contentLayout()->addWidget(new KeyValueRow(AppLocalization::string("storage.shareOfScan"), Fmt::finePercent(share)));
    stack->addWidget(facts);

    auto* path = new TextLabel(PathText::display(bucket->path), Fonts::monospaced(11), DynamicColor::tertiary());
    path->setLayoutDirection(Qt::LeftToRight);
    path->setWordWrap(true);
    path->setMaximumLineCount(2);
    path->setElideMode(Qt::ElideMiddle);
    stack->addWidget(path);

    const std::vector<ScannedFile> inside = largestInside(snapshot, *bucket);
    if (!inside.empty()) {
        auto* list = new QVBoxLayout;
        list->setSpacing(8);
        list->addWidget(new TextLabel(AppLocalization::string("storage.largestInside"), Fonts::system(12, QFont::Medium), DynamicColor::tertiary()));
        for (const ScannedFile& file : inside) list->addWidget(new InsideFileRow(file));
        stack->addLayout(list);
    }

    stack->addStretch(1);

    auto* actions = new QVBoxLayout;
    actions->setSpacing(8);
    auto* pair = new QHBoxLayout;
    pair->setSpacing(8);
    auto* reveal = new StyledButton(AppLocalization::string("action.reveal"), {}, SoftButtonStyle{DynamicColor::primary()});
    focusButton_ = new StyledButton(AppLocalization::string("storage.focus"), {}, TintedButtonStyle{tint});
    focusButton_->setEnabled(BucketActions::canFocus(*bucket));  // only folders become the scan folder
    if (!focusButton_->isEnabled()) focusButton_->setToolTip(plainToolTip(AppLocalization::string("storage.focus.onlyFolders")));
    for (StyledButton* button : {reveal, focusButton_}) {
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        pair->addWidget(button);
    }
    actions->addLayout(pair);
    auto* copy = new StyledButton(AppLocalization::string("storage.copyPath"), "doc.on.doc", SoftButtonStyle{DynamicColor::secondary()});
    copy->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    actions->addWidget(copy);
    stack->addLayout(actions);

    const StorageBucket shown = *bucket;
    connect(reveal, &QAbstractButton::clicked, this, [shown] { FileActions::reveal(shown.path); });
    connect(focusButton_, &QAbstractButton::clicked, this, [shown, onFocus] {
        if (onFocus) onFocus(shown);
    });
    connect(copy, &QAbstractButton::clicked, this, [shown] { FileActions::copyPath(shown.path); });
}
