#pragma once

#include <QObject>

#include <optional>
#include <string>

// The storage screen's one selected bucket, shared by the folder list, the ribbon, the maps and the
// inspector: selecting in one selects in all.
class BucketSelection : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    const std::optional<std::string>& id() const { return id_; }
    void setID(std::optional<std::string> id) {
        if (id == id_) return;
        id_ = std::move(id);
        emit changed();
    }
    bool isSelected(const std::string& id) const { return id_ && *id_ == id; }

signals:
    void changed();

private:
    std::optional<std::string> id_;
};
