#include "Pictures/PictureRegistry.h"

#include "ViewSupport/Looks.h"

PictureContext::PictureContext(QDir outDir) : outDir_(std::move(outDir)) {}

void PictureContext::render(const QString& name, QSize size, const std::function<std::unique_ptr<QWidget>()>& make) {
    for (const QString& file : Looks::renderInEveryLook(outDir_, name, size, make)) written_.push_back(file);
}

PictureRegistration::PictureRegistration(const char* screen, Draw draw) {
    all().push_back(Entry{QString::fromLatin1(screen), std::move(draw)});
}

std::vector<PictureRegistration::Entry>& PictureRegistration::all() {
    static std::vector<Entry> entries;
    return entries;
}
