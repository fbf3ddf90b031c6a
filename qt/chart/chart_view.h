#pragma once
// The chart's drawing area: draws the display list at the window's device
// pixels and passes the mouse and the keys to the chart.

#include "chart.h"
#include "qt_chart_host.h"

#include <QImage>
#include <QWidget>

namespace qtchart {

class ChartView final : public QWidget {
    Q_OBJECT
public:
    ChartView(chart::Chart& chart, QtChartHost& host, QWidget* parent = nullptr);

    // What the view shows now, at its device pixels.
    QImage picture();

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    const chart::DisplayList& layOut();
    QPoint devicePoint(const QPointF& position) const;

    chart::Chart& chart_;
    QtChartHost& host_;
};

} // namespace qtchart
