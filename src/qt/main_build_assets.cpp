// vor3-build-assets: run by the build to write what is installed beside the
// programs: the register descriptions in both languages (Doc/ below the
// folder given), the desktop icon and the Windows program's icon.
//
//   vor3-build-assets --docs FOLDER --icon FILE.png --ico FILE.ico
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>
#include <cstring>

#include "model/captions.h"
#include "qt/logo.h"
#include "qt/register_doc.h"

int main(int argc, char** argv) {
    // Fonts and painting need a GUI application, never a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    int failures = 0;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        const QString& option = args[i];
        const QString& target = args[i + 1];
        if (option == "--docs") {
            for (const char* language : {vor3::model::kGerman, vor3::model::kEnglish}) {
                const QString path = QDir(target).filePath(vor3::qt::register_description_name(language));
                QDir().mkpath(QFileInfo(path).path());
                if (!vor3::qt::write_register_description(path, language)) {
                    std::fprintf(stderr, "vor3-build-assets: cannot write %s\n", qPrintable(path));
                    ++failures;
                }
            }
        } else if (option == "--icon") {
            if (!vor3::qt::draw_icon(256).save(target)) {
                std::fprintf(stderr, "vor3-build-assets: cannot write %s\n", qPrintable(target));
                ++failures;
            }
        } else if (option == "--ico") {
            QFile file(target);
            const QByteArray icon = vor3::qt::icon_file();
            if (!file.open(QIODevice::WriteOnly) || file.write(icon) != icon.size() || !file.flush()) {
                std::fprintf(stderr, "vor3-build-assets: cannot write %s\n", qPrintable(target));
                ++failures;
            }
        } else {
            std::fprintf(stderr, "usage: vor3-build-assets --docs FOLDER --icon FILE.png --ico FILE.ico\n");
            return 1;
        }
    }
    return failures ? 1 : 0;
}
