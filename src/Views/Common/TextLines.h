#pragma once

#include <QFont>
#include <QRectF>
#include <QString>
#include <Qt>

class QPainter;

// Draws plain text wrapped onto at most `maxLines` lines of `width`, the last one elided; returns
// the height used. Text is never interpreted as markup.
qreal paintTextLines(QPainter& painter, const QPointF& topLeading, qreal width, const QString& text,
                     const QFont& font, int maxLines, Qt::LayoutDirection direction,
                     Qt::TextElideMode elide = Qt::ElideRight);
