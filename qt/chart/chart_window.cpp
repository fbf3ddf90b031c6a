#include "chart_window.h"

#include "display_list_painter.h"
#include "message.h"
#include "replacement_file.h"

#include <QAction>
#include <QBuffer>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageWriter>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>

namespace qtchart {
namespace {

QString words(text::MessageId id, const std::vector<std::string>& args = {}) {
    return QString::fromStdString(text::render(id, args));
}

// The one local file a drag carries, if it carries exactly one.
QString droppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().front().isLocalFile())
        return {};
    return data->urls().front().toLocalFile();
}

} // namespace

ChartWindow::ChartWindow() : chart_(host_), view_(new ChartView(chart_, host_, this)) {
    setCentralWidget(view_);
    setAcceptDrops(true);
    buildMenus();
    resize(960, 600);
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, &ChartWindow::refresh);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &ChartWindow::refresh);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &ChartWindow::refresh);
    timer_.start();
    view_->setFocus();
}

void ChartWindow::buildMenus() {
    for (const chart::Menu& menu : chart::menus()) {
        QMenu* shown = menuBar()->addMenu(words(menu.caption));
        for (const chart::MenuEntry& entry : menu.entries) {
            QAction* action = shown->addAction(words(entry.caption));
            if (!entry.shortcut.empty())
                action->setShortcut(QKeySequence(QString::fromUtf8(entry.shortcut.data(), qsizetype(entry.shortcut.size()))));
            const chart::Command command = entry.command;
            connect(action, &QAction::triggered, this, [this, command] { run(command); });
        }
    }
}

void ChartWindow::showFile(const QString& path) {
    shownPath_ = QFileInfo(path).absoluteFilePath();
    chart_.showFile(shownPath_.toStdString());
    refresh();
}

void ChartWindow::followRecording() {
    const QString folder = QCoreApplication::applicationDirPath();
    shownPath_.clear();
    watched_ = {folder + "/thermometer.journal", folder + "/thermometer-demo.journal"};
    chart_.followRecording(folder.toStdString());
    refresh();
}

void ChartWindow::refresh() {
    if (chart_.update(chart::Chart::Clock::now()))
        view_->update();
    setWindowTitle(QString::fromStdString(chart_.title()));
    watchFiles();
}

// inotify forgets a file once it is deleted or replaced: the watch is made
// again whenever the file is there, and the folder is watched for its return.
void ChartWindow::watchFiles() {
    QStringList files = shownPath_.isEmpty() ? watched_ : QStringList{shownPath_};
    QStringList wanted;
    for (const QString& file : files) {
        if (QFileInfo::exists(file))
            wanted << file;
        wanted << QFileInfo(file).absolutePath();
    }
    wanted.removeDuplicates();
    const QStringList now = watcher_.files() + watcher_.directories();
    for (const QString& path : wanted)
        if (!now.contains(path))
            watcher_.addPath(path);
}

QString ChartWindow::folderShown() const {
    return shownPath_.isEmpty() ? QCoreApplication::applicationDirPath() : QFileInfo(shownPath_).absolutePath();
}

void ChartWindow::run(chart::Command command) {
    switch (command) {
    case chart::Command::Open: {
        const QString filter = words(text::MessageId::ChartLogFiles) + " (*.txt *.journal);;" +
                               words(text::MessageId::ChartAllFiles) + " (*)";
        const QString path = QFileDialog::getOpenFileName(this, words(text::MessageId::ChartOpenTitle), folderShown(), filter);
        if (!path.isEmpty())
            showFile(path);
        return;
    }
    case chart::Command::SavePicture:
        savePicture();
        return;
    case chart::Command::ExportReadings:
        exportReadings();
        return;
    case chart::Command::Close:
        close();
        return;
    default:
        if (const auto key = chart::keyFor(command)) {
            chart_.key(*key);
            view_->update();
        }
    }
}

void ChartWindow::savePicture() {
    const QImage picture = view_->picture();
    const QString suggested = folderShown() + "/" + QString::fromStdString(chart_.exportBaseName()) + ".png";
    const QString path = QFileDialog::getSaveFileName(this, words(text::MessageId::ChartPictureTitle), suggested,
                                                      words(text::MessageId::ChartPictureFiles) + " (*.png)");
    if (path.isEmpty())
        return;
    // Encoded in memory, then written as a whole, as the log file is: an
    // error then names the file and the system's reason.
    QBuffer encoded;
    encoded.open(QIODevice::WriteOnly);
    QImageWriter writer(&encoded, "png");
    if (!writer.write(picture)) {
        tellFailure(text::MessageId::ChartPictureFailed,
                    text::Error(text::MessageId::InternalError, -1, path.toStdString()));
        return;
    }
    logfile::ReplacementFile file(path.toStdString());
    if (file.write(std::string_view(encoded.data().constData(), std::size_t(encoded.data().size()))))
        file.commit();
    if (file.error())
        tellFailure(text::MessageId::ChartPictureFailed, *file.error());
}

void ChartWindow::exportReadings() {
    const QString suggested = folderShown() + "/" + QString::fromStdString(chart_.exportBaseName()) + ".csv";
    const QString path = QFileDialog::getSaveFileName(this, words(text::MessageId::ChartExportTitle), suggested,
                                                      words(text::MessageId::ChartCsvFiles) + " (*.csv)");
    if (path.isEmpty())
        return;
    if (const auto error = chart_.exportCsv(path.toStdString()))
        tellFailure(text::MessageId::ChartExportFailed, *error);
}

void ChartWindow::tellFailure(text::MessageId what, const text::Error& error) {
    QMessageBox::warning(this, words(text::MessageId::ChartProgram), words(what, {text::reportLine(error)}));
}

void ChartWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void ChartWindow::dropEvent(QDropEvent* event) {
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    showFile(path);
}

} // namespace qtchart
