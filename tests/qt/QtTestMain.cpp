// GoogleTest's main with a QApplication for the widget suites.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryFile>

int main(int argc, char** argv) {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    // Off screen, a desktop of the size the end-to-end tests' virtual display
    // has, rather than the plugin's 800 by 600 that the design size exceeds.
    QTemporaryFile screens;
    if ((platform.isEmpty() || platform == "offscreen") && screens.open()) {
        screens.write(R"({"screens": [{"name": "desktop", "x": 0, "y": 0, "width": 1280,
                          "height": 1024, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        screens.flush();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens.fileName()));
    } else if (platform.isEmpty()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
