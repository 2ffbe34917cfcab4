// Plays arbitrary bytes as a WMF or EMF picture, as a body does with one it shows.
#include "body/metafile_player.h"

#include <QByteArrayView>
#include <QGuiApplication>

#include <cstddef>
#include <cstdint>

namespace {

void startApplication() {
    static int argc = 1;
    static char name[] = "fuzz_metafile";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(argc, argv);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool started = (startApplication(), true);
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
