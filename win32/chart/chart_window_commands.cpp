// The chart window's menu commands: opening a file, saving the picture,
// exporting the readings, and the view's.

#include "chart_window.h"

#include "chart_colours.h"
#include "display_list_gdi.h"
#include "encoding_windows.h"
#include "file_dialogs.h"
#include "message.h"
#include "png_file.h"

namespace win32chart {

void ChartWindow::run(chart::Command command) {
    switch (command) {
    case chart::Command::Open:
        openFile();
        return;
    case chart::Command::SavePicture:
        savePicture();
        return;
    case chart::Command::ExportReadings:
        exportReadings();
        return;
    case chart::Command::Close:
        ::DestroyWindow(window_);
        return;
    default:
        if (const auto key = chart::keyFor(command)) {
            chart_.key(*key);
            redraw();
        }
    }
}

void ChartWindow::openFile() {
    if (const auto path = askFileToOpen(window_, folderShown()))
        showFile(*path);
}

void ChartWindow::savePicture() {
    // The chart as it is shown now, before the dialog covers it.
    RECT client{};
    ::GetClientRect(window_, &client);
    const Picture picture = drawPicture(layOut(client.right, client.bottom), host_.faces(), systemInkColours());
    const DWORD drawError = picture.bitmap ? 0 : ::GetLastError();
    const auto path = askFileToSave(window_, text::MessageId::ChartPictureTitle, text::MessageId::ChartPictureFiles,
                                    L"png", suggestedPath(".png"));
    if (!path)
        return;
    if (!picture.bitmap) {
        tellFailure(text::MessageId::ChartPictureFailed,
                    text::Error::system(drawError ? int(drawError) : ERROR_NOT_ENOUGH_MEMORY, *path));
        return;
    }
    if (const auto error = savePng(picture.pixels, picture.width, picture.height, picture.stride(), *path))
        tellFailure(text::MessageId::ChartPictureFailed, *error);
}

void ChartWindow::exportReadings() {
    const auto path = askFileToSave(window_, text::MessageId::ChartExportTitle, text::MessageId::ChartCsvFiles,
                                    L"csv", suggestedPath(".csv"));
    if (!path)
        return;
    if (const auto error = chart_.exportCsv(*path))
        tellFailure(text::MessageId::ChartExportFailed, *error);
}

std::string ChartWindow::suggestedPath(const std::string& extension) const {
    std::string folder = folderShown();
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    return folder + chart_.exportBaseName() + extension;
}

void ChartWindow::tellFailure(text::MessageId what, const text::Error& error) {
    const std::wstring report = text::toWide(text::render(what, {text::reportLine(error)}));
    ::MessageBoxW(window_, report.c_str(), text::toWide(text::render(text::MessageId::ChartProgram)).c_str(),
                  MB_OK | MB_ICONWARNING);
}

} // namespace win32chart
