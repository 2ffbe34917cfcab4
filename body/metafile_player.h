// Windows metafiles (WMF and EMF), drawn by a player of our own: Office puts them into RTF
// bodies (\wmetafile8, \emfblip) and attaches them to HTML ones.
#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QSize>

#include <cstdint>

namespace parcelo {

// Whether the bytes begin as a WMF (with or without its placeable header) or an EMF.
bool IsMetafile(QByteArrayView data);

// The size in pixels at 96 dpi that a metafile gives itself (a WMF's placeable header or an
// EMF's frame), or an empty size when it gives none.
QSize MetafileSize(QByteArrayView data);

// The metafile drawn at `size` pixels (made smaller, in proportion, to at most 4096 on a side
// and `maxPixels` in all) on white. A null image when the bytes are no metafile or none of
// their records drew anything.
QImage ImageFromMetafile(QByteArrayView data, QSize size, int64_t maxPixels);

}  // namespace parcelo
