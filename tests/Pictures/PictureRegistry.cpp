#include "Pictures/PictureRegistry.h"

#include "ViewSupport/Looks.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

PictureContext::PictureContext(QDir outDir) : outDir_(std::move(outDir)) {}

void PictureContext::render(const QString& name, QSize size, const std::function<std::unique_ptr<QWidget>()>& make,
                            const Looks::Options& options) {
    for (const QString& file : Looks::renderInEveryLook(outDir_, name, size, make, options)) written_.push_back(file);
}

PictureRegistration::PictureRegistration(const char* screen, Draw draw) {
    all().push_back(Entry{QString::fromLatin1(screen), std::move(draw)});
}

std::vector<PictureRegistration::Entry>& PictureRegistration::all() {
    static std::vector<Entry> entries;
    return entries;
}

namespace {

// Watches for an alert of `screen` opening, and then draws it into the screen.
class AlertEmbedder : public QObject {
public:
    explicit AlertEmbedder(QWidget* screen) : QObject(screen), screen_(screen) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* box = qobject_cast<QMessageBox*>(watched);
        if (event->type() == QEvent::Show && box && box->isWindow() && belongsToScreen(box))
            // Not while it is being shown: once control is back.
            QTimer::singleShot(0, box, [screen = screen_, box] {
                box->setParent(screen, Qt::Widget);
                box->setAutoFillBackground(true);
                box->adjustSize();
                box->move((screen->width() - box->width()) / 2, (screen->height() - box->height()) / 3);
                box->show();
            });
        return false;
    }

private:
    bool belongsToScreen(const QWidget* widget) const {
        for (; widget; widget = widget->parentWidget())
            if (widget == screen_) return true;
        return false;
    }

    QWidget* screen_;
};

}  // namespace

void drawAlertInto(QWidget* screen) { new AlertEmbedder(screen); }
