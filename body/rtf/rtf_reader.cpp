#include "body/rtf/rtf_reader.h"

#include "body/document_builder.h"
#include "body/html/html_from_rtf.h"
#include "body/rtf/rtf_interpreter.h"
#include "body/rtf/rtf_tokenizer.h"

namespace parcelo {

namespace {

// Outlook writes \fromhtml1 or \fromtext right after the character set, long before the
// first text; this many tokens is far past any real header.
constexpr int kHeaderTokens = 2000;

bool isBlank(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace

RtfBodyKind RtfBodyKindOf(std::string_view rtf) {
    RtfTokenizer tokens(rtf);
    int depth = 0;
    for (int i = 0; i < kHeaderTokens; ++i) {
        const RtfToken token = tokens.next();
        switch (token.type) {
            case RtfToken::Type::End:
                return RtfBodyKind::Native;
            case RtfToken::Type::GroupStart:
                ++depth;
                break;
            case RtfToken::Type::GroupEnd:
                if (--depth <= 0)
                    return RtfBodyKind::Native;
                break;
            case RtfToken::Type::ControlWord:
                if (depth != 1)
                    break;
                if (token.text == "fromhtml")
                    return RtfBodyKind::Html;
                if (token.text == "fromtext")
                    return RtfBodyKind::Text;
                break;
            case RtfToken::Type::Text:
                if (depth == 1 && !isBlank(token.text))
                    return RtfBodyKind::Native;
                break;
            default:
                if (depth == 1)
                    return RtfBodyKind::Native;
                break;
        }
    }
    return RtfBodyKind::Native;
}

RtfBodyKind AppendRtf(QTextDocument& document, std::string_view rtf,
                      const CidResolver& resolveCid) {
    const RtfBodyKind kind = RtfBodyKindOf(rtf);
    if (kind == RtfBodyKind::Html) {
        const QString html = InterpretEncapsulatedHtml(rtf);
        // A body too damaged to give any HTML still has its RTF rendering to show.
        if (!html.trimmed().isEmpty()) {
            AppendHtml(document, html, resolveCid);
            return kind;
        }
    }
    DocumentBuilder builder(document);
    InterpretRtf(rtf, builder);
    return kind;
}

}  // namespace parcelo
