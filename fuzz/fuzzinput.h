#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>

// The fuzzer's bytes read front to back as numbers and text; past the end every number is 0.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    template <typename T> T take() {
        static_assert(std::is_trivially_copyable_v<T>);
        T value{};
        const std::size_t n = sizeof(T) < size_ ? sizeof(T) : size_;
        std::memcpy(&value, data_, n);
        data_ += n;
        size_ -= n;
        return value;
    }
    // A number in 0 .. count - 1 (count >= 1).
    std::uint32_t below(std::uint32_t count) { return take<std::uint32_t>() % count; }
    // The bytes not read yet, as text.
    std::string rest() {
        std::string text(reinterpret_cast<const char*>(data_), size_);
        size_ = 0;
        return text;
    }
    bool empty() const { return size_ == 0; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// Stops the run at a broken promise, naming the line that checked it.
inline void require(bool holds, const char* file = __builtin_FILE(), int line = __builtin_LINE()) {
    if (!holds) {
        std::fprintf(stderr, "%s:%d: broken\n", file, line);
        std::abort();
    }
}
