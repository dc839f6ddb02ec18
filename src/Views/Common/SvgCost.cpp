#include "Views/Common/SvgCost.h"

#include <QHash>
#include <QXmlStreamReader>

#include <algorithm>
#include <vector>

namespace SvgCost {

namespace {

struct Element {
    int target = -1;  // for <use>: the element it repeats, once known
    QString reference;
    std::vector<int> children;
    long long weight = 1;  // what drawing the element itself costs
};

// The numbers each group of a path command takes; 0 for a close, or for what is no command.
int groupSize(char16_t command) {
    switch (command) {
    case 'M': case 'm': case 'L': case 'l': case 'T': case 't': return 2;
    case 'H': case 'h': case 'V': case 'v': return 1;
    case 'S': case 's': case 'Q': case 'q': return 4;
    case 'C': case 'c': return 6;
    case 'A': case 'a': return 7;
    default: return 0;
    }
}

// The segments that path data draws: each group of numbers after a command (a command repeats for
// every further group), and each close. Polyline points are read as one long line: `command` 'L'.
// Numbers are told apart as the renderer reads them: "1-2" and "1.5.5" are two each, "1e-2" one.
long long segments(QStringView data, char16_t command = 0) {
    long long count = 0, numbers = 0;
    bool inNumber = false, dot = false, exponent = false;
    char16_t previous = 0;
    auto endCommand = [&] {
        if (const int size = groupSize(command)) count += (numbers + size - 1) / size;
        numbers = 0;
    };
    auto startNumber = [&] {
        ++numbers;
        inNumber = true;
        dot = exponent = false;
    };
    for (const QChar character : data) {
        const char16_t c = character.unicode();
        if (c >= '0' && c <= '9') {
            if (!inNumber) startNumber();
        } else if (c == '.') {
            if (!inNumber || dot || exponent) startNumber();
            dot = true;
        } else if (c == '-' || c == '+') {
            if (!inNumber || (previous != 'e' && previous != 'E')) startNumber();
        } else if ((c == 'e' || c == 'E') && inNumber) {
            exponent = true;
        } else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
            endCommand();
            command = c;
            inNumber = false;
            if (c == 'Z' || c == 'z') ++count;
        } else {
            inNumber = false;
        }
        previous = c;
    }
    endCommand();
    return count;
}

// An element draws itself once, and a shape once more for every segment of its outline: a path of
// many thousand segments costs as much to fill as as many small elements, or more.
long long weightOf(const QXmlStreamReader& xml, const QXmlStreamAttributes& attributes) {
    const QStringView name = xml.qualifiedName();
    if (name == QLatin1String("path")) return 1 + segments(attributes.value(QLatin1String("d")));
    if (name == QLatin1String("polyline") || name == QLatin1String("polygon")) return 1 + segments(attributes.value(QLatin1String("points")), 'L');
    return 1;
}

class Counter {
public:
    Counter(const std::vector<Element>& elements, int limit) : elements_(elements), limit_(limit), known_(elements.size()) {}

    // What drawing the element costs; limit + 1 when that is too much, or when it leads deeper than
    // drawing should recurse (real icons are a few levels deep).
    int cost(int index) {
        const Measure measure = measured(index, 1);
        return measure.height > deepest ? limit_ + 1 : measure.cost;
    }

private:
    struct Measure {
        int cost = unknown;
        int height = 0;  // the most elements and uses that lead down from here, this one included
    };
    static constexpr int unknown = -1, visiting = -2;
    static constexpr int deepest = 256;

    // `depth`: the elements and uses that lead to this one from the top, this one included. Past the
    // deepest level the whole document is too deep, so nothing below needs measuring.
    Measure measured(int index, int depth) {
        if (depth > deepest) return {limit_ + 1, deepest + 1};
        Measure& known = known_[static_cast<size_t>(index)];
        if (known.cost == visiting) return {limit_ + 1, deepest + 1};  // a use that repeats itself never ends
        if (known.cost != unknown) return known;
        known.cost = visiting;
        const Element& element = elements_[static_cast<size_t>(index)];
        long long total = element.weight;
        int height = 1;
        auto add = [&](int below) {
            const Measure measure = measured(below, depth + 1);
            total += measure.cost;
            height = std::max(height, measure.height + 1);
        };
        if (element.target >= 0) add(element.target);
        for (auto child = element.children.begin(); child != element.children.end() && total <= limit_ && height <= deepest; ++child) add(*child);
        known = {static_cast<int>(std::min<long long>(total, limit_ + 1)), std::min(height, deepest + 1)};
        return known;
    }

    const std::vector<Element>& elements_;
    int limit_;
    std::vector<Measure> known_;
};

}  // namespace

int drawingCost(const QByteArray& svg, int limit) {
    const int tooMany = limit + 1;
    // As the renderer reads it: prefixes are part of the names ("xlink:href").
    QXmlStreamReader xml(svg);
    xml.setNamespaceProcessing(false);
    std::vector<Element> elements;
    std::vector<int> open;
    QHash<QString, int> byId;
    long long weights = 0;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const int index = static_cast<int>(elements.size());
            const QXmlStreamAttributes attributes = xml.attributes();
            Element element;
            element.weight = weightOf(xml, attributes);
            // Every element is drawn at least once.
            weights += element.weight;
            if (weights > limit) return tooMany;
            if (xml.qualifiedName() == QLatin1String("use")) {
                QStringView link = attributes.value(QLatin1String("xlink:href"));
                if (link.isEmpty()) link = attributes.value(QLatin1String("href"));
                if (link.startsWith(QLatin1Char('#'))) element.reference = link.mid(1).toString();
            }
            const QString id = attributes.value(QLatin1String("id")).toString();
            if (!id.isEmpty() && !byId.contains(id)) byId.insert(id, index);
            if (!open.empty()) elements[static_cast<size_t>(open.back())].children.push_back(index);
            elements.push_back(std::move(element));
            open.push_back(index);
        } else if (token == QXmlStreamReader::EndElement) {
            open.pop_back();
        }
    }
    if (xml.hasError() || elements.empty()) return tooMany;
    // A use may name an element that comes after it.
    for (Element& element : elements)
        if (!element.reference.isEmpty()) element.target = byId.value(element.reference, -1);
    return Counter(elements, limit).cost(0);
}

}  // namespace SvgCost
