#include "Pictures/PictureRegistry.h"

#include "ViewSupport/Looks.h"

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
