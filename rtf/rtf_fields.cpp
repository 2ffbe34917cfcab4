// Fields: the instruction of each open field, and the hyperlinks that HYPERLINK fields make
// of their results.
#include "rtf_interpreter_state.h"

namespace parcelo::rtf {

namespace {

// The target of a HYPERLINK field instruction, with a \l bookmark as its fragment.
QString hyperlinkTarget(QStringView instruction) {
    std::vector<QString> words;
    qsizetype i = 0;
    while (i < instruction.size()) {
        while (i < instruction.size() && instruction[i].isSpace())
            ++i;
        if (i >= instruction.size())
            break;
        QString word;
        if (instruction[i] == u'"') {
            ++i;
            while (i < instruction.size() && instruction[i] != u'"') {
                // Field codes double the backslashes of paths.
                if (instruction[i] == u'\\' && i + 1 < instruction.size() &&
                    instruction[i + 1] == u'\\')
                    ++i;
                word += instruction[i++];
            }
            ++i;
        } else {
            while (i < instruction.size() && !instruction[i].isSpace())
                word += instruction[i++];
        }
        words.push_back(std::move(word));
    }
    if (words.empty() || words[0].compare(u"HYPERLINK", Qt::CaseInsensitive) != 0)
        return {};
    QString url;
    QString bookmark;
    for (size_t w = 1; w < words.size(); ++w) {
        const QString& word = words[w];
        if (word.size() == 2 && word[0] == u'\\') {
            const QChar option = word[1].toLower();
            if (option == u'l' && w + 1 < words.size())
                bookmark = words[++w];
            // \o (tooltip) and \t (target frame) take an argument that is not the target.
            else if ((option == u'o' || option == u't') && w + 1 < words.size())
                ++w;
            continue;
        }
        if (url.isEmpty())
            url = word;
    }
    if (!bookmark.isEmpty())
        url += u'#' + bookmark;
    return url;
}

}  // namespace

void Interpreter::fieldWord(Group& g, const Word& word) {
    switch (word.kw) {
        case Kw::Field:
            if (fields_.empty() || fields_.back().depth != depth())
                fields_.push_back({depth(), {}});
            else
                fields_.back().instruction.clear();
            return;
        case Kw::FieldInst:
            g.dest = (html() || fields_.empty()) ? Dest::Skip : Dest::FieldInstruction;
            return;
        case Kw::FieldResult:
            if (!html() && g.dest == Dest::Text && !fields_.empty()) {
                const QString target = hyperlinkTarget(fields_.back().instruction);
                if (!target.isEmpty())
                    g.chars.link = addLink(target);
            }
            return;
        default:
            return;
    }
}

int Interpreter::addLink(const QString& href) {
    const auto it = linkIndex_.constFind(href);
    if (it != linkIndex_.constEnd())
        return *it;
    links_.push_back(href);
    const int index = static_cast<int>(links_.size()) - 1;
    linkIndex_.insert(href, index);
    return index;
}

}  // namespace parcelo::rtf
