// The Qt tests run against an offscreen display, whatever the desktop.
#include <cstdlib>

#include <gtest/gtest.h>

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    // The program's own style, so screenshots show what users see.
    if (QStyle* fusion = QStyleFactory::create("Fusion")) QApplication::setStyle(fusion);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
