#pragma once

#include <QObject>

#include <functional>
#include <optional>
#include <string>

// The storage screen's one selected bucket, shared by the folder list, the ribbon, the maps and the
// inspector: selecting in one selects in all. An identifier the shown scan does not hold selects
// nothing: a selection left over from another scan would dim every tile of the map while the
// inspector shows the largest folder.
class BucketSelection : public QObject {
    Q_OBJECT
public:
    using Holds = std::function<bool(const std::string& id)>;

    using QObject::QObject;

    const std::optional<std::string>& id() const { return id_; }
    void setID(std::optional<std::string> id) {
        if (id && holds_ && !holds_(*id)) id.reset();
        if (id == id_) return;
        id_ = std::move(id);
        emit changed();
    }
    bool isSelected(const std::string& id) const { return id_ && *id_ == id; }
    // What the shown scan holds; also called when it changes, to drop a selection it no longer holds.
    void setHolds(Holds holds) {
        holds_ = std::move(holds);
        setID(id_);
    }

signals:
    void changed();

private:
    std::optional<std::string> id_;
    Holds holds_;
};
