#pragma once
// The thermometer-chart window: the menu, the chart's view, the file
// dialogs, a file dropped on it, and the watch on the file shown: the OS's
// word of a change (inotify, through QFileSystemWatcher) and a one-second
// timer, the only one, for what it does not report.

#include "chart.h"
#include "chart_view.h"
#include "qt_chart_host.h"

#include <QFileSystemWatcher>
#include <QMainWindow>
#include <QTimer>

namespace qtchart {

class ChartWindow final : public QMainWindow {
    Q_OBJECT
public:
    ChartWindow();

    // A file the user named, or with none the recording in progress beside
    // the program.
    void showFile(const QString& path);
    void followRecording();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenus();
    void run(chart::Command command);
    void refresh();
    void watchFiles();
    QString folderShown() const;
    void savePicture();
    void exportReadings();
    void tellFailure(text::MessageId what, const text::Error& error);

    QtChartHost host_;
    chart::Chart chart_;
    ChartView* view_;
    QTimer timer_;
    QFileSystemWatcher watcher_;
    QStringList watched_;  // the files whose changes should be read at once
    QString shownPath_;
};

} // namespace qtchart
