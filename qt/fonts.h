#pragma once
// The faces the window uses. The layout's sizes were made for a small
// 8-point face; Liberation Sans (metric-compatible with the usual Windows
// sans face, and with Cyrillic) ships inside the program, so every caption
// fits on every machine, whatever fonts it has.

#include <QFont>
#include <QString>

namespace qtui {

// Registers the bundled face once; returns its family name.
QString bundledFamily();

// The face of every control but the two reading labels: the bundled face, 8 pt.
QFont controlFont();

// The reading labels: "MS Sans Serif" 24 pt where the system has it,
// otherwise the bundled face at the same size. Normal weight, no styling.
QFont readingFont();

} // namespace qtui
