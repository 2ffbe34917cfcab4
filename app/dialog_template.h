// Template 102, the main window: its caption, control ids, texts and positions in dialog
// units, in tab order.
#pragma once

namespace parcelo {

inline constexpr int kIddMainDialog = 102;

// Control ids.
inline constexpr int kIdcBrowse = 1000;
inline constexpr int kIdcFileName = 1001;
inline constexpr int kIdcBody = 1002;
inline constexpr int kIdcAttachmentList = 1003;
inline constexpr int kIdcAbout = 1008;
inline constexpr int kIdcFileNameLabel = 1011;
inline constexpr int kIdcAttachmentLabel = 1012;
inline constexpr int kIdcBodyLabel = 1013;
inline constexpr int kIdcPrint = 1014;
inline constexpr int kIdcSave = 1015;
inline constexpr int kIdcClose = 2;  // IDCANCEL

// Commands of the attachment menu (menu 131, "Attach Menu").
inline constexpr int kIdmOpen = 32771;
inline constexpr int kIdmSaveAs = 32772;
inline constexpr const char* kOpenMenuText = "Open";
inline constexpr const char* kSaveAsMenuText = "Save as...";

inline constexpr const char* kMainDialogCaption =
    "Oxbrook Parcelo - Extract TNEF message (Winmail.dat)";
inline constexpr int kMainDialogWidth = 329;
inline constexpr int kMainDialogHeight = 265;
inline constexpr int kMainDialogFontPoints = 9;

// The file name field takes a path of at most this many bytes.
inline constexpr int kFileNameMaxLength = 4095;

struct ControlTemplate {
    int id;
    int x, y, width, height;
    const char* text;
};

// In template order, which is also the tab order.
inline constexpr ControlTemplate kMainDialogControls[] = {
    {kIdcFileNameLabel, 7, 10, 41, 8, "Filename: "},
    {kIdcFileName, 51, 7, 155, 14, ""},
    {kIdcBrowse, 214, 7, 50, 14, "Browser..."},
    {kIdcAttachmentLabel, 258, 29, 45, 8, "Attachment:"},
    {kIdcAttachmentList, 258, 39, 64, 198, ""},
    {kIdcBodyLabel, 7, 29, 33, 8, "Message:"},
    {kIdcPrint, 7, 244, 50, 14, "Print..."},
    {kIdcBody, 7, 39, 247, 198, ""},
    {kIdcAbout, 272, 7, 50, 14, "About..."},
    {kIdcClose, 272, 244, 50, 14, "Close"},
    {kIdcSave, 65, 244, 50, 14, "Save..."},
};

// What a screen reader says of each control: its name is the caption people see, its
// description what it does.
struct AccessibleTexts {
    int id;
    const char* name;
    const char* description;
};

inline constexpr AccessibleTexts kMainDialogAccessibleTexts[] = {
    {kIdcFileNameLabel, "Filename", "Names the file name field"},
    {kIdcFileName, "Filename",
     "The path of the TNEF file (winmail.dat) on show; Enter loads a path typed here"},
    {kIdcBrowse, "Browser...", "Chooses a TNEF file (winmail.dat) to open"},
    {kIdcAttachmentLabel, "Attachment", "Names the attachment list"},
    {kIdcAttachmentList, "Attachment",
     "The files in the message; Enter opens the selected one, the Menu key offers to save it"},
    {kIdcBodyLabel, "Message", "Names the message body"},
    {kIdcPrint, "Print...", "Prints the message body"},
    {kIdcBody, "Message", "The message body, read only; Ctrl+F finds words in it"},
    {kIdcAbout, "About...", "Shows the version and the project's home page and support address"},
    {kIdcClose, "Close", "Closes the window"},
    {kIdcSave, "Save...", "Saves the message body as an RTF file"},
};

}  // namespace parcelo
