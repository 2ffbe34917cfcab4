// The style sheets of an HTML body, read as a browser reads them and matched to elements, so
// that their rules can be written into each element's style attribute.
#pragma once

#include "body/html/css_declarations.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

namespace parcelo {

// An element as selectors see it; names, ids and classes in lower case, since Outlook's
// HTML has no doctype and browsers then match them without regard to case.
struct CssElement {
    QString name;
    QString id;
    QStringList classes;
    bool isLink = false;  // an <a> with an href
};

class StyleSheet {
  public:
    // Adds the rules of one <style> element. Comment markers around them ("<!--", "-->")
    // are no comments there; at-rules (@import, @font-face, @page, @media...) are skipped
    // whole, and so is a rule whose selector cannot be read, while the rules after it stay.
    void add(QStringView css);

    bool isEmpty() const { return selectors_.empty(); }

    // Whether a rule depends on an element's ancestors.
    bool hasCombinators() const { return hasCombinators_; }

    // Appends the declarations of the rules that match the last element of `path`, whose
    // ancestors come before it, in the order of the cascade: by specificity and then by
    // order (important declarations are left for the caller to move after the element's
    // own).
    void match(const std::vector<CssElement>& path, CssDeclarations& out) const;

  private:
    struct Compound {
        QString name;  // empty for any element
        QString id;
        QStringList classes;
        bool link = false;
        bool never = false;  // a state (:hover) or a test this reader does not make
    };
    struct Selector {
        std::vector<Compound> compounds;  // the subject last
        std::vector<bool> childOf;        // between two compounds: '>' rather than ' '
        int specificity = 0;
        int block = 0;  // index into blocks_
    };

    bool parseSelectorList(QStringView prelude, std::vector<Selector>& out) const;
    bool matches(const Selector& selector, const std::vector<CssElement>& path) const;
    void addRule(QStringView prelude, QStringView block);

    std::vector<CssDeclarations> blocks_;
    std::vector<Selector> selectors_;
    // Selectors by what their subject needs, so that an element is tested only against the
    // rules that can match it.
    QHash<QString, std::vector<int>> byId_;
    QHash<QString, std::vector<int>> byClass_;
    QHash<QString, std::vector<int>> byName_;
    std::vector<int> universal_;
    bool hasCombinators_ = false;
};

}  // namespace parcelo
