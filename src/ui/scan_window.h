#pragma once
#include "form/frm_scan.h"
#include "link/context.h"
#include "ops/scan.h"

namespace vor3::ui {

// A line setting and address as the scan window names them ("RTU, 9600
// Baud, Even, Adresse 5"; over the network "RTU, Adresse 5", or "Unit-ID 5"
// behind a gateway).
std::string scan_setting(const ops::LineSetting& line, int address, const std::string& language);
// A find as the scan window lists it, with a warning where two devices may
// share its address.
std::string scan_entry(const ops::ScanFind& find, const std::string& language);

// "Sensor suchen…": the scan window's behaviour. While a scan runs it has
// the port to itself: the configuration window closes its link and waits,
// disabled, until the scan ends.
class ScanWindow {
public:
    ScanWindow(Context& c, form::FrmScan& window);
    ScanWindow(const ScanWindow&) = delete;
    ScanWindow& operator=(const ScanWindow&) = delete;

    // Shows the window for the port chosen in the configuration window.
    void load();
    // Closing the window stops a scan that runs.
    void unload();
    void start();
    void stop();
    // The chosen find (or the only one) into the configuration window's
    // lists and address field; the window closes.
    void take();

    const ops::Scanner& scanner() const { return scanner_; }

private:
    void show_progress();

    Context& c_;
    form::FrmScan& w_;
    ops::Scanner scanner_;
};

}  // namespace vor3::ui
