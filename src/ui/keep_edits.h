#pragma once
#include <string>
#include <vector>

#include "form/context.h"

namespace vor3::ui {

// What replaces the values the window shows.
enum class Replacing {
    Read,        // "Gerät auslesen": every value anew
    SensorLine,  // another port, line setting or address: the values the last sensor gave
    File,        // a parameter file: its configuration, and it may name another sensor
};

// A value the user changed, as the question names it.
struct EditedValue {
    std::string caption;
    std::string before;  // as the sensor holds it
    std::string after;   // as the user made it
};

// The values carrying the change mark that `what` would replace, in the
// window's order.
std::vector<EditedValue> edits_replaced(const Context& c, Replacing what);

// Asks before marked values go. True where the action may go on: nothing
// marked would go, nobody is there to ask, or the user chose to discard.
bool may_replace_edits(Context& c, Replacing what);

// An action of several steps that each would ask (choose a line, an
// address, then read) asks once before the first; while one of these
// lives, nothing asks again.
class EditsAnswered {
public:
    explicit EditsAnswered(Context& c) : c_(c), asking_(c.ask_before_dropping_edits) {
        c.ask_before_dropping_edits = false;
    }
    ~EditsAnswered() { c_.ask_before_dropping_edits = asking_; }
    EditsAnswered(const EditsAnswered&) = delete;
    EditsAnswered& operator=(const EditsAnswered&) = delete;

private:
    Context& c_;
    bool asking_;
};

// The open/close list chose "open": where that reaches another sensor
// line, the values the last sensor gave go, so the user is asked first;
// kept, the list goes back to "close" and false is returned.
bool may_open_port(Context& c, int list);

}  // namespace vor3::ui
