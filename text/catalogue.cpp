#include "catalogue.h"

#include <array>

namespace text {
namespace {

using enum MessageId;

// In the order of message_id.h, so that an id is its own index.
constexpr std::array kCatalogue{
    CatalogueEntry{BoxTitle, "Thermometer", "Термометр"},
    CatalogueEntry{OkButton, "OK", "ОК"},
    CatalogueEntry{ErrorLine, "Error {1}: {2} ({3})", "Ошибка {1}: {2} ({3})"},
    CatalogueEntry{ErrorLineBare, "Error {1}: {2}", "Ошибка {1}: {2}"},
    CatalogueEntry{PortIs, "port {1} is {2}", "порт {1}: {2}"},
    CatalogueEntry{SimulatedConverter, "the simulated converter", "имитация преобразователя"},

    CatalogueEntry{SystemFailure, "", ""},
    CatalogueEntry{OutOfMemory, "Out of memory", "Не хватает памяти"},
    CatalogueEntry{InternalError, "Internal error", "Внутренняя ошибка"},
    CatalogueEntry{InvalidPortSettings, "Invalid port settings \"{1}\"",
                   "Неверные параметры порта \"{1}\""},
    CatalogueEntry{InvalidPortNumber, "Invalid port number {1}", "Неверный номер порта {1}"},
    CatalogueEntry{NoPortChosen, "No port chosen", "Порт не выбран"},
    CatalogueEntry{PortAlreadyOpen, "Port is open: close it before choosing another",
                   "Порт открыт: закройте его, прежде чем выбрать другой"},
    CatalogueEntry{PortNotOpen, "Port is not open", "Порт не открыт"},
    CatalogueEntry{PortMissing, "No such device: the port does not exist",
                   "Нет такого устройства: порта не существует"},
    CatalogueEntry{PortAccessDenied, "Access to the port is denied", "Доступ к порту запрещён"},
    CatalogueEntry{PortBusy, "Port is busy: in use by another program",
                   "Порт занят: им пользуется другая программа"},
    CatalogueEntry{PortOpenFailed, "Cannot open the port", "Не удаётся открыть порт"},
    CatalogueEntry{PortSettingsRefused, "Cannot apply port settings",
                   "Не удаётся установить параметры порта"},
    CatalogueEntry{BaudUnavailable, "Baud rate {1} is not available on this system",
                   "Скорость {1} бод в этой системе недоступна"},
    CatalogueEntry{StopBitsUnavailable, "1.5 stop bits are not available on this system",
                   "Полтора стоповых бита в этой системе недоступны"},
    CatalogueEntry{PortStopped, "The port stopped working (adapter unplugged, or the computer slept)",
                   "Порт перестал работать (адаптер отключён или компьютер уходил в сон)"},
    CatalogueEntry{FileIsFolder, "there is a folder of that name", "так называется папка"},
    CatalogueEntry{FileReadOnly, "the file is read-only", "файл только для чтения"},
    CatalogueEntry{FileInUse, "the file is open in another program", "файл открыт в другой программе"},
    CatalogueEntry{NameLeadsToDevice, "the name leads to a device, not to a file on a disk",
                   "имя ведёт к устройству, а не к файлу на диске"},
    CatalogueEntry{NameHasControlCharacter, "a file name cannot hold control characters",
                   "имя файла не может содержать управляющие символы"},
    CatalogueEntry{NameHasCharacter, "a file name on Windows cannot hold the character {1}",
                   "имя файла в Windows не может содержать символ {1}"},
    CatalogueEntry{NameIsDevice, "\"{1}\" is the name of a device on Windows, not of a file",
                   "\"{1}\" в Windows — имя устройства, а не файла"},

    CatalogueEntry{NoPortsListed, "no serial port is listed under {1}",
                   "в {1} не указан ни один последовательный порт"},
    CatalogueEntry{PortsListed, "{1} lists {2}", "в {1} указаны {2}"},
    CatalogueEntry{FolderMissing, "the folder {1} does not exist", "папки {1} не существует"},
    CatalogueEntry{NotAFolder, "{1} is not a folder", "{1} — не папка"},
    CatalogueEntry{FolderNotWritable, "the folder {1} is not writable", "в папку {1} нельзя писать"},
    CatalogueEntry{FolderNoPermission, "there is no permission to write in the folder {1}",
                   "нет разрешения на запись в папку {1}"},

    CatalogueEntry{SaveFailed, "The readings could not be saved. {1}",
                   "Не удалось сохранить показания. {1}"},
    CatalogueEntry{JournalHeldElsewhere,
                   "Another copy of the program is keeping its readings in {1}. This copy keeps no "
                   "journal: its readings are saved only by \"Выход\".",
                   "Другая копия программы хранит свои показания в {1}. Эта копия журнал не ведёт: её "
                   "показания сохраняет только «Выход»."},
    CatalogueEntry{JournalUnavailable,
                   "The readings cannot be kept in a journal: {1}. They are saved only by \"Выход\".",
                   "Показания не удаётся вести в журнале: {1}. Их сохраняет только «Выход»."},
    CatalogueEntry{JournalWriteFailed,
                   "The journal could not be written: {1}. Recording goes on, but until \"Выход\" "
                   "saves them, the readings are safe only while the program runs.",
                   "Не удалось записать журнал: {1}. Запись продолжается, но пока «Выход» их не "
                   "сохранит, показания целы, только пока работает программа."},
    CatalogueEntry{Recovered,
                   "Readings recovered from {2}: {1}. \"Выход\" saves them, with any new readings, "
                   "under the name in the box (now {3}).",
                   "Из {2} восстановлено показаний: {1}. «Выход» сохранит их вместе с новыми "
                   "показаниями под именем из поля (сейчас {3})."},
    CatalogueEntry{RecoveredSince,
                   "Readings recorded since {2} recovered from {3}: {1}. \"Выход\" saves them, with "
                   "any new readings, under the name in the box (now {4}).",
                   "Из {3} восстановлено показаний, записанных с {2}: {1}. «Выход» сохранит их вместе "
                   "с новыми показаниями под именем из поля (сейчас {4})."},
    CatalogueEntry{FatalSaved, "The recorded readings ({1}) were saved to {2}.",
                   "Записанные показания ({1}) сохранены в {2}."},
    CatalogueEntry{FatalKeptInJournal,
                   "The recorded readings ({1}) are kept in {2}, and the next start recovers them.",
                   "Записанные показания ({1}) остаются в {2}, следующий запуск их восстановит."},
    CatalogueEntry{FatalLost, "The recorded readings are lost.", "Записанные показания потеряны."},
    CatalogueEntry{TemporaryFolder,
                   "The program is running from a temporary folder, {1}, which Windows empties: the "
                   "log file saved there by \"Выход\" may be deleted with it. If it was started from "
                   "inside a zip file, unpack the whole zip first (\"Extract all\") into a folder of "
                   "your own, such as Documents, and start it from there.",
                   "Программа запущена из временной папки {1}, которую Windows очищает: файл, "
                   "сохранённый туда кнопкой «Выход», может быть удалён вместе с ней. Если программа "
                   "запущена прямо из zip-архива, сначала распакуйте весь архив («Извлечь все») в "
                   "свою папку, например в «Документы», и запускайте её оттуда."},
    CatalogueEntry{KeepingAwake, "Recording readings", "Идёт запись показаний"},

    CatalogueEntry{PortAnswersWithin, "port 1 answers within {1} ms", "порт 1 отвечает за {1} мс"},
    CatalogueEntry{ReadingsEvery,
                   "Port 1 shows a change of the converter's data up to {1} ms late, so one reading "
                   "takes about {2} s. A reading now comes every {3} seconds instead of every second.",
                   "Порт 1 показывает изменение данных преобразователя с опозданием до {1} мс, "
                   "поэтому одно измерение длится около {2} с. Показания теперь приходят раз в {3} "
                   "секунды, а не каждую секунду."},
    CatalogueEntry{ReadingsEverySecond,
                   "Port 1 now shows a change of the converter's data within {1} ms: a reading comes "
                   "every second again.",
                   "Порт 1 теперь показывает изменение данных преобразователя не позже чем через {1} "
                   "мс: показания снова приходят каждую секунду."},
    CatalogueEntry{PortTooSlow,
                   "Port 1 shows a change of the converter's data {1} ms late: too late to read it, "
                   "as one reading would take {2} s. Nothing is shown or recorded until the port "
                   "answers sooner; the program keeps trying. The latency timer of an FTDI adapter "
                   "can be lowered (see the README).",
                   "Порт 1 показывает изменение данных преобразователя с опозданием {1} мс — слишком "
                   "поздно: одно измерение длилось бы {2} с. Пока порт не станет отвечать быстрее, "
                   "показания не выводятся и не записываются; программа продолжает попытки. У "
                   "адаптера FTDI можно уменьшить таймер задержки (см. README)."},
    CatalogueEntry{PortUnsettled,
                   "DCD on port 1 changes when no line the program drives has moved (a loose wire, an "
                   "open input, or a port slower than {1} ms): its readings cannot be trusted. Nothing "
                   "is shown or recorded until it settles; the program keeps trying.",
                   "Сигнал DCD порта 1 меняется, когда программа не трогает линии (плохой контакт, "
                   "неподключённый вход или порт, отвечающий дольше {1} мс): его показаниям нельзя "
                   "верить. Пока он не успокоится, показания не выводятся и не записываются; "
                   "программа продолжает попытки."},
    CatalogueEntry{ReadingsResumed,
                   "Port 1 reads reliably again (it answers within {1} ms): readings resume.",
                   "Порт 1 снова читается надёжно (отвечает за {1} мс): показания возобновлены."},

    // The chart (thermometer-chart)
    CatalogueEntry{ChartProgram, "Thermometer chart", "График температуры"},
    CatalogueEntry{ChartTitle, "{1} — Thermometer chart", "{1} — График температуры"},
    CatalogueEntry{ChartMenuFile, "&File", "&Файл"},
    CatalogueEntry{ChartMenuOpen, "&Open…", "&Открыть…"},
    CatalogueEntry{ChartMenuSavePicture, "Save &picture…", "Сохранить &картинку…"},
    CatalogueEntry{ChartMenuExport, "&Export readings (CSV)…", "&Экспорт показаний (CSV)…"},
    CatalogueEntry{ChartMenuClose, "&Close", "&Закрыть"},
    CatalogueEntry{ChartMenuView, "&View", "&Вид"},
    CatalogueEntry{ChartMenuWhole, "&Whole recording", "&Вся запись"},
    CatalogueEntry{ChartMenuZoomIn, "Zoom &in", "&Крупнее"},
    CatalogueEntry{ChartMenuZoomOut, "Zoom &out", "&Мельче"},
    CatalogueEntry{ChartOpenTitle, "Open a log file", "Открыть файл с показаниями"},
    CatalogueEntry{ChartLogFiles, "Thermometer logs and journals", "Показания и журналы термометра"},
    CatalogueEntry{ChartAllFiles, "All files", "Все файлы"},
    CatalogueEntry{ChartPictureTitle, "Save the chart as a picture", "Сохранить график картинкой"},
    CatalogueEntry{ChartPictureFiles, "PNG pictures", "Картинки PNG"},
    CatalogueEntry{ChartExportTitle, "Export the readings in view", "Экспорт показаний с графика"},
    CatalogueEntry{ChartCsvFiles, "CSV tables", "Таблицы CSV"},
    CatalogueEntry{ChartPictureFailed,
                   "The picture could not be saved. {1}",
                   "Не удалось сохранить картинку. {1}"},
    CatalogueEntry{ChartExportFailed,
                   "The readings could not be exported. {1}",
                   "Не удалось экспортировать показания. {1}"},
    CatalogueEntry{ChartNothingRecording,
                   "Nothing is recording: there is no thermometer journal in {1}, this program's folder. "
                   "Open a saved log with File ▸ Open (Ctrl+O), or drop one here.",
                   "Сейчас ничего не записывается: в папке этой программы, {1}, нет журнала термометра. "
                   "Откройте сохранённый файл через Файл ▸ Открыть (Ctrl+O) или перетащите его сюда."},
    CatalogueEntry{ChartRecording, "Recording: {1}", "Идёт запись: {1}"},
    CatalogueEntry{ChartRecordingQuiet,
                   "No new reading in {1} since {2}: the recording is paused, or it ended without \"Выход\".",
                   "В {1} нет новых показаний с {2}: запись приостановлена или закончилась без «Выход»."},
    CatalogueEntry{ChartRecordingEnded,
                   "The recording has ended ({1} is gone); the chart keeps what it showed. Open a saved log "
                   "with File ▸ Open (Ctrl+O).",
                   "Запись закончилась ({1} удалён); график сохраняет то, что показывал. Сохранённый файл "
                   "открывается через Файл ▸ Открыть (Ctrl+O)."},
    CatalogueEntry{ChartFileGone,
                   "{1} is gone; the chart keeps what it showed.",
                   "{1} удалён; график сохраняет то, что показывал."},
    CatalogueEntry{ChartReadFailed, "The file could not be read. {1}", "Не удалось прочитать файл. {1}"},
    CatalogueEntry{ChartNotText,
                   "{1} is not a thermometer log: it is not text.",
                   "{1} — не файл показаний термометра: это не текст."},
    CatalogueEntry{ChartTooLarge,
                   "{1} is larger than {2} MB, more than any thermometer log: it is not shown.",
                   "{1} больше {2} МБ, а файлы показаний термометра такими не бывают: он не показан."},
    CatalogueEntry{ChartCapReached,
                   "Only the first {2} MB of {1} are shown.",
                   "Показаны только первые {2} МБ файла {1}."},
    CatalogueEntry{ChartNoReadings, "{1} holds no readings.", "В {1} нет показаний."},
    CatalogueEntry{ChartOtherLines,
                   "Lines that are not readings: {1}",
                   "Строк, которые не являются показаниями: {1}"},
    CatalogueEntry{ChartUnreadableTimes,
                   "Readings whose time could not be read: {1}, such as \"{2}\".",
                   "Показаний, время которых не удалось прочитать: {1}, например «{2}»."},
    CatalogueEntry{ChartTwoMarkers,
                   "The times count to 12, and the file does not tell morning from afternoon: \"{1}\" is "
                   "taken for the morning.",
                   "Время идёт до 12, и по файлу не понять, где утро, а где вечер: «{1}» принято за время до "
                   "полудня."},
    CatalogueEntry{ChartNoMarker,
                   "The times count to 12 without AM or PM, so morning and afternoon cannot be told: the "
                   "first reading is taken for the morning.",
                   "Время идёт до 12 без пометок AM и PM, поэтому утро и вечер не различить: первое "
                   "показание принято за время до полудня."},
    CatalogueEntry{ChartStatistics,
                   "In view: minimum {1} at {2}, maximum {3} at {4}, mean {5}; readings: {6}",
                   "На графике: минимум {1} в {2}, максимум {3} в {4}, среднее {5}; показаний: {6}"},
    CatalogueEntry{ChartNoReadingsInView, "No readings in view", "На графике нет показаний"},
    CatalogueEntry{ChartDegrees, "{1} °C", "{1} °C"},
    CatalogueEntry{ChartDegreesAxis, "°C", "°C"},
    CatalogueEntry{ChartDay, "day {1}", "день {1}"},
    CatalogueEntry{ChartDayAndTime, "{1} {2}", "{1} {2}"},
    CatalogueEntry{ChartPngEncoder,
                   "Windows' PNG encoder failed (code 0x{1})",
                   "Кодировщик PNG в Windows не справился (код 0x{1})"},
};

constexpr bool inIdOrder() {
    for (std::size_t i = 0; i < kCatalogue.size(); ++i)
        if (static_cast<std::size_t>(kCatalogue[i].id) != i)
            return false;
    return true;
}
static_assert(inIdOrder(), "catalogue entries out of the order of MessageId");
static_assert(kCatalogue.size() == static_cast<std::size_t>(ChartPngEncoder) + 1,
              "a MessageId has no catalogue entry");

} // namespace

std::span<const CatalogueEntry> catalogue() {
    return kCatalogue;
}

std::string_view catalogueText(MessageId id, Language language) {
    const CatalogueEntry& entry = kCatalogue[static_cast<std::size_t>(id)];
    return language == Language::Russian ? entry.russian : entry.english;
}

} // namespace text
