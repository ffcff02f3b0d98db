// The platform adapters, one binding check each: clock, real serial port
// (over a pseudo-terminal), message boxes, file dialog, the desktop's
// opener and the wall clock.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <QApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>

#include "form/frm_config.h"
#include "form/timer.h"
#include "qt/message_box.h"
#include "qt/platform_services.h"
#include "support/temp_dir.h"
#include "view_fixture.h"

namespace vor3::qt::test {
namespace {

TEST(QtClockTest, TicksOnTheEventLoopUntilStoppedAndTakesANewInterval) {
    QtClock clock;
    form::Timer timer(clock, "t", 20);
    int ticks = 0;
    // A handler that stops its own timer gets no further tick.
    timer.on_tick = [&] {
        if (++ticks == 3) timer.stop();
    };
    timer.start();
    ASSERT_TRUE(wait_until([&] { return ticks >= 3; }, 2000));
    QTest::qWait(80);
    EXPECT_EQ(ticks, 3);
    // A new interval replaces the pending wake-up.
    timer.set_interval(5000);
    timer.start();
    timer.set_interval(10);
    EXPECT_TRUE(wait_until([&] { return ticks >= 4; }, 1000));
    timer.stop();
}

// A byte with a parity error is dropped, not passed on as data, also after
// new settings (Qt's own turn the check off each time); the same device
// through a link is the same port, and it is taken.
TEST(QtSerialPortTest, DropsBadParityAndHoldsTheDeviceAlone) {
    // A device the user may not open is told from one another program holds.
    EXPECT_TRUE(open_failure(QSerialPort::PermissionError, false, "/dev/ttyUSB0").permission);
    const int line = posix_openpt(O_RDWR | O_NOCTTY);  // its far end stands in for the device
    ASSERT_TRUE(line >= 0 && grantpt(line) == 0 && unlockpt(line) == 0);
    const vor3::test::TempDir dir;
    const std::string alias = dir.file("sensor");
    std::filesystem::create_symlink(ptsname(line), alias);
    QtSerialPort port;
    port.set_device_path(ptsname(line));
    port.set_settings("9600,E,8,1");
    port.set_open(true);
    port.set_settings("19200,N,8,1");  // an open port takes new settings
    termios t{};
    tcgetattr(line, &t);
    EXPECT_EQ(t.c_iflag & (INPCK | IGNPAR | PARMRK), INPCK | IGNPAR);

    QtSerialPort again;
    again.set_device_path(alias);
    try {
        again.set_open(true);
        ADD_FAILURE() << "opened a port another one holds";
    } catch (const form::PortError& e) {
        EXPECT_EQ(std::tuple(e.number, e.permission, e.device), std::tuple(form::kPortInUse, false, alias));
    }
    port.set_open(false);
    again.set_open(true);
    EXPECT_TRUE(again.is_open());
    again.set_open(false);
    close(line);
}

// A message returns at once and shows whole; a question waits for the answer.
TEST(MessageBoxTest, AMessageShowsAtOnceAndAQuestionWaitsForTheAnswer) {
    QWidget owner;
    owner.show();
    QtMessageBox messages(&owner);
    const QString path = "/home/techniker/Projekte/Schulzentrum-Nord/Raumfuehler-Etage-3/parameter-2024-12-07.txt";
    messages.show("COM-Port not available,  8002", "Die Datei " + path.toStdString() + " fehlt.");
    auto* box = owner.findChild<QMessageBox*>();
    ASSERT_TRUE(box && box->isVisible());
    EXPECT_EQ(box->windowTitle(), form::kAppTitle);
    EXPECT_EQ(box->text() + "|" + box->informativeText(),
              "COM-Port not available,  8002|Die Datei " + path + " fehlt.");
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
    const auto* detail = box->findChild<QLabel*>("qt_msgbox_informativelabel");
    EXPECT_GE(detail->width(), detail->fontMetrics().horizontalAdvance(path));  // the path on one line

    QtConfirmDialog confirm;
    QTimer::singleShot(0, [&] {
        for (QAbstractButton* b : QApplication::activeModalWidget()->findChildren<QAbstractButton*>())
            if (b->text() == "Ja") b->click();
    });
    EXPECT_TRUE(confirm.confirm("Frage", "Trotzdem schreiben?", "Ja", "Nein"));
}

// A file dialog opens in the user's home, then in the folder of the file
// last chosen; under German captions it speaks German.
TEST(FileDialogTest, OpensAtHomeThenWhereTheLastFileWasAndSpeaksTheLanguage) {
    QTranslator german;
    ASSERT_TRUE(use_qt_texts(german, "1031")) << "Qt's translations are missing (qt6-translations-l10n)";
    const vor3::test::TempDir dir;
    QtFileDialog files;
    QStringList opened_in;
    const QString file = QString::fromStdString(dir.file("werte.txt"));
    for (int time = 0; time < 2; ++time) {
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            opened_in << dialog->directory().absolutePath();
            for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
                if (b->text() == "Abbrechen") opened_in << "german";
            dialog->selectFile(file);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        EXPECT_EQ(files.save_file("Textfile (*.txt)"), file.toStdString());
    }
    QCoreApplication::removeTranslator(&german);
    EXPECT_EQ(opened_in, (QStringList{QDir::homePath(), "german", QFileInfo(file).absolutePath(), "german"}));
}

// Logs and the time axis take the same moment: the stamp is local time
// without an offset, as a spreadsheet reads it, and names the same instant.
// An xdg-open that finds no program for the document (its status 3).
TEST(DesktopTest, ADocumentWithNoProgramToShowItIsToldLater) {
    const vor3::test::TempDir bin;
    const std::string opener = bin.write("xdg-open", "#!/bin/sh\nexit 3\n");
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QByteArray::fromStdString(bin.path.string()) + ":" + path);
    QtDesktop desktop;
    std::vector<std::string> failed;
    desktop.failed = [&](const std::string& document) { failed.push_back(document); };
    EXPECT_TRUE(desktop.open_document("/doc/register.pdf"));
    EXPECT_TRUE(wait_until([&] { return !failed.empty(); }, 5000));
    EXPECT_EQ(failed, std::vector<std::string>{"/doc/register.pdf"});
    qputenv("PATH", path);
}

TEST(WallClockTest, StampsIsoLocalTimeWithMillisecondsOfTheSameMoment) {
    const form::WallTime t = QtWallClock().now();
    EXPECT_EQ(t.iso.size(), 23u) << t.iso;
    EXPECT_EQ(QDateTime::fromString(QString::fromStdString(t.iso), Qt::ISODateWithMs).toMSecsSinceEpoch(), t.epoch_ms);
}

}  // namespace
}  // namespace vor3::qt::test
