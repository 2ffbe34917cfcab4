// Loads a bitmap of the program's resources at the sharpness a screen needs.
#pragma once

#include <QImage>
#include <QString>

namespace parcelo {

// The image at `path` (":/..." or a file); on a screen of device pixel ratio 2 or more, its
// "@2x" twin when there is one, marked with that ratio so that it keeps its logical size.
// A null image when neither can be read.
QImage LoadResourceBitmap(const QString& path, qreal devicePixelRatio);

}  // namespace parcelo
