#pragma once
#include <QWidget>

#include "form/frm_config.h"

namespace vor3::qt {

class Binder;

// The status window of a running transfer: a small window over the main
// window, shown while the model has it loaded and visible. The transfer
// or its "Abbruch" button ends it; its close button cancels as "Abbruch"
// does where that is offered, and does nothing otherwise. Its keys go to
// the model, which makes Escape "Abbruch".
class StateView : public QWidget {
public:
    StateView(form::FrmState& state, Binder& binder, QWidget* owner);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void follow_model();

    form::FrmState& state_;
};

}  // namespace vor3::qt
