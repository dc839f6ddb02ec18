#include "Pictures/PictureRegistry.h"

#include "ViewSupport/Looks.h"

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

void drawAlertInto(QWidget* screen) {
    QTimer::singleShot(200, screen, [screen] {
        for (QMessageBox* box : screen->findChildren<QMessageBox*>()) {
            box->setParent(screen, Qt::Widget);
            box->setAutoFillBackground(true);
            box->adjustSize();
            box->move((screen->width() - box->width()) / 2, (screen->height() - box->height()) / 3);
            box->show();
        }
    });
}
