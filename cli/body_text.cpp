#include "body_text.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QString>
#include <QStringList>

#include "offscreen_qt.h"
#include "body/body_document.h"
#include "body/message_header_block.h"
#include "body/offline_document.h"
#include "body/plain_text.h"

namespace parcelo {

std::string PlainTextOfBodies(const MessageBodies& bodies, int argc, char** argv) {
    if (bodies.sections.empty())
        return {};
    PrepareOffscreenQt();
    QGuiApplication application(argc, argv);
    // Each message as a mail reader prints it: its header lines, a blank line, its item's card
    // and its body.
    QStringList messages;
    for (const MessageSection& section : bodies.sections) {
        QString text = MessageHeaderText(section.header);
        if (section.card || section.body) {
            OfflineTextDocument document;
            document.setUndoRedoEnabled(false);
            BuildBodyDocument(document,
                             {MessageSection{{}, section.depth, section.card, section.body}},
                             [&](const QString&) { return QByteArray(); });
            if (!text.isEmpty())
                text += u'\n';
            text += PlainTextOfDocument(document);
        } else if (text.endsWith(u'\n')) {
            text.chop(1);
        }
        if (!text.isEmpty())
            messages << text;
    }
    if (messages.isEmpty())
        return {};
    const QByteArray utf8 = messages.join(QStringLiteral("\n\n")).toUtf8();
    std::string text(utf8.constData(), static_cast<size_t>(utf8.size()));
    text += "\n";
    return text;
}

}  // namespace parcelo
