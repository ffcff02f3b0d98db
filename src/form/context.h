#pragma once
#include <functional>
#include <vector>

#include "form/clock.h"
#include "form/f_about.h"
#include "form/frm_config.h"
#include "form/platform.h"
#include "form/serial_port.h"
#include "form/transfer_events.h"
#include "model/globals.h"
#include "model/reading.h"

namespace vor3 {

// What the behaviour of one running program works on: its shared state,
// its windows and its platform services. One program owns one of these;
// tests build as many as they like.
struct Context {
    model::Globals& g;
    form::FrmConfig& frm;
    form::FrmState& state;
    form::SerialPort& port;
    form::MessageBox& msg;
    form::ConfirmDialog& confirm;
    form::Clock& clock;
    // Ends the program at once (the view or tool that runs it decides how).
    std::function<void()> end_program;
    // Each is told after every complete reading of the measured values,
    // for those who record them.
    std::vector<std::function<void(const model::MeasuredReading&)>> measured_values_read;
    // Told when the reader does not take a frame for our address: its
    // request was answered already (true), or it answers no request
    // outstanding (false).
    std::function<void(bool answered_already)> answer_not_taken;
    // Told when a pace register (6 or 7) held more than its bound
    // (model::pace_bound) and the bound was taken instead.
    std::function<void(int reg, std::int32_t held)> pace_bounded;
    // Each is told after a reply changed the register image, and after
    // values were shown as not read.
    std::vector<std::function<void()>> image_changed;
    form::FAbout& about;
    // Further platform services; the program always sets them.
    form::FileDialog* files;
    form::Desktop* desktop;
    form::Screen* screen;
    form::WallClock* wall_clock;
    // A read, another sensor or a parameter file replaces edited values
    // only once the user agreed: where someone is there to answer (the
    // window), never in a tool or a job over several sensors.
    bool ask_before_dropping_edits = false;
    // What the transfer layers tell the window; the program always sets it.
    form::TransferEvents* events = nullptr;
};

}  // namespace vor3
