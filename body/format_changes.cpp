#include "body/format_changes.h"

#include <QTextCursor>
#include <QTextDocument>

namespace parcelo {

void ApplyCharFormatChanges(QTextDocument& document, const std::vector<CharFormatChange>& changes) {
    if (changes.empty())
        return;
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (const CharFormatChange& change : changes) {
        cursor.setPosition(change.position);
        if (change.length == 0) {
            cursor.setBlockCharFormat(change.format);
            continue;
        }
        cursor.setPosition(change.position + change.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(change.format);
    }
    cursor.endEditBlock();
}

}  // namespace parcelo
