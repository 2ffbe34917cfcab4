// HTML encapsulated in RTF (\fromhtml1): the \htmltag groups that carry the markup, the text
// between them, and \htmlrtf, which marks what is there only for RTF readers.
#include "body/rtf/rtf_interpreter_state.h"

namespace parcelo::rtf {

namespace {

// The first word of an HTML tag ("img" for "<img src=...>"), to match \mhtmltag twins.
QStringView tagName(QStringView tag) {
    qsizetype start = tag.indexOf(u'<');
    if (start < 0)
        return {};
    ++start;
    qsizetype end = start;
    while (end < tag.size() && (tag[end].isLetterOrNumber() || tag[end] == u'/'))
        ++end;
    return tag.mid(start, end - start);
}

}  // namespace

void Interpreter::htmlTagWord(Group& g, const Word& word) {
    switch (word.kw) {
        case Kw::HtmlTag:
        case Kw::MhtmlTag:
            if (!html()) {
                g.dest = Dest::Skip;
                return;
            }
            g.dest = Dest::HtmlTag;
            htmlTagStart_ = html_.size();
            htmlTagIsMhtml_ = word.kw == Kw::MhtmlTag;
            htmlTagParam_ = word.param;
            twinOf_.clear();
            if (!htmlTagIsMhtml_ && mhtmlParam_ == word.param)
                twinOf_ = mhtmlTag_;
            mhtmlTag_.clear();
            mhtmlParam_ = -1;
            return;
        case Kw::HtmlRtf:
            g.htmlRtf = word.on;
            return;
        default:
            return;
    }
}

void Interpreter::endHtmlTagGroup() {
    if (htmlTagStart_ < 0)
        return;
    const QStringView tag = QStringView(html_).mid(htmlTagStart_);
    if (htmlTagIsMhtml_) {
        mhtmlTag_ = tag.toString();
        mhtmlParam_ = htmlTagParam_;
    } else if (!twinOf_.isEmpty() &&
               tagName(tag).compare(tagName(twinOf_), Qt::CaseInsensitive) == 0) {
        html_.truncate(htmlTagStart_);
    }
    htmlTagStart_ = -1;
    twinOf_.clear();
}

void Interpreter::htmlText(QStringView text) {
    // Text between the tags: an \htmltag after it is no twin of an earlier \mhtmltag.
    mhtmlTag_.clear();
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c != u'<' && c != u'>' && c != u'&')
            continue;
        html_.append(text.mid(start, i - start));
        html_.append(c == u'<' ? u"&lt;" : c == u'>' ? u"&gt;" : u"&amp;");
        start = i + 1;
    }
    html_.append(text.mid(start));
}

}  // namespace parcelo::rtf
