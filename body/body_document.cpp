#include "body/body_document.h"

#include <QByteArray>
#include <QString>
#include <QTextDocument>

#include "engine/content_id.h"
#include "body/item_card_block.h"
#include "body/message_body.h"
#include "body/message_header_block.h"

namespace parcelo {

void BuildBodyDocument(QTextDocument& document, const std::vector<MessageSection>& sections,
                      const CidResolver& resolveCid) {
    for (const MessageSection& section : sections) {
        AppendMessageHeader(document, section.header);
        if (section.card)
            AppendItemCard(document, *section.card);
        if (section.body) {
            AppendMessageBody(document, section.body->format, section.body->content,
                              section.body->codePage, resolveCid);
        }
    }
}

void BuildBodyDocument(QTextDocument& document, const MessageBodies& bodies) {
    const CidResolver resolveCid = [&](const QString& contentId) {
        const std::string id = contentId.toStdString();
        auto found = bodies.attachmentsByContentId.find(id);
        if (found == bodies.attachmentsByContentId.end()) {
            found = bodies.picturesByName.find(FileNameInContentId(id));
            if (found == bodies.picturesByName.end())
                return QByteArray();
        }
        return QByteArray(found->second.data(), static_cast<qsizetype>(found->second.size()));
    };
    BuildBodyDocument(document, bodies.sections, resolveCid);
}

}  // namespace parcelo
