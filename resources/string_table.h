// The program's own texts, by their string ids.
#pragma once

namespace parcelo {

inline constexpr int kIdsAboutMenu = 101;
inline constexpr int kIdsOpenFilter = 102;
inline constexpr int kIdsSaveAttachmentFilter = 105;
inline constexpr int kIdsExtractFailed = 106;
inline constexpr int kIdsAppName = 107;
inline constexpr int kIdsSaveBodyFilter = 108;

inline constexpr const char* kAboutMenuText = "&About...";
inline constexpr const char* kOpenFilterText =
    "Winmail.dat Files(*.dat)|*.dat|All Files (*.*)|*.*||\n";
inline constexpr const char* kSaveAttachmentFilterText = "All Files (*.*)|*.*||\n";
inline constexpr const char* kExtractFailedText =
    "Extract failed! The file is invaild winmail.dat(MS-TNEF). ";
inline constexpr const char* kAppNameText = "Parcelo";
inline constexpr const char* kSaveBodyFilterText =
    "Rich Files(*.rtf)|*.rtf|All Files (*.*)|*.*||\n";

}  // namespace parcelo
