#pragma once
#include <QDialog>

#include "form/context.h"

namespace vor3::qt {

class Binder;

// The about box: mirrors the model's fAbout. It is modal while shown, has
// no buttons and is closed with its close box.
class AboutView : public QDialog {
public:
    AboutView(Context& c, Binder& binder, QWidget* owner);

protected:
    void closeEvent(QCloseEvent* event) override;
    // Escape closes the box as its close box does.
    void reject() override;

private:
    void follow_model();

    Context& c_;
};

}  // namespace vor3::qt
