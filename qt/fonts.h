#pragma once
// The faces the window uses:
// - every control but the two reading labels: Liberation Sans 8 pt, built
//   into the program (the layout's sizes were made for a small 8-point
//   face, and Liberation Sans, metric-compatible with Arial and with
//   Cyrillic, fits every caption on every machine, whatever fonts it has);
// - Label1 and Label3: "MS Sans Serif" 24 pt, the face the layout was drawn
//   with, where the system has it; otherwise Liberation Sans 24 pt.

#include <QFont>
#include <QString>
#include <QStringList>

namespace qtui {

// Registers the bundled face once; returns its family name.
QString bundledFamily();

// The face of every control but the two reading labels: the bundled face, 8 pt.
QFont controlFont();

// The reading labels' family among the system's `families`.
QString readingFamily(const QStringList& families);
// The reading labels: readingFamily() of this system, 24 pt, normal weight,
// no styling.
QFont readingFont();

} // namespace qtui
