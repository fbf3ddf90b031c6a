#pragma once
// The colour of each of the chart's inks, from the window's palette (the
// system's scheme), so the chart looks like the rest of the desktop.

#include "chart.h"

#include <QColor>
#include <QPalette>

namespace qtchart {

QColor colourOf(chart::Ink ink, const QPalette& palette);

} // namespace qtchart
