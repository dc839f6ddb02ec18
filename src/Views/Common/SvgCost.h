#pragma once

#include <QByteArray>

// What drawing a scalable image costs, known from a quick read of its text before anything is drawn.
namespace SvgCost {

// What drawing the document costs, counted in elements drawn: each element once, a path, polyline or
// polygon once more for every segment of its outline (one path of a hundred thousand segments is no
// cheaper to fill than as many elements), and each <use> with everything it repeats, so a chain of uses
// that doubles at every step is as costly as what it finally draws. Counting stops past `limit`: the
// result is then limit + 1, as it is for a document that cannot be read, whose uses refer to
// themselves, or whose elements and uses lead more than 256 levels deep (drawing recurses as deep).
int drawingCost(const QByteArray& svg, int limit);

}  // namespace SvgCost
