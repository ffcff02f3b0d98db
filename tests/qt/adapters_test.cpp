// The platform adapters on their own: clock, port switch, real serial port
// (over a pseudo-terminal), colours, message boxes and the wall clock.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QTranslator>

#include "form/frm_config.h"
#include "form/timer.h"
#include "model/captions.h"
#include "qt/colors.h"
#include "qt/message_box.h"
#include "qt/platform_services.h"
#include "support/temp_dir.h"
#include "view_fixture.h"

namespace vor3::qt::test {
namespace {

// The error a port raises on opening (number 0: none).
form::PortError open_error(form::SerialPort& port) {
    try {
        port.set_open(true);
    } catch (const form::PortError& e) {
        return e;
    }
    return {0, "opened"};
}

TEST(QtClockTest, TicksOnTheEventLoopUntilStoppedAndTakesANewInterval) {
    QtClock clock;
    form::Timer timer(clock, "t", 20);
    int ticks = 0;
    // A handler that stops its own timer gets no further tick.
    timer.on_tick = [&] {
        if (++ticks == 3) timer.stop();
    };
    const auto start = clock.now_ms();
    timer.start();
    ASSERT_TRUE(wait_until([&] { return ticks >= 3; }, 2000));
    EXPECT_GE(clock.now_ms() - start, 55);  // not early
    QTest::qWait(80);
    EXPECT_EQ(ticks, 3);

    // A new interval replaces the pending wake-up.
    timer.set_interval(5000);
    timer.start();
    timer.set_interval(10);
    EXPECT_TRUE(wait_until([&] { return ticks >= 4; }, 1000));
    timer.stop();
}

TEST(SwitchingPortTest, ListsTheRealPortsThenTheSimulatorAndOpensTheOneNumbered) {
    vor3::test::FakePort real;  // COM1..COM3
    vor3::test::FakePort simulator;
    SwitchingPort port{real, simulator};
    EXPECT_EQ(port.port_list(), (std::vector<std::string>{"COM1", "COM2", "COM3", "Simulierter Sensor (sim)"}));
    // Named in the language in force each time the list is made.
    std::string language = "1033";
    port.set_simulator_entry([&] { return model::caption(model::Caption::simulator_entry, language); });
    EXPECT_EQ(port.port_list().back(), "Simulated sensor (sim)");
    port.set_settings("19200,N,8,1");
    EXPECT_EQ(real.settings + simulator.settings, "19200,N,8,119200,N,8,1");

    port.set_port_number(2);
    port.set_open(true);
    EXPECT_TRUE(real.open && real.number == 2 && !simulator.open);
    // Another number closes the open port first.
    port.set_port_number(4);
    EXPECT_FALSE(real.open || port.is_open());
    port.set_open(true);
    EXPECT_TRUE(simulator.open);
    simulator.incoming = "xy";
    EXPECT_EQ(port.read_all(), "xy");

    // A number outside the list names no port.
    port.set_open(false);
    port.set_port_number(5);
    EXPECT_EQ(open_error(port).number, form::kPortInvalid);
    EXPECT_THROW(port.write("x"), form::PortError);
}

TEST(QtSerialPortTest, ReportsPortsThatCannotBeOpened) {
    QtSerialPort port;
    port.set_device_path("/dev/vor3-no-such-port");
    EXPECT_EQ(open_error(port).number, form::kPortInvalid);
    EXPECT_FALSE(port.is_open());
    EXPECT_NO_THROW(port.set_open(false));
    EXPECT_THROW(port.write("x"), form::PortError);
    EXPECT_THROW(port.set_settings("9600,X,8,1"), form::PortError);

    // A number beyond the list names no port.
    port.set_device_path("");
    port.set_port_number(static_cast<int>(port.port_list().size()) + 1);
    EXPECT_THROW(port.set_open(true), form::PortError);
}

// A refused right is told from a port another program holds (its lock).
TEST(QtSerialPortTest, TellsARefusedRightFromABusyPort) {
    const struct {
        QSerialPort::SerialPortError error;
        bool locked;
        int number;
        bool permission;
    } cases[] = {{QSerialPort::PermissionError, false, form::kPortInUse, true},
                 {QSerialPort::PermissionError, true, form::kPortInUse, false},
                 {QSerialPort::DeviceNotFoundError, true, form::kPortInvalid, false},
                 {QSerialPort::OpenError, true, form::kPortInUse, false},
                 {QSerialPort::ResourceError, true, form::kPortIoFailed, false}};
    for (const auto& k : cases) {
        const auto e = open_failure(k.error, k.locked, "/dev/ttyUSB0");
        EXPECT_EQ(std::pair(e.number, e.permission), std::pair(k.number, k.permission)) << k.error;
    }
}

// The far end of a pseudo-terminal stands in for the device.
class PtyLine {
public:
    PtyLine() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) {
            slave_path_ = ptsname(master_);
            fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
        }
    }
    ~PtyLine() {
        if (master_ >= 0) close(master_);
    }
    const std::string& device() const { return slave_path_; }
    void send(const std::string& bytes) {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    std::string received() {
        char buf[256];
        const ssize_t n = ::read(master_, buf, sizeof buf);
        return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
    }
    // The input flags of the device's side, as its driver applies them.
    tcflag_t input_flags() const {
        termios t{};
        tcgetattr(master_, &t);
        return t.c_iflag;
    }

private:
    int master_ = -1;
    std::string slave_path_;
};

TEST(QtSerialPortTest, CarriesBytesBothWaysAndHoldsTheDeviceAlone) {
    PtyLine line;
    ASSERT_FALSE(line.device().empty());
    QtSerialPort port;
    port.set_device_path(line.device());
    port.set_settings("9600,E,8,1");
    port.set_open(true);
    ASSERT_TRUE(port.is_open());
    // A byte with a parity error is dropped, not passed on as data, also
    // after new settings (Qt's own turn the check off each time).
    constexpr tcflag_t kDrop = INPCK | IGNPAR;
    EXPECT_EQ(line.input_flags() & (kDrop | PARMRK), kDrop);
    port.set_settings("19200,N,8,1");  // an open port takes new settings
    EXPECT_EQ(line.input_flags() & (kDrop | PARMRK), kDrop);

    port.write(std::string("\x01\x03\x00", 3));
    std::string got;
    ASSERT_TRUE(wait_until([&] { return (got += line.received()).size() >= 3; }, 2000));
    EXPECT_EQ(got, std::string("\x01\x03\x00", 3));

    line.send(":0103\r\n");
    ASSERT_TRUE(wait_until([&] { return port.waiting_count() >= 7; }, 2000));
    EXPECT_EQ(port.read_all(), ":0103\r\n");
    EXPECT_EQ(port.waiting_count(), 0);

    // The same device through a link is the same port, and it is taken.
    const vor3::test::TempDir dir;
    const std::string alias = dir.file("sensor");
    std::filesystem::create_symlink(line.device(), alias);
    QtSerialPort again;
    again.set_device_path(alias);
    const auto taken = open_error(again);
    EXPECT_EQ(taken.number, form::kPortInUse);
    EXPECT_FALSE(taken.permission);
    EXPECT_EQ(taken.device, alias);
    port.set_open(false);
    EXPECT_FALSE(port.is_open());
    again.set_open(true);
    EXPECT_TRUE(again.is_open());
}

TEST(ColorTest, ModelColoursBecomeQtColours) {
    QPalette palette;
    palette.setColor(QPalette::ButtonText, QColor(1, 2, 3));
    EXPECT_EQ(to_qcolor(form::kChangeMark, palette), QColor(Qt::red));
    EXPECT_EQ(to_qcolor(0x00FF8000u, palette), QColor(0x00, 0x80, 0xFF));  // stored as blue-green-red
    EXPECT_EQ(to_qcolor(form::kNormalText, palette), QColor(1, 2, 3));
}

QMessageBox* open_message_box(QWidget& owner) {
    QMessageBox* found = nullptr;
    for (auto* box : owner.findChildren<QMessageBox*>())
        if (box->isVisible()) found = box;
    return found;
}

TEST(MessageBoxTest, ShowsTheTextWithoutWaitingForTheUserWholeTitleAndWholeWords) {
    QWidget owner;
    owner.show();
    QtMessageBox messages(&owner);
    const QString path = "/home/techniker/Projekte/Schulzentrum-Nord/Raumfuehler-Etage-3/parameter-2024-12-07.txt";
    messages.show("COM-Port not available,  8002", "Die Datei " + path.toStdString() + " fehlt.");  // returns at once
    QMessageBox* box = open_message_box(owner);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), form::kAppTitle);
    EXPECT_EQ(box->text(), "COM-Port not available,  8002");
    EXPECT_EQ(box->informativeText(), "Die Datei " + path + " fehlt.");
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    // Wide enough for the title beside a title bar's buttons, and for the
    // path on one line.
    QFont bold = box->font();
    bold.setBold(true);
    EXPECT_GE(box->width(), QFontMetrics(bold).horizontalAdvance(box->windowTitle()) + 100);
    const auto* detail = box->findChild<QLabel*>("qt_msgbox_informativelabel");
    ASSERT_NE(detail, nullptr);
    EXPECT_GE(detail->width(), detail->fontMetrics().horizontalAdvance(path));
    box->button(QMessageBox::Ok)->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(open_message_box(owner), nullptr);
}

TEST(MessageBoxTest, ConfirmationReturnsTheUsersAnswer) {
    QtConfirmDialog confirm;
    QString title;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle() + " " + box->text();
        for (QAbstractButton* b : box->buttons())
            if (b->text() == "Ja") b->click();
    });
    EXPECT_TRUE(confirm.confirm("Frage", "Trotzdem schreiben?", "Ja", "Nein"));
    EXPECT_EQ(title, "Frage Trotzdem schreiben?");
}

// A file dialog opens in the user's home, then in the folder of the file
// last chosen; under German captions it speaks German.
TEST(FileDialogTest, OpensAtHomeThenWhereTheLastFileWasAndSpeaksTheLanguage) {
    QTranslator german;
    ASSERT_TRUE(use_qt_texts(german, "1031")) << "Qt's translations are missing (qt6-translations-l10n)";
    const vor3::test::TempDir dir;
    QtFileDialog files;
    QStringList opened_in;
    const auto choose = [&](const QString& file) {
        QTimer::singleShot(0, [&, file] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            opened_in << dialog->directory().absolutePath();
            for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
                if (b->text() == "Abbrechen") opened_in << "german";
            dialog->selectFile(file);
            QMetaObject::invokeMethod(dialog, "accept");
        });
    };
    const QString file = QString::fromStdString(dir.file("werte.txt"));
    choose(file);
    EXPECT_EQ(files.save_file("Textfile (*.txt)"), file.toStdString());
    choose(file);
    EXPECT_EQ(files.save_file("Textfile (*.txt)"), file.toStdString());
    QCoreApplication::removeTranslator(&german);
    EXPECT_EQ(opened_in, (QStringList{QDir::homePath(), "german", QFileInfo(file).absolutePath(), "german"}));
}

// Logs and the time axis take the same moment: the stamp is local time
// without an offset, as a spreadsheet reads it, and names the same instant.
TEST(WallClockTest, StampsIsoLocalTimeWithMillisecondsOfTheSameMoment) {
    const QtWallClock clock;
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    const form::WallTime t = clock.now();
    EXPECT_LE(before, t.epoch_ms);
    EXPECT_LE(t.epoch_ms, QDateTime::currentMSecsSinceEpoch());
    const QString iso = QString::fromStdString(t.iso);
    EXPECT_TRUE(QRegularExpression(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}$)").match(iso).hasMatch()) << t.iso;
    EXPECT_EQ(QDateTime::fromString(iso, Qt::ISODateWithMs).toMSecsSinceEpoch(), t.epoch_ms);
}

}  // namespace
}  // namespace vor3::qt::test
