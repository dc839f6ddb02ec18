#pragma once

#include <QByteArray>

#include <cstddef>

// The settings file's text judged line by line in one pass, without Qt's reader: which lines read
// alone as they read in the whole file, by the rules Qt's INI reader splits lines with (a quote runs
// on past the line's end, a backslash takes the line end with it, a semicolon starts a comment, a
// carriage return ends a line). A file whose every line does so reads as its lines do, one by one;
// any other line is damage, and only that line is lost.
namespace SettingsText {

// Beyond these a file is damage too, read only so far: its reading must never hold the start for
// long. They stay above anything the app writes: a few dozen lines, of which only the histories
// are long, each bounded in bytes, and so is what of them is set aside.
inline constexpr qsizetype byteLimit = 24 * 1024 * 1024;
inline constexpr int lineLimit = 20'000;

struct Judged {
    // The lines that read alone as in the whole, in their order, each under its own section: what
    // Qt's reader may be given in one piece.
    QByteArray readable;
    bool damaged = false;  // a line did not, or the text went past a limit
};

// `whole` is false when the text is only the first part of a longer file.
Judged judge(const QByteArray& text, bool whole = true);

}  // namespace SettingsText
