#pragma once
#include "form/context.h"
#include "form/frm_scan.h"
#include "form/timer.h"
#include "ops/scan.h"

namespace vor3::ui {

// A line setting and address as the scan window names them ("RTU, 9600
// Baud, Even, Adresse 5"; over the network "RTU, Adresse 5", or "Unit-ID 5"
// behind a gateway).
std::string scan_setting(const ops::LineSetting& line, int address, const std::string& language);
// The try under way, for a progress line ("RTU 9600 Gerade, Adresse 5"; over
// the network as scan_setting names it).
std::string scan_trying(const ops::LineSetting& line, int address, const std::string& language);
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
    // Asks first where it would end a running read-out.
    void start();
    void stop();
    // The chosen find (or the only one) into the configuration window's
    // lists and address field; the window closes, the port opens with the
    // find and the device is read.
    void take();

    const ops::Scanner& scanner() const { return scanner_; }

private:
    void show_progress();
    void show_time_left();

    Context& c_;
    form::FrmScan& w_;
    ops::Scanner scanner_;
    // Counts the time left down between tries, however long a try waits.
    form::Timer countdown_;
};

// Puts a line setting into the configuration window's lists, as a user
// would choose it.
void choose_line(Context& c, const ops::LineSetting& line);
// The line setting the configuration window's lists hold now.
ops::LineSetting line_in_force(const Context& c);

}  // namespace vor3::ui
