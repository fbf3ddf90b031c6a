#include "chart_view.h"

#include "display_list_painter.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

namespace qtchart {

ChartView::ChartView(chart::Chart& chart, QtChartHost& host, QWidget* parent)
    : QWidget(parent), chart_(chart), host_(host) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(320, 200);
}

// The chart laid out for the view's size in device pixels: at 150 % or
// 200 % the chart draws every pixel itself rather than have Qt scale it.
const chart::DisplayList& ChartView::layOut() {
    const double ratio = devicePixelRatioF();
    const int dpi = int(std::lround(logicalDpiY() * ratio));
    host_.setDpi(dpi);
    chart_.resize(int(std::lround(width() * ratio)), int(std::lround(height() * ratio)), dpi);
    return chart_.draw();
}

QImage ChartView::picture() {
    return pictureOf(layOut(), host_.font(), palette());
}

void ChartView::paintEvent(QPaintEvent*) {
    QImage shown = picture();
    shown.setDevicePixelRatio(devicePixelRatioF());
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), shown);
}

QPoint ChartView::devicePoint(const QPointF& position) const {
    const double ratio = devicePixelRatioF();
    return QPoint(int(std::floor(position.x() * ratio)), int(std::floor(position.y() * ratio)));
}

void ChartView::wheelEvent(QWheelEvent* event) {
    const QPoint at = devicePoint(event->position());
    chart_.wheel(at.x(), at.y(), event->angleDelta().y());
    update();
}

void ChartView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = devicePoint(event->position());
    chart_.press(at.x(), at.y());
    update();
}

void ChartView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = devicePoint(event->position());
    chart_.drag(at.x(), at.y());
    update();
}

void ChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = devicePoint(event->position());
    chart_.release(at.x(), at.y());
    update();
}

void ChartView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    chart_.key(chart::Key::Cancel);
    chart_.key(chart::Key::Whole);
    update();
}

void ChartView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
    case Qt::Key_Up:
        chart_.key(chart::Key::ZoomIn);
        break;
    case Qt::Key_Minus:
    case Qt::Key_Down:
        chart_.key(chart::Key::ZoomOut);
        break;
    case Qt::Key_Left:
        chart_.key(chart::Key::Earlier);
        break;
    case Qt::Key_Right:
        chart_.key(chart::Key::Later);
        break;
    case Qt::Key_Home:
        chart_.key(chart::Key::Whole);
        break;
    case Qt::Key_Escape:
        chart_.key(chart::Key::Cancel);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    update();
}

} // namespace qtchart
