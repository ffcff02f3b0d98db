#pragma once
#include <string>
#include <vector>

#include "app/cli_options.h"
#include "app/program.h"
#include "form/platform.h"

namespace vor3::app {

// Messages the window would show, kept for the command line to print.
struct CollectedMessages : form::MessageBox {
    std::vector<std::string> texts;
    void show(const std::string& text, const std::string& detail) override {
        texts.push_back(detail.empty() ? text : text + "\n" + detail);
    }
};

// No one to ask on the command line: a question is answered "cancel".
struct NoConfirm : form::ConfirmDialog {
    bool confirm(const std::string&, const std::string&, const std::string&, const std::string&) override {
        return false;
    }
};

// "Gerät auslesen" driven from the command line: chooses the lists as a
// user would, opens the port, presses the button and watches the window
// until the read has ended one way or another.
class CliRead {
public:
    enum class Outcome { Running, Done, PortFailed, NoAnswer };

    CliRead(Program& program, const CollectedMessages& messages, const CliOptions& options);

    // Runs the start-up, sets the lists and the address, opens the port and
    // presses the button. PortFailed when the port could not be opened.
    Outcome start();
    // Only the start-up, the lists, the address and opening the port;
    // false when the port could not be opened.
    bool open();
    // Presses the button on a program already started with its port open,
    // for the sensor its address field names.
    Outcome begin();
    // Where the read stands now.
    Outcome poll();
    // What the window showed for a failure: its message or warning text.
    std::string failure_text() const;

    // Where the transfer under way stands, by the outcome it recorded.
    static Outcome of_transfer(const Context& c);
    static int exit_status(Outcome o);

private:
    Program& p_;
    const CollectedMessages& messages_;
    CliOptions o_;
};

}  // namespace vor3::app
