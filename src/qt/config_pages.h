#pragma once

#include "form/frm_config.h"

class QGroupBox;
class QWidget;

namespace vor3::qt {

class WidgetFactory;

// The parts of the configuration window, each built and bound from the
// model's controls.
QGroupBox* build_parameter_frame(form::FrmConfig& f, WidgetFactory& make);
QWidget* build_general_page(form::FrmConfig& f, WidgetFactory& make);  // "Allgemein"
QWidget* build_display_page(form::FrmConfig& f, WidgetFactory& make);  // "Anzeige"
QGroupBox* build_action_frame(form::FrmConfig& f, WidgetFactory& make);

}  // namespace vor3::qt
