#include "body/metafile_player.h"

#include "body/emf_player.h"
#include "body/wmf_player.h"

#include <algorithm>
#include <cmath>

namespace parcelo {

namespace {

constexpr int kMaxSide = 4096;
constexpr int64_t kMaxPixels = 16'000'000;

}  // namespace

bool IsMetafile(QByteArrayView data) {
    return ReadEmfHeader(data) || ReadWmfHeader(data);
}

QSize MetafileSize(QByteArrayView data) {
    QSizeF size;
    if (const auto emf = ReadEmfHeader(data))
        size = emf->frame.size() * 96 / 2540;
    else if (const auto wmf = ReadWmfHeader(data); wmf && wmf->unitsPerInch > 0)
        size = wmf->box.size() * 96 / wmf->unitsPerInch;
    if (!(size.width() >= 1 && size.height() >= 1 && size.width() <= 100'000 &&
          size.height() <= 100'000))
        return {};
    return size.toSize();
}

QImage ImageFromMetafile(QByteArrayView data, QSize size, int64_t maxPixels) {
    const auto emf = ReadEmfHeader(data);
    const auto wmf = emf ? std::nullopt : ReadWmfHeader(data);
    if ((!emf && !wmf) || size.isEmpty())
        return {};
    if (size.width() > kMaxSide || size.height() > kMaxSide)
        size.scale(kMaxSide, kMaxSide, Qt::KeepAspectRatio);
    const int64_t budget = std::min(maxPixels, kMaxPixels);
    const int64_t pixels = int64_t{size.width()} * size.height();
    if (pixels > budget) {
        const double shrink = std::sqrt(double(budget) / double(pixels));
        size = QSize(int(size.width() * shrink), int(size.height() * shrink));
    }
    if (size.isEmpty())
        return {};
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.fill(Qt::white);
    const bool drew = emf ? PlayEmf(data, *emf, image) : PlayWmf(data, *wmf, image);
    return drew ? image : QImage();
}

}  // namespace parcelo
