#pragma once
#include <QPointer>
#include <QTranslator>
#include <QWidget>

#include "form/platform.h"
#include "model/globals.h"

namespace vor3::qt {

// The file dialogs of the window. Saving adds the filter's suffix (as
// ".txt") to a name typed without one. A dialog opens in the folder of the
// file last chosen, at first in the user's home.
class QtFileDialog : public form::FileDialog {
public:
    void set_parent(QWidget* parent) { parent_ = parent; }
    std::optional<std::string> open_file(const std::string& filter) override;
    std::optional<std::string> save_file(const std::string& filter) override;
    std::optional<std::string> append_file(const std::string& filter, const std::string& folder) override;
    QString start_folder() const;

private:
    std::optional<std::string> remember(std::optional<std::string> chosen);

    QPointer<QWidget> parent_;
    QString last_folder_;
};

// Documents and links open with the desktop's default applications. A
// document goes to xdg-open where there is one, whose verdict comes later:
// with no program for the document it fails after it began.
class QtDesktop : public form::Desktop {
public:
    bool open_document(const std::string& path) override;
    bool open_link(const std::string& url) override;

private:
    QObject openers_;  // the xdg-open runs under way
};

// The primary screen's size (a large default when there is none).
class QtScreen : public form::Screen {
public:
    form::ScreenSize size() const override;
};

// The desktop's clipboard.
class QtClipboard : public form::Clipboard {
public:
    void set_text(const std::string& text) override;
};

// Date and time in the user's locale; stamps in local time.
class QtWallClock : public form::WallClock {
public:
    std::string date_text() const override;
    std::string time_text() const override;
    form::WallTime now() const override;
};

// Qt's own texts (file dialogs, standard buttons) in the program's
// language, from Qt's translations on the machine (Debian's
// qt6-translations-l10n); English is Qt's own. False where they are missing.
bool use_qt_texts(QTranslator& translator, const std::string& language);

// The hive files of this program (from where it runs and the environment)
// and the decimal separator of the user's locale. Call once at start-up,
// after the application object exists.
model::PlatformSettings platform_settings();

}  // namespace vor3::qt
