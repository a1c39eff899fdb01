#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// The bytes of one fuzzer input, read front to back. Past the end every read
// gives zeros, so that a short input still makes a whole run.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool done() const { return m_pos >= m_size; }
    std::uint8_t next() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    // One of n choices, 0 to n - 1.
    int choose(int n) { return next() % n; }
    // The next sizeof(T) bytes as a T, as they would lie in memory.
    template <class T>
    T raw()
    {
        unsigned char bytes[sizeof(T)];
        for (unsigned char& b : bytes)
            b = next();
        T value;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};
