#pragma once

#include <QDir>
#include <QSize>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

namespace Looks {

struct Options {
    bool fullLength = false;  // grown from `size` until nothing inside scrolls
    // Called with the laid-out widget and the look's suffix before it is grabbed.
    std::function<void(QWidget&, const QString&)> inspect;
};

// Renders a freshly made widget in light and dark English, then Arabic right to left in light, to
// <dir>/<name>-{light,dark,arabic}.png, and returns the files written. The look is reset afterwards.
std::vector<QString> renderInEveryLook(const QDir& dir, const QString& name, QSize size,
                                       const std::function<std::unique_ptr<QWidget>()>& make, const Options& options = {});

}  // namespace Looks
