// The Qt tests run against an offscreen display, whatever the desktop.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

#include <QApplication>
#include <QStyleFactory>

namespace {

// The offscreen display cannot move or raise windows and says so each
// time; that is noise, not a finding.
void quiet_offscreen(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith("This plugin does not support")) return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

}  // namespace

// Shows the window on the display the process was given and prints where
// it landed (placement_test.cpp).
int placement_probe();

int main(int argc, char** argv) {
    // Offscreen whatever the desktop, though a test may give its own
    // offscreen screens.
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (!platform || std::strncmp(platform, "offscreen", 9) != 0) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(quiet_offscreen);
    QApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--placement-probe") == 0) return placement_probe();
    // The program's own style, so screenshots show what users see.
    if (QStyle* fusion = QStyleFactory::create("Fusion")) QApplication::setStyle(fusion);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
