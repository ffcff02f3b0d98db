#include "qt/platform_services.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QTime>
#include <QUrl>

#include "app/installation.h"
#include "model/captions.h"
#include "qt/binder.h"

namespace vor3::qt {

namespace {

// "Textfile (*.txt)" is already Qt's form of a filter; its pattern's
// suffix is what a name typed without one gets.
std::optional<std::string> ask(QWidget* parent, QFileDialog::AcceptMode mode, const std::string& filter,
                               const QString& folder, bool appending = false) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QString name_filter = QString::fromStdString(filter);
    dialog.setNameFilter(name_filter);
    const auto suffix = QRegularExpression(QStringLiteral(R"(\*\.(\w+))")).match(name_filter);
    dialog.setDefaultSuffix(suffix.hasMatch() ? suffix.captured(1) : QStringLiteral("txt"));
    dialog.setDirectory(folder);
    if (appending) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst().toStdString();
}

}  // namespace

QString QtFileDialog::start_folder() const {
    // Not the folder the program was started from, which says nothing to
    // the user: the last one used, else the user's home.
    return last_folder_.isEmpty() ? QDir::homePath() : last_folder_;
}

std::optional<std::string> QtFileDialog::remember(std::optional<std::string> chosen) {
    if (chosen) last_folder_ = QFileInfo(QString::fromStdString(*chosen)).absolutePath();
    return chosen;
}

std::optional<std::string> QtFileDialog::open_file(const std::string& filter) {
    return remember(ask(parent_, QFileDialog::AcceptOpen, filter, start_folder()));
}

std::optional<std::string> QtFileDialog::save_file(const std::string& filter) {
    return remember(ask(parent_, QFileDialog::AcceptSave, filter, start_folder()));
}

std::optional<std::string> QtFileDialog::append_file(const std::string& filter, const std::string& folder) {
    return remember(ask(parent_, QFileDialog::AcceptSave, filter,
                        folder.empty() ? start_folder() : QString::fromStdString(folder), true));
}

bool QtDesktop::open_document(const std::string& path) {
    // Qt's own opener starts xdg-open and forgets it, so a PDF without a
    // viewer on the machine would open nothing and say nothing.
    const QString xdg_open = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (xdg_open.isEmpty()) return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
    auto* opener = new QProcess(&openers_);
    opener->setStandardOutputFile(QProcess::nullDevice());
    opener->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(opener, &QProcess::finished, &openers_, [this, opener, path](int code, QProcess::ExitStatus how) {
        opener->deleteLater();
        if ((how != QProcess::NormalExit || code != 0) && failed) guarded([&] { failed(path); });
    });
    opener->start(xdg_open, {QString::fromStdString(path)});
    if (opener->waitForStarted()) return true;
    delete opener;
    return false;
}

bool QtDesktop::open_link(const std::string& url) {
    return QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

form::ScreenSize QtScreen::size() const {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize s = screen->geometry().size();
        return {s.width(), s.height()};
    }
    return {1920, 1080};
}

void QtClipboard::set_text(const std::string& text) {
    if (QClipboard* board = QGuiApplication::clipboard()) board->setText(QString::fromStdString(text));
}

std::string QtWallClock::date_text() const {
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
}

std::string QtWallClock::time_text() const {
    return QLocale::system().toString(QTime::currentTime(), QStringLiteral("HH:mm:ss")).toStdString();
}

form::WallTime QtWallClock::now() const {
    const QDateTime t = QDateTime::currentDateTime();
    return {t.toMSecsSinceEpoch(), t.toString(Qt::ISODateWithMs).toStdString()};
}

bool use_qt_texts(QTranslator& translator, const std::string& language) {
    if (language != model::kGerman) return true;
    if (!translator.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(&translator);
    return true;
}

model::PlatformSettings platform_settings() {
    model::PlatformSettings settings;
    const auto files = app::hive_files(QCoreApplication::applicationDirPath().toStdString());
    settings.machine_hive = files.machine;
    settings.user_hive = files.user;
    settings.package_hive = files.package;
    // Qt reads the user's locale without touching the C library's. The C
    // (POSIX) locale is no one's regional setting: it names no separator.
    const QLocale system = QLocale::system();
    if (system.language() != QLocale::C) settings.locale_decimal_sep = system.decimalPoint().toStdString();
    return settings;
}

}  // namespace vor3::qt
