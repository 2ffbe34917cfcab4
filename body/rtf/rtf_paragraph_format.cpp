// Paragraph formatting: alignment, indents, spacing, shading, line breaks, tabs and tab
// stops, and the end of a paragraph with the QTextBlockFormat its properties give.
#include "body/lengths.h"
#include "body/rtf/rtf_interpreter_state.h"

namespace parcelo::rtf {

namespace {

// Default stops are set as far as a line of a wide page reaches (22 inches); past them a tab
// goes to Qt's own stops.
constexpr int kDefaultStopsReach = 31680;

// Qt measures tab positions from where the line starts, Word from the left margin; a
// paragraph's tab stops are set for its first line, whose tabs line up forms. Past its own
// stops a tab falls to the next multiple of `defaultTab` from the margin, as in Word (none
// when it is 0).
QList<QTextOption::Tab> tabsFor(std::vector<TabStop> stops, int lineStart, int indent,
                                int defaultTab) {
    // Word stops a tab at a hanging indent as if a tab stop stood there.
    if (indent < 0)
        stops.push_back({lineStart - indent, QTextOption::LeftTab});
    std::stable_sort(stops.begin(), stops.end(),
                     [](const TabStop& a, const TabStop& b) { return a.position < b.position; });
    QList<QTextOption::Tab> tabs;
    for (const TabStop& stop : stops) {
        const double position = (stop.position - lineStart) / kTwipsPerPixel;
        if (position <= 0 || (!tabs.isEmpty() && position <= tabs.back().position))
            continue;
        tabs.append(QTextOption::Tab(
            position, stop.type, stop.type == QTextOption::DelimiterTab ? QChar(u'.') : QChar()));
    }
    if (defaultTab > 0) {
        const int last = stops.empty() ? lineStart : std::max(lineStart, stops.back().position);
        for (int stop = (last / defaultTab + 1) * defaultTab; stop <= kDefaultStopsReach;
             stop += defaultTab) {
            const double position = (stop - lineStart) / kTwipsPerPixel;
            if (position > 0 && (tabs.isEmpty() || position > tabs.back().position))
                tabs.append(QTextOption::Tab(position, QTextOption::LeftTab));
        }
    }
    return tabs;
}

}  // namespace

void Interpreter::paragraphFormatWord(Group& g, const Word& word) {
    ParaProps& para = g.para;
    switch (word.kw) {
        case Kw::Par:
            if (html()) {
                emitChar(u'\n');
            } else if (g.dest == Dest::Text) {
                endParagraph(para.tableLevel);
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
            // A style word after \pard no longer describes the border before it.
            if (borderOwner_ == BorderOwner::Paragraph)
                borderOwner_ = BorderOwner::None;
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
        case Kw::TabKind:
            tabType_ = static_cast<QTextOption::TabType>(word.arg);
            return;
        case Kw::TabStop:
            if (tabSets_[para.tabSet].size() < kMaxTabStops) {
                std::vector<TabStop> stops = tabSets_[para.tabSet];
                stops.push_back({clampTwips(word.param), tabType_});
                if (const int set = tabSetOf(std::move(stops)); set >= 0)
                    para.tabSet = set;
            }
            tabType_ = QTextOption::LeftTab;
            return;
        case Kw::BarTab:
            // A bar tab draws a line and stops no text; Qt cannot draw it.
            tabType_ = QTextOption::LeftTab;
            return;
        case Kw::DefaultTab:
            // Stops closer than a hundredth of an inch would be a list without end.
            if (word.param >= 15)
                defaultTab_ = std::min(static_cast<int>(word.param), kDefaultStopsReach);
            return;
        default:
            return;
    }
}

void Interpreter::endParagraph(int tableLevel) {
    flushRun();
    const ParaProps& para = state().para;
    BuiltParagraph paragraph;
    // A paragraph that goes on with a list item stands where the item's text does, without a
    // number of its own, and the list's numbering goes on after it. Word 97 marks such a
    // paragraph so while giving it the list's \ls as well, for readers that know only lists.
    const bool continuesItem = tableLevel == 0 && para.legacyList == kListContinues;
    paragraph.inList = tableLevel == 0 && !continuesItem && listFormatFor(para, paragraph.list);
    if (!paragraph.inList && !continuesItem)
        ++legacyListSerial_;
    const bool hasTab = std::any_of(runs_.begin(), runs_.end(),
                                    [](const BuiltRun& run) { return run.text.contains(u'\t'); });
    paragraph.format = blockFormatFor(para, paragraph.inList || continuesItem, hasTab);
    if (continuesItem)
        paragraph.format.setIndent(1);
    paragraph.markFormat = formatFor(state().chars);
    paragraph.borders = borderSets_[para.borderSet];
    paragraph.runs = std::move(runs_);
    runs_.clear();
    if (tableLevel > 0)
        cellHasParagraph_[tableLevel] = true;
    builder_->addParagraph(std::move(paragraph), tableLevel);
}

// The index of a set of tab stops, added if new; -1 when the body already has kMaxTabSets.
int Interpreter::tabSetOf(std::vector<TabStop> stops) {
    const auto found = tabSetIndex_.find(stops);
    if (found != tabSetIndex_.end())
        return found->second;
    if (tabSets_.size() >= kMaxTabSets)
        return -1;
    const int index = static_cast<int>(tabSets_.size());
    tabSets_.push_back(stops);
    tabSetIndex_.emplace(std::move(stops), index);
    return index;
}

QTextBlockFormat Interpreter::blockFormatFor(const ParaProps& props, bool inList,
                                             bool hasTab) const {
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
    const int left = std::max(props.left, 0);
    const int indent = std::max(props.firstLine, -left);
    if (!inList) {
        if (left != 0)
            format.setLeftMargin(left / kTwipsPerPixel);
        if (indent != 0)
            format.setTextIndent(indent / kTwipsPerPixel);
    }
    // Only a paragraph with a tab in it needs the default stops.
    if (props.tabSet != 0 || (indent < 0 && !inList) || hasTab) {
        format.setTabPositions(
            tabsFor(tabSets_[props.tabSet], left + indent, indent, hasTab ? defaultTab_ : 0));
    }
    if (props.right > 0)
        format.setRightMargin(props.right / kTwipsPerPixel);
    if (props.before > 0)
        format.setTopMargin(props.before / kTwipsPerPixel);
    if (props.after > 0)
        format.setBottomMargin(props.after / kTwipsPerPixel);
    const QColor shading = colorAt(props.shading);
    if (shading.isValid())
        format.setBackground(shading);
    if (props.lineSpacing != 0) {
        if (props.lineMultiple && props.lineSpacing > 0)
            format.setLineHeight(props.lineSpacing * 100.0 / 240.0,
                                 QTextBlockFormat::ProportionalHeight);
        else if (props.lineSpacing > 0)
            format.setLineHeight(props.lineSpacing / kTwipsPerPixel,
                                 QTextBlockFormat::MinimumHeight);
        else
            format.setLineHeight(-props.lineSpacing / kTwipsPerPixel,
                                 QTextBlockFormat::FixedHeight);
    }
    return format;
}

}  // namespace parcelo::rtf
