#pragma once
#include <QDialog>

namespace vor3::app {
class Program;
}

namespace vor3::qt {

class Binder;

// The scan window: mirrors the model's frmScan. It stays open beside the
// configuration window; closing it stops a scan that runs.
class ScanView : public QDialog {
public:
    ScanView(app::Program& program, Binder& binder, QWidget* owner);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void follow_model();

    app::Program& program_;
};

}  // namespace vor3::qt
