// The program's own texts, by their string ids.
#pragma once

namespace parcelo {

inline constexpr int kIdsAboutMenu = 101;
inline constexpr int kIdsOpenFilter = 102;
inline constexpr int kIdsSaveAttachmentFilter = 105;
inline constexpr int kIdsExtractFailed = 106;
inline constexpr int kIdsAppName = 107;
inline constexpr int kIdsSaveBodyFilter = 108;
inline constexpr int kIdsCouldNotStartPrintJob = 61702;

inline constexpr const char* kAboutMenuText = "&About...";
inline constexpr const char* kOpenFilterText =
    "Winmail.dat Files(*.dat)|*.dat|Outlook messages (*.msg)|*.msg|Mail (*.eml *.mbox)|*.eml;*.mbox|"
    "All files (*.*)|*.*||\n";
inline constexpr const char* kSaveAttachmentFilterText = "All Files (*.*)|*.*||\n";
inline constexpr const char* kExtractFailedText =
    "Extract failed! The file is invalid winmail.dat(MS-TNEF). ";
inline constexpr const char* kAppNameText = "Parcelo";
inline constexpr const char* kSaveBodyFilterText =
    "Rich Files(*.rtf)|*.rtf|All Files (*.*)|*.*||\n";
inline constexpr const char* kCouldNotStartPrintJobText = "Could not start print job.";

// What the window says of a file it cannot show, and of a stream it shows only in part.
inline constexpr const char* kNotOpenableText =
    "%1 is not a file Parcelo opens (TNEF, .msg, .eml or mbox).";
inline constexpr const char* kNotOpenableCliText =
    "not a file Parcelo opens (TNEF, .msg, .eml or mbox)";
inline constexpr const char* kDamagedStreamText = "Part of this file could not be read: %1.";
// What the window says when a command gives up on something it did not expect.
inline constexpr const char* kUnexpectedErrorText =
    "Parcelo could not finish what it was doing: %1";

// Printing the body.
inline constexpr const char* kPrintDocumentName = "Printing";
inline constexpr const char* kPrintingCaptionText = "Printing ...";
inline constexpr const char* kPrintPercentText = "%d %%";
inline constexpr const char* kPrintMinutesLeftText = "%d minutes, %d seconds";
inline constexpr const char* kPrintSecondsLeftText = "%d seconds";
inline constexpr const char* kPrintTimeUnknownText = "??";
// The third part of the progress dialog's job line: the printer's queue, or the file printed
// into; and the device name of Qt's own PDF writer, which has no printer name.
inline constexpr const char* kPrintOnPortText = "queue %s";
inline constexpr const char* kPrintToFileText = "file %s";
inline constexpr const char* kPdfDeviceName = "PDF";
inline constexpr const char* kPrintToFileFilterText =
    "PDF Files(*.pdf)|*.pdf|All Files (*.*)|*.*||\n";

}  // namespace parcelo
