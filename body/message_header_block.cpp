#include "body/message_header_block.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLength>

#include <vector>

namespace parcelo {

namespace {

QString utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString addressList(const std::vector<MessageAddress>& addresses) {
    QStringList shown;
    for (const MessageAddress& address : addresses)
        shown << utf8(address.display());
    return shown.join(QStringLiteral("; "));
}

// As a mail reader dates a message: the long date and the short time, local, to the minute
// (some locales' short time, the C locale's among them, shows seconds).
QString sentText(int64_t secondsSinceEpoch) {
    const QDateTime local = QDateTime::fromSecsSinceEpoch(secondsSinceEpoch).toLocalTime();
    const QLocale locale;
    QString timeFormat = locale.timeFormat(QLocale::ShortFormat);
    timeFormat.remove(QRegularExpression(QStringLiteral("[:.]ss?")));
    return locale.toString(local.date(), QLocale::LongFormat) + u' ' +
           locale.toString(local.time(), timeFormat);
}

}  // namespace

QList<QPair<QString, QString>> MessageHeaderLines(const MessageHeader& header) {
    QList<QPair<QString, QString>> lines;
    const auto add = [&](const char* label, const QString& value) {
        if (!value.isEmpty())
            lines.append({QString::fromLatin1(label), value});
    };
    add("From:", utf8(header.from.display()));
    if (header.sentTime)
        add("Sent:", sentText(*header.sentTime));
    add("To:", addressList(header.to));
    add("Cc:", addressList(header.cc));
    add("Subject:", utf8(header.subject));
    if (header.importance == MessageImportance::kHigh)
        add("Importance:", QStringLiteral("High"));
    else if (header.importance == MessageImportance::kLow)
        add("Importance:", QStringLiteral("Low"));
    return lines;
}

QString MessageHeaderText(const MessageHeader& header) {
    QString text;
    for (const auto& [label, value] : MessageHeaderLines(header))
        text += label + u' ' + value + u'\n';
    return text;
}

void AppendMessageHeader(QTextDocument& document, const MessageHeader& header) {
    const QList<QPair<QString, QString>> lines = MessageHeaderLines(header);
    if (lines.isEmpty())
        return;
    const bool undoWasEnabled = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    // Each line a paragraph of its own, in no format a body left behind.
    const bool first = document.isEmpty();
    if (first)
        cursor.setBlockFormat(QTextBlockFormat());
    else
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0 || !first)
            cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        cursor.insertText(lines[i].first, bold);
        cursor.insertText(u' ' + lines[i].second, QTextCharFormat());
    }
    QTextBlockFormat rule;
    rule.setProperty(QTextFormat::BlockTrailingHorizontalRulerWidth,
                     QTextLength(QTextLength::PercentageLength, 100));
    cursor.insertBlock(rule, QTextCharFormat());
    cursor.endEditBlock();
    document.setUndoRedoEnabled(undoWasEnabled);
}

}  // namespace parcelo
