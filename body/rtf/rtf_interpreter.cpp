// The interpreter's main loop: tokens into groups, each control word to the handler of its
// concern (named by the keyword table), and text to the destination of its group. The
// handlers live in a file for each concern; see rtf_keywords.h.
#include "body/rtf/rtf_interpreter.h"

#include "body/rtf/rtf_interpreter_state.h"
#include "body/rtf/rtf_keywords.h"
#include "body/rtf/rtf_tokenizer.h"

#include <algorithm>
#include <utility>

namespace parcelo::rtf {

namespace {

bool isByteSymbol(char symbol) {
    return symbol == '\\' || symbol == '{' || symbol == '}';
}

}  // namespace

void Interpreter::run() {
    RtfTokenizer tokens(rtf_);
    while (!done_) {
        const RtfToken token = tokens.next();
        switch (token.type) {
            case RtfToken::Type::End:
                finishDocument();
                return;
            case RtfToken::Type::GroupStart:
                flushPending();
                skip_ = 0;
                pushGroup();
                break;
            case RtfToken::Type::GroupEnd:
                flushPending();
                skip_ = 0;
                if (!popGroup())
                    finishDocument();
                break;
            case RtfToken::Type::ControlWord: {
                flushPending();
                const bool ignorable = std::exchange(ignorable_, false);
                if (skip_ > 0) {
                    --skip_;
                    skippedLead_ = false;
                    break;
                }
                if (state().dest == Dest::Skip)
                    break;
                ignorable_ = ignorable;
                controlWord(token.text, token.hasParam, token.param);
                ignorable_ = false;
                break;
            }
            case RtfToken::Type::ControlSymbol:
                // An escaped backslash or brace may be the trail byte of a double-byte
                // character, so it joins the bytes waiting to be decoded.
                if (!isByteSymbol(token.symbol))
                    flushPending();
                if (skip_ > 0) {
                    if (isByteSymbol(token.symbol))
                        skipByte(static_cast<uint8_t>(token.symbol));
                    else
                        --skip_;
                    break;
                }
                controlSymbol(token.symbol);
                break;
            case RtfToken::Type::HexByte:
                if (skip_ > 0) {
                    skipByte(token.byte);
                    break;
                }
                hexByte(token.byte);
                break;
            case RtfToken::Type::Text:
                text(token.text);
                break;
            case RtfToken::Type::Binary:
                flushPending();
                binary(token.text);
                break;
        }
    }
}

void Interpreter::pushGroup() {
    ignorable_ = false;
    if (groups_.size() >= kMaxDepth) {
        ++overflow_;
        return;
    }
    groups_.push_back(groups_.back());
}

bool Interpreter::popGroup() {
    if (overflow_ > 0) {
        --overflow_;
        return true;
    }
    const size_t closing = depth();
    if (groups_.size() <= 2)
        return false;  // the document's own group has ended
    const Group popped = groups_.back();
    groups_.pop_back();
    Group& parent = groups_.back();

    if (popped.dest == Dest::FontTable)
        finishFontName();
    if (pictureDepth_ == closing) {
        finishPicture();
        pictureDepth_ = 0;
    }
    while (!fields_.empty() && fields_.back().depth >= closing) {
        endField(fields_.back());
        fields_.pop_back();
    }
    // A destination's group hands back what was read in it, unless the destination goes on
    // in the enclosing group.
    if (popped.dest != parent.dest) {
        switch (popped.dest) {
            case Dest::ShapePropertyName:
            case Dest::ShapePropertyValue:
            case Dest::PageBackground:
                endShapeGroup(popped.dest);
                break;
            case Dest::LegacyList:
            case Dest::ListLevelText:
                endListGroup(popped, parent);
                break;
            case Dest::HtmlTag:
                endHtmlTagGroup();
                break;
            default:
                break;
        }
    }
    return true;
}

void Interpreter::finishDocument() {
    if (done_)
        return;
    done_ = true;
    flushPending();
    if (html())
        return;
    // A body cut off inside a picture still shows what it has of it.
    if (pictureDepth_ != 0) {
        finishPicture();
        pictureDepth_ = 0;
    }
    if (!runText_.isEmpty() || !runs_.empty())
        endParagraph(state().para.tableLevel);
    builder_->finish();
}

void Interpreter::controlWord(std::string_view name, bool hasParam, int param) {
    const auto found = keywords_.find(name);
    if (found == keywords_.end()) {
        // An unknown destination marked ignorable is skipped whole.
        if (ignorable_)
            state().dest = Dest::Skip;
        return;
    }
    const Keyword* const keyword = &found->second;
    Group& g = state();
    const Word word{keyword->kw, keyword->opensDestination, !hasParam || param != 0, keyword->arg,
                    param};
    if (g.dest == Dest::PageBackground || g.dest == Dest::ShapePropertyName ||
        g.dest == Dest::ShapePropertyValue) {
        shapeWord(g, word);
        return;
    }
    if (g.dest == Dest::Shape) {
        shapeInstructionWord(g, word);
        return;
    }
    // A word that opens a destination does so wherever it stands; any other word reaches its
    // handler only where no table or picture header reads it. Most words stand in the text,
    // which reads none.
    if (!word.opensDestination && g.dest != Dest::Text && readByDestination(g, word))
        return;
    switch (keyword->concern) {
        case Concern::Destination:
            destinationWord(g, word);
            return;
        case Concern::TextDecoding:
            textDecodingWord(g, word);
            return;
        case Concern::CharacterFormat:
            characterFormatWord(g, word);
            return;
        case Concern::ParagraphFormat:
            paragraphFormatWord(g, word);
            return;
        case Concern::Table:
            tableWord(g, word);
            return;
        case Concern::List:
            listWord(g, word);
            return;
        case Concern::Field:
            fieldWord(g, word);
            return;
        case Concern::Picture:
            pictureWord(g, word);
            return;
        case Concern::PageBackground:
            pageBackgroundWord(g, word);
            return;
        case Concern::HtmlTag:
            htmlTagWord(g, word);
            return;
    }
}

// Whether the destination of `g` takes `word` as one of its own (or drops it), so that it
// does not reach the body.
bool Interpreter::readByDestination(Group& g, const Word& word) {
    switch (g.dest) {
        case Dest::FontTable:
            fontTableWord(word);
            return true;
        case Dest::ColorTable:
            colorTableWord(word);
            return true;
        case Dest::ListTable:
            listTableWord(word);
            return true;
        case Dest::ListOverrideTable:
            listOverrideTableWord(word);
            return true;
        case Dest::Picture:
            pictureHeaderWord(word);
            return true;
        case Dest::LegacyList:
            legacyListWord(g, word);
            return true;
        case Dest::Skip:
        case Dest::ListLevelText:
            return word.kw != Kw::Unicode;
        case Dest::PageBackground:
        case Dest::ShapePropertyName:
        case Dest::ShapePropertyValue:
        case Dest::Shape:
            return true;  // read by shapeWord and shapeInstructionWord
        case Dest::Text:
        case Dest::HtmlTag:
        case Dest::FieldInstruction:
            break;
    }
    return false;
}

void Interpreter::controlSymbol(char symbol) {
    switch (symbol) {
        case '*':
            ignorable_ = true;
            return;
        case '\\':
        case '{':
        case '}':
            addBytes(std::string_view(&symbol, 1));
            return;
        case '~':
            emitChar(u'\u00A0');
            return;
        case '-':
            emitChar(u'\u00AD');
            return;
        case '_':
            emitChar(u'\u2011');
            return;
        case '\t':
            emitChar(u'\t');
            return;
        case '\n':
            if (html()) {
                emitChar(u'\n');
            } else if (state().dest == Dest::Text) {
                endParagraph(state().para.tableLevel);
            }
            return;
        default:
            return;
    }
}

void Interpreter::text(std::string_view bytes) {
    while (skip_ > 0 && !bytes.empty()) {
        skipByte(static_cast<uint8_t>(bytes.front()));
        bytes.remove_prefix(1);
    }
    if (bytes.empty())
        return;
    switch (state().dest) {
        case Dest::Skip:
            return;
        case Dest::ColorTable:
            colorTableText(bytes);
            return;
        case Dest::Picture:
            addPictureHex(bytes);
            return;
        case Dest::FontTable:
            fontTableText(bytes);
            return;
        default:
            addBytes(bytes);
            return;
    }
}

void Interpreter::hexByte(uint8_t byte) {
    const Dest dest = state().dest;
    if (dest == Dest::Picture) {
        picture_.data.append(static_cast<char>(byte));
        return;
    }
    if (dest == Dest::Skip || dest == Dest::ColorTable)
        return;
    const char c = static_cast<char>(byte);
    addBytes(std::string_view(&c, 1));
}

void Interpreter::binary(std::string_view bytes) {
    if (state().dest == Dest::Picture)
        picture_.data.append(bytes.data(), bytes.size());
}

void Interpreter::emitText(QStringView text) {
    Group& g = state();
    switch (g.dest) {
        case Dest::Text:
            if (html()) {
                if (!g.htmlRtf)
                    htmlText(text);
            } else if (!g.chars.hidden) {
                appendRun(text);
            }
            return;
        case Dest::HtmlTag:
            html_.append(text);
            return;
        case Dest::FieldInstruction:
            if (!fields_.empty() && fields_.back().instruction.size() < kMaxInstruction)
                fields_.back().instruction.append(text);
            return;
        case Dest::FontTable:
            if (fontName_.size() < kMaxName)
                fontName_.append(text);
            return;
        case Dest::ListLevelText:
            if (levelText_.size() < kMaxName)
                levelText_.append(text);
            return;
        case Dest::ShapePropertyName:
        case Dest::ShapePropertyValue:
            if (shapeText_.size() < kMaxName)
                shapeText_.append(text);
            return;
        default:
            return;
    }
}

void Interpreter::appendRun(QStringView text) {
    const CharProps& props = state().chars;
    if (!runText_.isEmpty() && !(props == runProps_))
        flushRun();
    if (runText_.isEmpty())
        runProps_ = props;
    runText_.append(text);
}

void Interpreter::flushRun() {
    if (runText_.isEmpty())
        return;
    runs_.push_back({std::move(runText_), formatFor(runProps_)});
    runText_ = QString();
}

}  // namespace parcelo::rtf

namespace parcelo {

void InterpretRtf(std::string_view rtf, DocumentBuilder& builder) {
    rtf::Interpreter interpreter(rtf, &builder);
    interpreter.run();
}

QString InterpretEncapsulatedHtml(std::string_view rtf) {
    rtf::Interpreter interpreter(rtf, nullptr);
    interpreter.run();
    return interpreter.takeHtml();
}

}  // namespace parcelo
