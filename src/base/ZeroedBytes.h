#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

// A fixed-size byte array that starts all zero. Large arrays come from the system as fresh
// zero pages, so the zero fill costs nothing until a page is first written: buffers made at
// start-up and used only once an image is open do not slow the start.
class ZeroedBytes {
public:
    explicit ZeroedBytes(std::size_t count = 0) : Bytes(Allocate(count)), Count(count) {}
    ZeroedBytes(const ZeroedBytes& other) : ZeroedBytes(other.Count) {
        if (Count != 0)
            std::memcpy(Bytes.get(), other.Bytes.get(), Count);
    }
    ZeroedBytes& operator=(const ZeroedBytes& other) {
        if (this != &other)
            *this = ZeroedBytes(other);
        return *this;
    }
    // What a move leaves behind is empty, not a size without bytes.
    ZeroedBytes(ZeroedBytes&& other) noexcept
        : Bytes(std::move(other.Bytes)), Count(std::exchange(other.Count, 0)) {}
    ZeroedBytes& operator=(ZeroedBytes&& other) noexcept {
        Bytes = std::move(other.Bytes);
        Count = std::exchange(other.Count, 0);
        return *this;
    }

    std::size_t size() const { return Count; }
    std::uint8_t* data() { return Bytes.get(); }
    const std::uint8_t* data() const { return Bytes.get(); }
    std::uint8_t* begin() { return data(); }
    std::uint8_t* end() { return data() + Count; }
    const std::uint8_t* begin() const { return data(); }
    const std::uint8_t* end() const { return data() + Count; }
    std::uint8_t& operator[](std::size_t i) { return Bytes.get()[i]; }
    std::uint8_t operator[](std::size_t i) const { return Bytes.get()[i]; }

private:
    struct Free {
        void operator()(std::uint8_t* bytes) const { std::free(bytes); }
    };

    static std::unique_ptr<std::uint8_t[], Free> Allocate(std::size_t count) {
        // One byte at least, so that data() is null only after a move.
        auto* bytes = static_cast<std::uint8_t*>(std::calloc(count == 0 ? 1 : count, 1));
        if (bytes == nullptr)
            throw std::bad_alloc();
        return std::unique_ptr<std::uint8_t[], Free>(bytes);
    }

    std::unique_ptr<std::uint8_t[], Free> Bytes;
    std::size_t Count;
};
