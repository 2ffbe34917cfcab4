#include <stdlib.h>

#include <QApplication>

#include <gtest/gtest.h>

#include "scratch_dir.h"

// The window registers the desktop association whenever it opens; the tests' registrations
// go to a folder of their own, never to the home folder of whoever runs them.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    parcelo::testing::ScratchDir xdg;
    const std::string data = (xdg.path() / "data").string();
    const std::string config = (xdg.path() / "config").string();
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);

    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
