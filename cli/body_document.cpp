#include "body_document.h"

#include <QTextCursor>
#include <QTextDocument>

#include "rtf/rtf_reader.h"

namespace parcelo {

void AppendBodies(QTextDocument& document, const std::vector<std::string>& rtfBodies) {
    for (const std::string& rtf : rtfBodies) {
        if (!document.isEmpty()) {
            // A paragraph of its own, not an item of a list that ended the previous body.
            QTextCursor end(&document);
            end.movePosition(QTextCursor::End);
            end.insertBlock(QTextBlockFormat(), QTextCharFormat());
        }
        AppendRtf(document, rtf);
    }
}

}  // namespace parcelo
