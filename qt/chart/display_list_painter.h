#pragma once
// Draws the chart's display list with QPainter, in device pixels: filled
// rectangles, the curve's polylines clipped to the plot, and lines of text
// in the given face. Lines and rectangles are drawn without anti-aliasing,
// on whole pixels, so they stay sharp at any DPI.

#include "chart.h"

#include <QFont>
#include <QImage>
#include <QPalette>

namespace qtchart {

void paintDisplayList(QPainter& painter, const chart::DisplayList& list, const QFont& font,
                      const QPalette& palette);

// The display list as a picture of its size.
QImage pictureOf(const chart::DisplayList& list, const QFont& font, const QPalette& palette);

} // namespace qtchart
