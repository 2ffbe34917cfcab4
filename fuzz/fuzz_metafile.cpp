// Plays arbitrary bytes as a WMF or EMF picture, as a body does with one it shows.
#include "body/metafile_player.h"
#include "fuzz/offscreen_application.h"

#include <QByteArrayView>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool started = (parcelo::fuzz::StartOffscreenApplication(), true);
    (void)started;
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    if (!parcelo::IsMetafile(bytes))
        return 0;
    QSize shown = parcelo::MetafileSize(bytes);
    if (shown.isEmpty())
        shown = QSize(64, 64);
    // The size a body asks for is its own; a small budget keeps runs fast while the
    // player's own caps still see forged sizes.
    parcelo::ImageFromMetafile(bytes, shown, 256 * 256);
    return 0;
}
