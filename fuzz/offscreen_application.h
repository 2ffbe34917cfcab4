// The Qt application a fuzz target needs to lay out and draw text, without a display.
#pragma once

#include <QByteArray>
#include <QGuiApplication>

namespace parcelo::fuzz {

// Starts the application once, on the first input.
inline void StartOffscreenApplication() {
    static int argc = 1;
    static char name[] = "parcelo-fuzz";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(argc, argv);
}

}  // namespace parcelo::fuzz
