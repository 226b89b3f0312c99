// Takes typed values off the front of a fuzzer's byte string.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    template <typename T>
    T take() {
        T value{};
        const std::size_t n = sizeof(T) < size_ ? sizeof(T) : size_;
        if (n > 0)
            std::memcpy(&value, data_, n);
        data_ += n;
        size_ -= n;
        return value;
    }
    std::string_view rest() const { return {reinterpret_cast<const char*>(data_), size_}; }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
};
