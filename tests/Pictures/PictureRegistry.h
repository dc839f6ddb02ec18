#pragma once

#include "ViewSupport/Looks.h"

#include <QDir>
#include <QSize>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

// Where one run of the pictures program writes, and how each screen is rendered in every look.
class PictureContext {
public:
    explicit PictureContext(QDir outDir);

    // The main window's default size, at which a screen is first looked at.
    static constexpr QSize windowSize{1320, 880};

    // Writes <out>/<name>-{light,dark,arabic}.png: light and dark in English, then Arabic right to left in
    // light. `make` is called once per look, after the look is set.
    void render(const QString& name, QSize size, const std::function<std::unique_ptr<QWidget>()>& make, const Looks::Options& options = {});

    const std::vector<QString>& written() const { return written_; }

private:
    QDir outDir_;
    std::vector<QString> written_;
};

// A screen's alert opens as a window of its own, which a grab of the screen leaves out: once open,
// it is drawn into the screen, where the window manager would centre it.
void drawAlertInto(QWidget* screen);

// A screen's pictures, registered from a file of its own under tests/Pictures.
struct PictureRegistration {
    using Draw = std::function<void(PictureContext&)>;
    PictureRegistration(const char* screen, Draw draw);

    struct Entry {
        QString screen;
        Draw draw;
    };
    static std::vector<Entry>& all();
};
