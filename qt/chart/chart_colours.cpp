#include "chart_colours.h"

namespace qtchart {
namespace {

// `share` of `over` laid on `under`.
QColor blend(const QColor& under, const QColor& over, double share) {
    return QColor::fromRgbF(float(under.redF() + (over.redF() - under.redF()) * share),
                            float(under.greenF() + (over.greenF() - under.greenF()) * share),
                            float(under.blueF() + (over.blueF() - under.blueF()) * share));
}

} // namespace

QColor colourOf(chart::Ink ink, const QPalette& palette) {
    const QColor base = palette.color(QPalette::Base), text = palette.color(QPalette::Text);
    const QColor highlight = palette.color(QPalette::Highlight);
    switch (ink) {
    case chart::Ink::Window:
        return palette.color(QPalette::Window);
    case chart::Ink::Plot:
        return base;
    case chart::Ink::Gap:
        return blend(base, text, 0.07);
    case chart::Ink::Selection:
        return blend(base, highlight, 0.25);
    case chart::Ink::Grid:
        return blend(base, text, 0.12);
    case chart::Ink::Midnight:
        return blend(base, text, 0.45);
    case chart::Ink::Frame:
        return blend(base, text, 0.55);
    case chart::Ink::Mean:
        return blend(base, highlight, 0.45);
    case chart::Ink::Curve:
        return highlight;
    case chart::Ink::Extreme:
        return blend(text, QColor(220, 40, 30), 0.85);
    case chart::Ink::Text:
        return palette.color(QPalette::WindowText);
    case chart::Ink::Notice:
        return palette.color(QPalette::WindowText);
    }
    return text;
}

} // namespace qtchart
