#include "display_list_painter.h"

#include "chart_colours.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

namespace qtchart {

void paintDisplayList(QPainter& painter, const chart::DisplayList& list, const QFont& font,
                      const QPalette& palette) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const chart::Rect& r : list.rects)
        painter.fillRect(QRect(r.x, r.y, r.width, r.height), colourOf(r.ink, palette));

    painter.save();
    painter.setClipRect(QRect(list.plot.x, list.plot.y, list.plot.width, list.plot.height));
    for (const chart::Run& run : list.runs) {
        QPolygon line(int(run.count));
        for (std::size_t k = 0; k < run.count; ++k)
            line.setPoint(int(k), list.points[run.first + k].x, list.points[run.first + k].y);
        painter.setPen(QPen(colourOf(run.ink, palette), run.width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.drawPolyline(line);
    }
    painter.restore();
    for (const chart::Rect& r : list.marks)
        painter.fillRect(QRect(r.x, r.y, r.width, r.height), colourOf(r.ink, palette));

    painter.setFont(font);
    const int ascent = QFontMetrics(font).ascent();
    for (const chart::Text& t : list.texts) {
        painter.setPen(colourOf(t.ink, palette));
        painter.drawText(QPoint(t.topLeft.x, t.topLeft.y + ascent), QString::fromStdString(t.utf8));
    }
}

QImage pictureOf(const chart::DisplayList& list, const QFont& font, const QPalette& palette) {
    QImage picture(std::max(list.width, 1), std::max(list.height, 1), QImage::Format_RGB32);
    picture.fill(colourOf(chart::Ink::Window, palette));
    QPainter painter(&picture);
    paintDisplayList(painter, list, font, palette);
    return picture;
}

} // namespace qtchart
