// The file-type filters of the string table ("Text(*.txt)|*.txt|All Files (*.*)|*.*||") in
// the form QFileDialog takes ("Text(*.txt);;All Files (*)").
#pragma once

#include <QString>

namespace parcelo {

// Each description keeps its text; a pattern in parentheses at its end is replaced by the
// pattern of its pair, with "*.*" meaning every file, as on Windows (on Linux many files have
// no dot in their name).
QString QtFileFilter(const char* tableFilter);

}  // namespace parcelo
