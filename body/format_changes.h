// Format changes gathered over a document's runs and made afterwards: changing a format while
// the runs are read would join fragments under the iterator.
#pragma once

#include <QTextCharFormat>

#include <vector>

class QTextDocument;

namespace parcelo {

struct CharFormatChange {
    int position;
    int length;  // 0: the block's own format, which sizes an empty line
    QTextCharFormat format;
};

// Gives each range of `changes` its format, in one edit.
void ApplyCharFormatChanges(QTextDocument& document, const std::vector<CharFormatChange>& changes);

}  // namespace parcelo
