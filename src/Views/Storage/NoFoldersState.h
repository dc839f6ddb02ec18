#pragma once

#include <QWidget>

class TextLabel;

// What the folder list and the folder map show when they have no folder: a folder with a question
// mark, "storage.noFolders" and why, centred: no name matches the filter, or the scan found nothing.
class NoFoldersState : public QWidget {
    Q_OBJECT
public:
    explicit NoFoldersState(bool filtered = true, QWidget* parent = nullptr);

    void setFiltered(bool filtered);
    QString detail() const;

private:
    TextLabel* detail_;
};
