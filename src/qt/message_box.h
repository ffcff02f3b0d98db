#pragma once
#include <string>

#include <QPointer>
#include <QWidget>

#include "form/platform.h"

namespace vor3::qt {

// Messages with only OK under the application title. show() returns at
// once: the handler that reports something runs to its end before the
// user has read it, as the behaviour expects.
class QtMessageBox : public form::MessageBox {
public:
    explicit QtMessageBox(QWidget* parent = nullptr) : parent_(parent) {}
    // The window the messages belong to (window-modal to it).
    void set_parent(QWidget* parent) { parent_ = parent; }
    void show(const std::string& text, const std::string& detail = {}) override;

private:
    QPointer<QWidget> parent_;
};

// A question the handler waits for: OK or cancel.
class QtConfirmDialog : public form::ConfirmDialog {
public:
    explicit QtConfirmDialog(QWidget* parent = nullptr) : parent_(parent) {}
    void set_parent(QWidget* parent) { parent_ = parent; }
    bool confirm(const std::string& title, const std::string& text, const std::string& ok,
                 const std::string& cancel) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace vor3::qt
