#pragma once
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
#include <string>

namespace vor3::test {

// Runs `job` on a thread of its own and tells whether it ended within ten
// seconds. One stuck on the pipe `fifo` (waiting for a writer or a reader)
// is then set free by opening the pipe's other ends, so the test ends too.
inline bool ends_without_waiting(const std::function<void()>& job, const std::string& fifo) {
    auto done = std::async(std::launch::async, job);
    if (done.wait_for(std::chrono::seconds(10)) == std::future_status::ready) return true;
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) ::close(writer);
    done.wait();
    if (reader >= 0) ::close(reader);
    return false;
}

}  // namespace vor3::test
