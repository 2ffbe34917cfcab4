// Paragraph formatting: alignment, indents, spacing, shading, line breaks and tabs, and the
// end of a paragraph with the QTextBlockFormat its properties give.
#include "rtf_interpreter_state.h"

namespace parcelo::rtf {

void Interpreter::paragraphFormatWord(Group& g, const Word& word) {
    ParaProps& para = g.para;
    switch (word.kw) {
        case Kw::Par:
            if (html()) {
                emitChar(u'\n');
            } else if (g.dest == Dest::Text) {
                endParagraph(para.inTable);
            }
            return;
        case Kw::Line:
            emitChar(html() ? u'\n' : u'\u2028');
            return;
        case Kw::Tab:
            emitChar(u'\t');
            return;
        case Kw::Pard:
            para = ParaProps{};
            return;
        case Kw::Alignment:
            para.align = static_cast<Align>(word.arg);
            return;
        case Kw::LeftIndent:
            para.left = clampTwips(word.param);
            return;
        case Kw::RightIndent:
            para.right = clampTwips(word.param);
            return;
        case Kw::FirstIndent:
            para.firstLine = clampTwips(word.param);
            return;
        case Kw::SpaceBefore:
            para.before = clampTwips(word.param);
            return;
        case Kw::SpaceAfter:
            para.after = clampTwips(word.param);
            return;
        case Kw::LineSpacing:
            para.lineSpacing = clampTwips(word.param);
            return;
        case Kw::LineMultiple:
            para.lineMultiple = word.on;
            return;
        case Kw::ParagraphShading:
            para.shading = word.param;
            return;
        default:
            return;
    }
}

void Interpreter::endParagraph(bool inTable) {
    flushRun();
    const ParaProps& para = state().para;
    BuiltParagraph paragraph;
    paragraph.inList = !inTable && listFormatFor(para, paragraph.list);
    // A paragraph that goes on with a list item stands where the item's text does, without a
    // number of its own, and the list's numbering goes on after it.
    const bool continuesItem = !inTable && para.legacyList == kListContinues;
    if (!paragraph.inList && !continuesItem)
        ++legacyListSerial_;
    paragraph.format = blockFormatFor(para, paragraph.inList || continuesItem);
    if (continuesItem)
        paragraph.format.setIndent(1);
    paragraph.markFormat = formatFor(state().chars);
    paragraph.runs = std::move(runs_);
    runs_.clear();
    if (inTable)
        cellHasParagraph_ = true;
    builder_->addParagraph(std::move(paragraph), inTable);
}

QTextBlockFormat Interpreter::blockFormatFor(const ParaProps& props, bool inList) const {
    QTextBlockFormat format;
    switch (props.align) {
        case Align::Default:
            break;
        case Align::Right:
            format.setAlignment(Qt::AlignRight);
            break;
        case Align::Center:
            format.setAlignment(Qt::AlignHCenter);
            break;
        case Align::Justify:
            format.setAlignment(Qt::AlignJustify);
            break;
    }
    // Lengths become pixels at 96 dpi: 15 twips each.
    if (!inList) {
        const int left = std::max(props.left, 0);
        if (left != 0)
            format.setLeftMargin(left / 15.0);
        const int indent = std::max(props.firstLine, -left);
        if (indent != 0)
            format.setTextIndent(indent / 15.0);
    }
    if (props.right > 0)
        format.setRightMargin(props.right / 15.0);
    if (props.before > 0)
        format.setTopMargin(props.before / 15.0);
    if (props.after > 0)
        format.setBottomMargin(props.after / 15.0);
    const QColor shading = colorAt(props.shading);
    if (shading.isValid())
        format.setBackground(shading);
    if (props.lineSpacing != 0) {
        if (props.lineMultiple && props.lineSpacing > 0)
            format.setLineHeight(props.lineSpacing * 100.0 / 240.0,
                                 QTextBlockFormat::ProportionalHeight);
        else if (props.lineSpacing > 0)
            format.setLineHeight(props.lineSpacing / 15.0, QTextBlockFormat::MinimumHeight);
        else
            format.setLineHeight(-props.lineSpacing / 15.0, QTextBlockFormat::FixedHeight);
    }
    return format;
}

}  // namespace parcelo::rtf
