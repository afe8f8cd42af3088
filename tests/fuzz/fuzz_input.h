#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace pluvik::fuzz {

// Splits one fuzz input into the values a target needs, from the front, the rest left as bytes.
// The fuzz build and the corpus replay both read inputs through it, so a kept input means the same
// to both.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    // One byte: its lowest bit. False when nothing is left.
    bool takeBool() { return m_size > 0 && (takeByte() & 1) != 0; }

    // A length byte (taken modulo max + 1), then that many bytes, or as many as are left.
    std::string takeString(std::size_t max) {
        const std::size_t wanted = m_size > 0 ? takeByte() % (max + 1) : 0;
        return take(wanted < m_size ? wanted : m_size);
    }

    // Eight bytes as they lie in memory: every double, NaNs and infinities among them. Zero when
    // fewer are left (those stay for the rest).
    double takeDouble() {
        double value = 0;
        if (m_size < sizeof value) return value;
        std::memcpy(&value, m_data, sizeof value);
        m_data += sizeof value;
        m_size -= sizeof value;
        return value;
    }

    std::string rest() { return take(m_size); }

private:
    std::uint8_t takeByte() {
        --m_size;
        return *m_data++;
    }
    std::string take(std::size_t n) {
        std::string bytes(reinterpret_cast<const char*>(m_data), n);
        m_data += n;
        m_size -= n;
        return bytes;
    }

    const std::uint8_t* m_data;
    std::size_t m_size;
};

}  // namespace pluvik::fuzz
