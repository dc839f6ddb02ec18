#pragma once

#include <QObject>
#include <QString>

// Where open and reveal report that nothing on this desktop could do them, so the window can say
// so once instead of the button doing nothing.
class FileActionAlerts : public QObject {
    Q_OBJECT
public:
    static FileActionAlerts& shared();

signals:
    void failed(const QString& message);
};
