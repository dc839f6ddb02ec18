#pragma once

#include <QByteArray>

// What drawing a scalable image costs, known from a quick read of its text before anything is drawn.
namespace SvgCost {

// How many elements drawing the document visits, each <use> counted with everything it repeats, so a
// chain of uses that doubles at every step is as costly as what it finally draws. Counting stops past
// `limit`: the result is then limit + 1, as it is for a document that cannot be read, whose uses refer
// to themselves, or whose elements and uses lead more than 256 levels deep (drawing recurses as deep).
int drawnElements(const QByteArray& svg, int limit);

}  // namespace SvgCost
