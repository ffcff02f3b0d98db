#pragma once
#include <functional>
#include <map>
#include <vector>

#include <QComboBox>
#include <QObject>

#include "form/controls.h"
#include "form/grid.h"

class QAbstractButton;
class QAction;
class QCheckBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QTabWidget;
class QWidget;

class QTableWidget;

namespace vor3::qt {

class SpinArrows;

// A drop-down list that tells the model before it opens, so the model can
// fill it afresh; its open list is as wide as its longest entry.
class DropDownList : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> opening;
    void showPopup() override;
};

// Ties model controls to their widgets. Each bind copies the control into
// the widget now and on every change the model reports (with the widget's
// signals blocked), and turns what the user does with the widget into the
// model's calls. A text field's content always comes from the model: keys
// go through TextBox::type_key and the field is redrawn from the result.
//
// Destroying the binder unhooks everything, so it must die before the
// widgets or the model it binds (keep it as a member of the view).
class Binder : public QObject {
public:
    explicit Binder(QObject* parent = nullptr) : QObject(parent) {}
    ~Binder() override;

    // Enabled and visible only: pictures, plain containers.
    void plain(form::Control& control, QWidget& widget);
    void frame(form::Container& control, QGroupBox& box);
    void label(form::Control& control, QLabel& label);
    void text_box(form::TextBox& control, QLineEdit& edit);
    void button(form::Button& control, QAbstractButton& button);
    void check_box(form::CheckBox& control, QCheckBox& box);
    void combo_box(form::ComboBox& control, QComboBox& combo);
    void list_box(form::ListBox& control, QListWidget& list);
    // Headers, cells and selection; the user's selection and double click.
    void grid(form::Grid& control, QTableWidget& table);
    void progress(form::ProgressBar& control, QProgressBar& bar);
    void menu_item(form::MenuItem& control, QAction& action);
    void tab(form::TabControl& control, QTabWidget& tabs);
    void spin(form::UpDown& control, SpinArrows& arrows);
    // Paints `label` (bound to `label_control`) with the change mark while
    // `marked` carries it. Bind both controls first.
    void mark_row(form::Control& marked, form::Control& label_control, QLabel& label);
    // Any other binding: `sync` runs now and on every change of `control`.
    void custom(form::Control& control, const std::function<void()>& sync);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool key_press(form::TextBox& box, QLineEdit& edit, const QKeyEvent& event);

    std::vector<form::Control*> bound_;
    std::map<QObject*, form::TextBox*> fields_;
    std::map<QObject*, form::Button*> buttons_;
    std::map<QObject*, int> wheel_turned_;  // eighths of a degree short of a notch
};

// Runs a model call from a widget's signal or event: the behaviour must not
// throw into the event loop, so anything it lets escape is logged here.
void guarded(const std::function<void()>& call);

}  // namespace vor3::qt
