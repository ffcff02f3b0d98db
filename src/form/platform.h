#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vor3::form {

// Message boxes with only an OK button and the application title.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    // `text` is shown exactly; `detail`, when given, is a further line of
    // advice below it.
    virtual void show(const std::string& text, const std::string& detail = {}) = 0;
};

// A modal question with an OK and a cancel button; true for OK.
class ConfirmDialog {
public:
    virtual ~ConfirmDialog() = default;
    virtual bool confirm(const std::string& title, const std::string& text, const std::string& ok,
                         const std::string& cancel) = 0;
};

// The open and save dialogs for files. `filter` names the files offered,
// as "Textfile (*.txt)". Nothing when the user cancels.
class FileDialog {
public:
    virtual ~FileDialog() = default;
    // An existing file to read.
    virtual std::optional<std::string> open_file(const std::string& filter) = 0;
    // A file to write; a new name is allowed.
    virtual std::optional<std::string> save_file(const std::string& filter) = 0;
    // A file to append to, new or existing (so no question about replacing
    // it), offered in `folder` first; "" leaves the folder to the dialog.
    // Where the platform has no such dialog, its save dialog serves.
    virtual std::optional<std::string> append_file(const std::string& filter, const std::string& /*folder*/) {
        return save_file(filter);
    }
};

// Opens a document or a link with the desktop's default application; false
// when the desktop could not.
class Desktop {
public:
    virtual ~Desktop() = default;
    virtual bool open_document(const std::string& path) = 0;
    // Opening that began and failed later (the desktop found no program
    // for the document) is told here, with the document's path.
    std::function<void(const std::string&)> failed;
    // A "mailto:" or web address.
    virtual bool open_link(const std::string& url) = 0;
};

// The system's clipboard, for text the user copies out of a window.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    // `text` in UTF-8, its lines ending in a line feed.
    virtual void set_text(const std::string& text) = 0;
};

// The size of the screen, for centring windows on it.
struct ScreenSize {
    int width = 0;
    int height = 0;
};
class Screen {
public:
    virtual ~Screen() = default;
    virtual ScreenSize size() const = 0;
};

// A moment by the wall clock: for a time axis, milliseconds since 1970 UTC;
// for logs, ISO 8601 local time with milliseconds ("2024-12-07T14:03:05.123").
struct WallTime {
    std::int64_t epoch_ms = 0;
    std::string iso;
};

// Today's date and the time of day, in the user's formats, and the moment
// now for stamping readings.
class WallClock {
public:
    virtual ~WallClock() = default;
    virtual std::string date_text() const = 0;
    virtual std::string time_text() const = 0;
    virtual WallTime now() const = 0;
};

}  // namespace vor3::form
