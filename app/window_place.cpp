#include "window_place.h"

#include <QSettings>
#include <QSplitter>

#include "main_dialog.h"

namespace parcelo {

namespace {

QSettings Settings() {
    return QSettings(QStringLiteral("parcelo"), QStringLiteral("parcelo"));
}

constexpr char kGeometryKey[] = "window/geometry";
constexpr char kSplitKey[] = "window/split";

}  // namespace

void RestoreWindowPlace(MainDialog& dialog) {
    const QSettings settings = Settings();
    // Qt keeps a stored place on a screen and the window at least at its minimum size.
    dialog.restoreGeometry(settings.value(QLatin1String(kGeometryKey)).toByteArray());
    dialog.bodySplitter()->restoreState(settings.value(QLatin1String(kSplitKey)).toByteArray());
}

void StoreWindowPlace(const MainDialog& dialog) {
    QSettings settings = Settings();
    settings.setValue(QLatin1String(kGeometryKey), dialog.saveGeometry());
    settings.setValue(QLatin1String(kSplitKey), dialog.bodySplitter()->saveState());
}

}  // namespace parcelo
