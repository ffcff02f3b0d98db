#pragma once
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

}  // namespace vor3::form
