#include "body/message_body.h"

#include <QTextCursor>
#include <QTextDocument>

#include "body/html/html_charset.h"
#include "body/html/html_from_rtf.h"
#include "body/line_spacing.h"

namespace parcelo {

namespace {

void appendPlainText(QTextDocument& document, std::string_view content) {
    QString text = QString::fromUtf8(content.data(), static_cast<qsizetype>(content.size()));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    const bool undoWasEnabled = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    if (!document.isEmpty())
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    cursor.insertText(text, QTextCharFormat());
    cursor.endEditBlock();
    document.setUndoRedoEnabled(undoWasEnabled);
}

}  // namespace

void AppendMessageBody(QTextDocument& document, BodyFormat format, std::string_view content,
                       uint32_t codePage, const CidResolver& resolveCid) {
    if (!document.isEmpty()) {
        // A blank line between two messages' bodies, in a paragraph of its own (not an item
        // of a list that ended the previous body).
        QTextCursor end(&document);
        end.movePosition(QTextCursor::End);
        end.insertBlock(QTextBlockFormat(), QTextCharFormat());
    }
    const int from = document.characterCount() - 1;
    switch (format) {
        case BodyFormat::kHtml:
            AppendHtml(document, DecodeHtmlBody(content, codePage), resolveCid);
            break;
        case BodyFormat::kText:
            appendPlainText(document, content);
            break;
        default:
            AppendRtf(document, content, resolveCid);
            break;
    }
    SetSingleLineSpacing(document, from);
}

}  // namespace parcelo
