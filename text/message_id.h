#pragma once
// Every message the program shows or prints, by name. The texts, in each
// language, are the catalogue's (catalogue.cpp); code names a message and
// hands over its arguments, and never writes a message text itself.

namespace text {

enum class MessageId {
    // Frames
    BoxTitle,         // the message boxes' title
    OkButton,         // their one button
    ErrorLine,        // {1} number, {2} what happened, {3} the device or file
    ErrorLineBare,    // {1} number, {2} what happened
    PortIs,           // {1} port number, {2} device
    SimulatedConverter,

    // What failed (an Error's id). SystemFailure has no text of its own:
    // the system's text for the number says it all.
    SystemFailure,
    OutOfMemory,
    InternalError,
    InvalidPortSettings,  // {1} the settings text
    InvalidPortNumber,    // {1} the number
    NoPortChosen,
    PortAlreadyOpen,
    PortNotOpen,
    PortMissing,
    PortAccessDenied,
    PortBusy,
    PortOpenFailed,
    PortSettingsRefused,
    BaudUnavailable,      // {1} the baud rate
    StopBitsUnavailable,
    PortStopped,
    FileIsFolder,
    FileReadOnly,
    FileInUse,
    NameLeadsToDevice,
    NameHasControlCharacter,
    NameHasCharacter,     // {1} the character
    NameIsDevice,         // {1} the device's name

    // Notes an Error may carry
    NoPortsListed,        // {1} the registry key
    PortsListed,          // {1} the registry key, {2} the ports
    FolderMissing,        // {1} the folder
    NotAFolder,           // {1} the path
    FolderNotWritable,    // {1} the folder
    FolderNoPermission,   // {1} the folder

    // Form1's messages
    SaveFailed,           // {1} the error's line
    JournalHeldElsewhere, // {1} the journal
    JournalUnavailable,   // {1} the error's line
    JournalWriteFailed,   // {1} the error's line
    Recovered,            // {1} count, {2} journal, {3} log file
    RecoveredSince,       // {1} count, {2} since, {3} journal, {4} log file
    FatalSaved,           // {1} count, {2} log file
    FatalKeptInJournal,   // {1} count, {2} journal
    FatalLost,
    TemporaryFolder,      // {1} the folder
    KeepingAwake,         // why the system is asked not to sleep

    // How port 1 reads (all delays in whole milliseconds)
    PortAnswersWithin,    // {1} the longest delay measured
    ReadingsEvery,        // {1} delay, {2} a reading's length in seconds, {3} seconds between readings
    ReadingsEverySecond,  // {1} delay
    PortTooSlow,          // {1} delay, {2} a reading's length in seconds
    PortUnsettled,        // {1} the longest delay a reading can afford
    ReadingsResumed,      // {1} delay

    // The chart (thermometer-chart)
    ChartProgram,
    ChartTitle,           // {1} the file's name
    ChartMenuFile,
    ChartMenuOpen,
    ChartMenuSavePicture,
    ChartMenuExport,
    ChartMenuClose,
    ChartMenuView,
    ChartMenuWhole,
    ChartMenuZoomIn,
    ChartMenuZoomOut,
    ChartOpenTitle,
    ChartLogFiles,
    ChartAllFiles,
    ChartPictureTitle,
    ChartPictureFiles,
    ChartExportTitle,
    ChartCsvFiles,
    ChartPictureFailed,   // {1} the error's line
    ChartExportFailed,    // {1} the error's line
    ChartNothingRecording, // {1} the program's folder
    ChartRecording,       // {1} the journal
    ChartRecordingQuiet,  // {1} the journal, {2} the last reading's time
    ChartRecordingEnded,  // {1} the journal
    ChartFileGone,        // {1} the file
    ChartReadFailed,      // {1} the error's line
    ChartNotText,         // {1} the file
    ChartTooLarge,        // {1} the file, {2} the cap in MB
    ChartCapReached,      // {1} the file, {2} the cap in MB
    ChartNoReadings,      // {1} the file
    ChartOtherLines,      // {1} count
    ChartUnreadableTimes, // {1} count, {2} an example
    ChartTwoMarkers,      // {1} the marker taken for the morning
    ChartNoMarker,
    ChartStatistics,      // {1} minimum, {2} its time, {3} maximum, {4} its time, {5} mean, {6} count
    ChartNoReadingsInView,
    ChartDegrees,         // {1} a number
    ChartDegreesAxis,
    ChartDay,             // {1} the day's number, from 1
    ChartDayAndTime,      // {1} the day, {2} the time
    ChartPngEncoder,      // {1} the encoder's code, hexadecimal
};

} // namespace text
