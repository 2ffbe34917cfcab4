// The program's texts that are filled in at run time ("Page %d of %d, %s left to end ...")
// keep their printf-style placeholders; they are filled here, without handing a text read
// from a control to printf as its format.
#pragma once

#include <QString>
#include <QStringList>

namespace parcelo {

// `format` with each "%d", "%i", "%u" or "%s" replaced by the next of `arguments` and "%%" by
// "%". A placeholder with no argument left, or one of another kind, stays as it is written.
QString FormatTemplate(const QString& format, const QStringList& arguments);

}  // namespace parcelo
