#pragma once
#include <QString>

#include "form/controls.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace vor3::qt {

class Binder;
class SpinArrows;

// Makes the widget for a model control, names it after the control
// ("txt_data_cfg_4") and binds it.
class WidgetFactory {
public:
    explicit WidgetFactory(Binder& binder) : binder_(binder) {}

    QLabel* label(form::Control& c, const QString& name);
    // A label that stands for a read-only value, drawn like a field.
    QLabel* value_label(form::Label& c, const QString& name);
    // A section heading inside a frame.
    QLabel* heading(form::Label& c, const QString& name);
    // chars: how many characters the field should show without scrolling.
    QLineEdit* field(form::TextBox& c, const QString& name, int chars);
    SpinArrows* spin(form::UpDown& c, const QString& name);
    QCheckBox* check(form::CheckBox& c, const QString& name);
    QComboBox* combo(form::ComboBox& c, const QString& name);
    QGroupBox* frame(form::Container& c, const QString& name);
    QPushButton* button(form::Button& c, const QString& name);
    // A row label that shows the change mark of the check box it names.
    QLabel* row_label(form::Control& c, form::Control& marked, const QString& name);

    static QString name(const char* array, int index) { return QString("%1_%2").arg(array).arg(index); }

private:
    Binder& binder_;
};

// Two widgets in one layout cell, touching. A hidden one takes no room, so
// this also puts a stand-in where the model hides a control.
QWidget* joined(QWidget* first, QWidget* second);

}  // namespace vor3::qt
