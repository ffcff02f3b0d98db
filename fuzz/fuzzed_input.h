#pragma once
// How the fuzz targets read their input: the subset of libFuzzer's
// FuzzedDataProvider they use, byte for byte the same consumption (numbers
// from the end of the input, bytes and strings from the front), so the
// corpus means the same under libFuzzer and in the replays, and the replays
// need nothing of clang's runtime.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

class FuzzedDataProvider {
public:
    FuzzedDataProvider(const std::uint8_t* data, std::size_t size) : data_(data), left_(size) {}

    std::size_t remaining_bytes() const { return left_; }

    template <typename T>
    T ConsumeIntegralInRange(T min, T max) {
        const std::uint64_t range = static_cast<std::uint64_t>(max) - static_cast<std::uint64_t>(min);
        std::uint64_t result = 0;
        for (std::size_t bits = 0; bits < sizeof(T) * 8 && (range >> bits) > 0 && left_ != 0; bits += 8)
            result = (result << 8) | data_[--left_];
        if (range != std::numeric_limits<std::uint64_t>::max()) result %= range + 1;
        return static_cast<T>(static_cast<std::uint64_t>(min) + result);
    }
    template <typename T>
    T ConsumeIntegral() {
        return ConsumeIntegralInRange(std::numeric_limits<T>::min(), std::numeric_limits<T>::max());
    }
    bool ConsumeBool() { return 1 & ConsumeIntegral<std::uint8_t>(); }

    std::string ConsumeBytesAsString(std::size_t n) {
        n = std::min(n, left_);
        std::string out(reinterpret_cast<const char*>(data_), n);
        advance(n);
        return out;
    }
    // Up to `max_length` characters; a backslash followed by anything but a
    // second one ends the string.
    std::string ConsumeRandomLengthString(std::size_t max_length) {
        std::string out;
        for (std::size_t i = 0; i < max_length && left_ != 0; ++i) {
            char next = static_cast<char>(data_[0]);
            advance(1);
            if (next == '\\' && left_ != 0) {
                next = static_cast<char>(data_[0]);
                advance(1);
                if (next != '\\') break;
            }
            out += next;
        }
        return out;
    }

private:
    void advance(std::size_t n) {
        data_ += n;
        left_ -= n;
    }
    const std::uint8_t* data_;
    std::size_t left_;
};
