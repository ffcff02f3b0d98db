#include "link/echo_filter.h"

namespace vor3::link {

void EchoFilter::set_open(bool on) {
    echo_.clear();
    heard_ = 0;
    inner_.set_open(on);
}

void EchoFilter::write(std::string_view bytes) {
    inner_.write(bytes);
    // A part of the last echo still held back never came whole: it was no
    // reply either, and goes with it.
    echo_ = enabled_() ? std::string(bytes) : std::string();
    heard_ = 0;
}

std::string EchoFilter::read_all() {
    std::string data = inner_.read_all();
    if (echo_.empty()) return data;
    std::string out;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (echo_.empty()) {
            out.append(data, i, std::string::npos);
            break;
        }
        if (data[i] == echo_[heard_]) {
            if (++heard_ == echo_.size()) {
                echo_.clear();  // all of it heard back: dropped
                heard_ = 0;
            }
            continue;
        }
        // Not the echo after all: what was held back is passed on.
        out.append(echo_, 0, heard_);
        echo_.clear();
        heard_ = 0;
        out += data[i];
    }
    return out;
}

}  // namespace vor3::link
