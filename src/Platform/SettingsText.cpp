#include "Platform/SettingsText.h"

#include "Platform/SettingsNesting.h"

#include <QByteArrayView>

namespace SettingsText {

namespace {

enum class LineKind { blank, section, entry, broken };

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Qt's INI reader splits its text into logical lines, and a physical line is one of them only when
// that split, run on the line alone, gives at most one and leaves nothing open at its end.
LineKind kindOf(QByteArrayView line) {
    if (line.contains('\0')) return LineKind::broken;
    const qsizetype size = line.size();
    qsizetype position = 0;
    int logicalLines = 0;
    LineKind kind = LineKind::blank;
    for (;;) {
        qsizetype start = position;
        while (start < size && isSpace(line[start])) ++start;
        qsizetype i = start;
        qsizetype equals = -1;
        bool inQuotes = false;
        bool open = false;  // a quote or an escape that would take the line end with it
        while (i < size) {
            const char c = line[i++];
            if (c == '=') {
                if (!inQuotes && equals == -1) equals = i - 1;
            } else if (c == '\n' || c == '\r') {
                if (i == start + 1) ++start;
                else if (!inQuotes) {
                    --i;
                    break;
                }
            } else if (c == '\\') {
                if (i == size) open = true;  // escapes the line end
                else if (line[i++] == '\r' && i == size) open = true;  // "\\\r" takes the "\n" after it too
            } else if (c == '"') {
                inQuotes = !inQuotes;
            } else if (c == ';') {
                if (i == start + 1) {
                    while (i < size && line[i] != '\n' && line[i] != '\r') ++i;
                    while (i < size && isSpace(line[i])) ++i;
                    start = i;
                } else if (!inQuotes) {
                    --i;
                    break;
                }
            }
        }
        if (inQuotes || open) return LineKind::broken;
        position = i;
        if (i - start <= 0) return kind;
        if (++logicalLines > 1) return LineKind::broken;
        const QByteArrayView logical = line.sliced(start, i - start);
        if (logical.startsWith('[')) {
            if (!logical.trimmed().endsWith(']')) return LineKind::broken;
            kind = LineKind::section;
        } else {
            if (equals == -1 || logical.first(equals - start).trimmed().isEmpty()) return LineKind::broken;
            kind = LineKind::entry;
        }
    }
}

}  // namespace

Judged judge(const QByteArray& text, bool whole) {
    Judged judged;
    judged.damaged = !whole;
    judged.readable.reserve(text.size());
    QByteArrayView rest(text);
    if (rest.startsWith("\xef\xbb\xbf")) rest = rest.sliced(3);
    bool sectionBroken = false;  // lines under a broken section header have no sure section
    int lines = 0;
    while (!rest.isEmpty()) {
        qsizetype end = rest.indexOf('\n');
        // A part read of a longer file ends in the middle of its last line: that line is not read.
        if (end == -1 && !whole) break;
        if (end == -1) end = rest.size();
        const QByteArrayView line = rest.first(end);
        rest = rest.sliced(std::min(end + 1, rest.size()));
        LineKind kind = kindOf(line);
        if (kind == LineKind::blank) continue;
        if (++lines > lineLimit) {
            judged.damaged = true;
            break;
        }
        // A value Qt would unpack by recursion deeper than its stack allows never reaches it.
        if (kind == LineKind::entry && SettingsNesting::mayNestTooDeep(QByteArray::fromRawData(line.data(), line.size())))
            kind = LineKind::broken;
        if (kind == LineKind::section) sectionBroken = false;
        if (kind == LineKind::broken || (kind == LineKind::entry && sectionBroken)) {
            judged.damaged = true;
            const QByteArrayView trimmed = line.trimmed();
            if (kind == LineKind::broken && trimmed.startsWith('[') && trimmed.endsWith(']')) sectionBroken = true;
            continue;
        }
        judged.readable.append(line.data(), line.size());
        judged.readable.append('\n');
    }
    return judged;
}

}  // namespace SettingsText
