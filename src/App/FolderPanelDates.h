#pragma once

#include <QStyledItemDelegate>

// The folder panel's modification dates in the chosen language: the file system model writes them
// in the system's locale, whatever language the application speaks.
class FolderPanelDates : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The text of the date of a moment, as the column shows it.
    static QString text(const QDateTime& moment);
    // What the column shows for a row of the file system model: the model's own text for anything else.
    static QString shown(const QModelIndex& index);

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};
