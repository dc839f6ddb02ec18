#include "App/FolderPanelDates.h"

#include "Models/AppLocalization.h"

#include <QFileSystemModel>

QString FolderPanelDates::text(const QDateTime& moment) { return AppLocalization::activeLocale().toString(moment, QLocale::ShortFormat); }

QString FolderPanelDates::shown(const QModelIndex& index) {
    // The date the model already holds: asking the file again could hang on a stalled mount.
    if (const auto* files = qobject_cast<const QFileSystemModel*>(index.model())) {
        const QDateTime modified = files->lastModified(index);
        if (modified.isValid()) return text(modified);
    }
    return index.data().toString();
}

void FolderPanelDates::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    option->text = shown(index);
}
