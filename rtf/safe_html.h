// HTML cleaned of every reference to something outside the message.
#pragma once

#include <QString>

#include <functional>

namespace parcelo {

// Whether the image named by an <img src> can be shown (the caller has put it into the
// document).
using ImageSourceFilter = std::function<bool(const QString& source)>;

// `html` without <link>, <script>, <base> and embedded objects, without background
// attributes, CSS url() values and @import rules, and with each <img> that `keepImage` refuses
// replaced by its alternative text in brackets. Comments go too, being the usual hiding place
// of conditional style sheets. Tables nested past a sane depth lose their table tags (their
// text stays), as each level costs the layout a level of recursion.
QString SanitizeHtml(QStringView html, const ImageSourceFilter& keepImage);

}  // namespace parcelo
