// HTML cleaned of every reference to something outside the message.
#pragma once

#include <QString>

#include <functional>

namespace parcelo {

// Whether the image named by an <img src> with its alt text can be shown (the caller has put
// it into the document).
using ImageSourceFilter = std::function<bool(const QString& source, const QString& alt)>;

// `html` without <link>, <script>, <base> and embedded objects, without background
// attributes, and with each <img> that `keepImage` refuses replaced by its alternative text in
// brackets. Comments go too, being the usual hiding place of conditional style sheets. The
// <style> elements go as well, their rules written into the style attribute of each element
// they match; every style keeps only what lays out text, tables and colours, never a url()
// or an import (see SafeCssDeclarations). <font size> becomes a size in points, and a border
// that CSS gives a table goes (Qt would draw it round every cell). Tables nested past a sane
// depth lose their table tags (their text stays), as each level costs the layout a level of
// recursion.
QString SanitizeHtml(QStringView html, const ImageSourceFilter& keepImage);

}  // namespace parcelo
