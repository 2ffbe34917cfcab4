// Template 106, the print progress dialog: its caption, control ids, texts and positions in
// dialog units. The texts of the job and page lines are templates that the print job reads
// back and fills in.
#pragma once

#include "dialog_template.h"

namespace parcelo {

inline constexpr int kIddPrintProgress = 106;

inline constexpr int kIdcPrintCancel = 2;  // IDCANCEL
inline constexpr int kIdcPrintProgressBar = 1009;
inline constexpr int kIdcPrintPercent = 1037;
inline constexpr int kIdcPrintJobLine = 1038;
inline constexpr int kIdcPrintPageLine = 1039;

inline constexpr const char* kPrintProgressCaption = "Printing";
inline constexpr int kPrintProgressWidth = 219;
inline constexpr int kPrintProgressHeight = 57;
inline constexpr int kPrintProgressFontPoints = 9;

inline constexpr ControlTemplate kPrintProgressControls[] = {
    {kIdcPrintCancel, 161, 33, 50, 14, "Cancel"},
    {kIdcPrintProgressBar, 32, 36, 120, 9, ""},
    {kIdcPrintPercent, 7, 36, 21, 8, "100 %"},
    {kIdcPrintJobLine, 8, 9, 203, 9, "Printing %s on %s on %s ..."},
    {kIdcPrintPageLine, 8, 22, 203, 9, "Page %d of %d, %s left to end ..."},
};

}  // namespace parcelo
