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
};

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
        long long total = 1;
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

int drawnElements(const QByteArray& svg, int limit) {
    const int tooMany = limit + 1;
    // As the renderer reads it: prefixes are part of the names ("xlink:href").
    QXmlStreamReader xml(svg);
    xml.setNamespaceProcessing(false);
    std::vector<Element> elements;
    std::vector<int> open;
    QHash<QString, int> byId;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            // Every element is visited at least once.
            if (elements.size() >= static_cast<size_t>(tooMany)) return tooMany;
            const int index = static_cast<int>(elements.size());
            const QXmlStreamAttributes attributes = xml.attributes();
            Element element;
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
