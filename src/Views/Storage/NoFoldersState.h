#pragma once

#include <QWidget>

// What the folder list and the folder map show when no folder passes the filter: a folder with a
// question mark, "storage.noFolders" and its detail, centred.
class NoFoldersState : public QWidget {
    Q_OBJECT
public:
    explicit NoFoldersState(QWidget* parent = nullptr);
};
