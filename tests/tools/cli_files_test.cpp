// vor3-cli save, write --file and registry against vor3-sensor-sim on a
// pseudo-terminal, in an installation of their own.
#include <gtest/gtest.h>

#include "cli_install.h"
#include "sensor_process.h"

namespace vor3::test {
namespace {

// The file with `from` replaced by `to` once.
std::string edited(std::string file, const std::string& from, const std::string& to) {
    const auto at = file.find(from);
    if (at != std::string::npos) file.replace(at, from.size(), to);
    return file;
}

TEST(CommandLineFiles, SavesEditsAndWritesAParameterFileInEnglish) {
    SensorProcess sensor;
    ASSERT_FALSE(sensor.device().empty());
    const CliInstall english("1033", ".");
    const QStringList link{"--port", QString::fromStdString(sensor.device()), "--parity", "N"};
    const QString file = QString::fromStdString(english.dir().file("sensor.txt"));

    const auto saved = english.run(QStringList{"save"} + link + QStringList{file});
    ASSERT_EQ(saved.status, 0) << saved.err;
    const std::string bytes = english.dir().read("sensor.txt");
    EXPECT_NE(bytes.find("\r\nbaud rate: 9600\r\nmode: RTU\r\nparity: None\r\naddress: 1\r\n"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("\r\nRegister 5 ;Value for yellow LED:;800\r\n"), std::string::npos);

    // As a user would in a text editor: new values, the editor's line ends.
    std::string changed = edited(bytes, ";Value for yellow LED:;800", ";Value for yellow LED:;950");
    changed = edited(changed, ";Show CO2 :; 1 ", ";Show CO2 :; 0 ");
    english.dir().write("sensor.txt", changed);
    const auto written = english.run(QStringList{"write"} + link + QStringList{"--file", file});
    EXPECT_EQ(written.status, 0) << written.err;
    EXPECT_NE(written.out.find("txt_data_cfg(4)\tValue for yellow LED:\t800 -> 950\n"), std::string::npos) << written.out;
    EXPECT_NE(written.out.find("chk_cfg(2)\tShow CO2 :\t1 -> 0\n"), std::string::npos);

    const auto read = english.run(QStringList{"read"} + link);
    EXPECT_EQ(read.status, 0) << read.err;
    EXPECT_NE(read.out.find("txt_data_cfg(4)\tValue for yellow LED:\t950\n"), std::string::npos) << read.out;
    EXPECT_NE(read.out.find("chk_cfg(2)\tShow CO2 :\t0\n"), std::string::npos);
}

TEST(CommandLineFiles, AFileWithAValueTheFieldRefusesOrALineOutOfPlaceSendsNothing) {
    const CliInstall german;
    const std::string head = std::string(10, '\n') + "Adresse: 1\n\n\n\n" + "Register 1 ;x;0\nRegister 2 ;x;0\n";
    const std::string tail = "Register 4 ;x;1\nRegister 5 ;Schaltschwelle gelbe LED:;9500\n";
    const auto bad = german.dir().write("bad.txt", head + "Register 3 ;Device:;0\n" + tail);
    const auto shifted = german.dir().write("shifted.txt", head + tail);
    // No sensor at all: the file is refused before the port is opened.
    auto write = [&](const std::string& file) {
        return german.run({"write", "--port", "/dev/vor3-no-such-port", "--file", QString::fromStdString(file)});
    };
    const auto r = write(bad);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Zeile 19 nicht geladen: 9500 liegt nicht zwischen 0 und 3000"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Die Datei endet nach Zeile 19"), std::string::npos);
    const auto s = write(shifted);
    EXPECT_EQ(s.status, 1);
    EXPECT_NE(s.err.find("wurde nicht geladen: Zeile 17 beginnt nicht mit „Register 3“."), std::string::npos) << s.err;
}

// Qt gives these locales' separator and digits whether or not the system
// has the locales: a file saved under one loads under the other.
TEST(CommandLineFiles, ArabicAndPersianLocalesSaveAndLoadAFile) {
    const CliInstall install("1031", "");
    const QString file = QString::fromStdString(install.dir().file("p.txt"));
    const auto saved = install.run({"save", "--port", "sim", file}, "ar_EG.UTF-8");
    ASSERT_EQ(saved.status, 0) << saved.err;
    const std::string bytes = install.dir().read("p.txt");
    const std::string stamp = bytes.substr(bytes.find("\r\n", bytes.find("Version")) + 2, 18);
    EXPECT_EQ(stamp.find_first_not_of("0123456789.:"), std::string::npos) << stamp;
    const auto loaded = install.run({"write", "--port", "sim", "--file", file}, "fa_IR.UTF-8");
    EXPECT_EQ(loaded.status, 0) << loaded.err;
}

TEST(CommandLineFiles, OneCommandSwitchesTheLanguage) {
    SensorProcess sensor;
    ASSERT_FALSE(sensor.device().empty());
    const CliInstall install;
    EXPECT_EQ(install.run({"registry", "get", "Language"}).out, "1031\n");
    const auto set = install.run({"registry", "set", "Language", "1033"});
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(install.run({"registry", "get", "Language"}).out, "1033\n");
    const auto list = install.run({"registry", "list"});
    EXPECT_NE(list.out.find("  Language=1033\n  Version=1.0\n"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("  sDecimal=,\n"), std::string::npos);

    const auto read = install.run({"read", "--port", QString::fromStdString(sensor.device()), "--parity", "N"});
    EXPECT_EQ(read.status, 0) << read.err;
    EXPECT_NE(read.out.find("txt_data_cfg(0)\tDevice coding:\t4660\n"), std::string::npos) << read.out;
    EXPECT_EQ(install.run({"registry", "set", "Language"}).status, 1);
}

}  // namespace
}  // namespace vor3::test
