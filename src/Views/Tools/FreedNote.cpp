#include "Views/Tools/FreedNote.h"

#include "Models/AppLocalization.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Pill.h"
#include "Views/Tools/ToolTexts.h"

#include <QHBoxLayout>
#include <QWidget>

QWidget* compressedFilesNote() {
    auto* note = new Pill(AppLocalization::string("tools.compressedNote"), QStringLiteral("info.circle.fill"), DS::gray);
    note->setObjectName("compressedNote");
    note->setVisible(false);
    return note;
}

QWidget* withFreedNote(QWidget* accessory, std::int64_t freed, std::int64_t size, bool keepsOtherName) {
    if (freed >= size) return accessory;
    auto* note = keepsOtherName ? new Pill(AppLocalization::string("duplicates.otherName"), QStringLiteral("link"), DS::gray)
                                : new Pill(AppLocalization::format("tools.freesPart", {ToolTexts::bytes(std::max<std::int64_t>(freed, 0)), ToolTexts::bytes(size)}),
                                           QStringLiteral("link"), DS::gray);
    note->setObjectName("freedNote");
    if (!accessory) return note;
    auto* both = new QWidget;
    auto* row = new QHBoxLayout(both);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addWidget(note);
    row->addWidget(accessory);
    return both;
}
