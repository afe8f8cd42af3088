#include "update/version_number.h"

#include <charconv>
#include <cmath>
#include <string>

namespace pluvik {
namespace {

class Reader {
public:
    explicit Reader(std::string_view text) : m_text(text) {}

    // The next character that is not skipped, without taking it; '\0' at the end.
    char peek() {
        while (m_pos < m_text.size() && isSkipped(m_text[m_pos])) ++m_pos;
        return m_pos < m_text.size() ? m_text[m_pos] : '\0';
    }
    void take() { ++m_pos; }

private:
    static bool isSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int digitValue(char c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

double readRadix(Reader& in, int radix) {
    double value = 0;
    while (digitValue(in.peek()) < radix) {
        value = value * radix + digitValue(in.peek());
        in.take();
    }
    return value;
}

}  // namespace

double versionNumber(std::string_view text) {
    Reader in(text);
    if (in.peek() == '&') {
        in.take();
        const char kind = in.peek();
        if (kind == 'H' || kind == 'h') {
            in.take();
            return readRadix(in, 16);
        }
        if (kind == 'O' || kind == 'o') in.take();
        return readRadix(in, 8);
    }

    // The digits are collected into a plain decimal literal and converted in one go, so the result
    // is the nearest double to the number written. std::from_chars ignores the locale, which the
    // window system may have set to one with a decimal comma.
    bool negative = false;
    if (in.peek() == '+' || in.peek() == '-') {
        negative = in.peek() == '-';
        in.take();
    }
    std::string literal;
    bool anyDigit = false;
    while (isDigit(in.peek())) {
        literal += in.peek();
        in.take();
        anyDigit = true;
    }
    if (in.peek() == '.') {
        literal += '.';
        in.take();
        while (isDigit(in.peek())) {
            literal += in.peek();
            in.take();
            anyDigit = true;
        }
    }
    if (!anyDigit) return 0;
    bool tinyExponent = false;
    const char e = in.peek();
    if (e == 'E' || e == 'e' || e == 'D' || e == 'd') {
        std::string exponent = "e";
        in.take();
        if (in.peek() == '+' || in.peek() == '-') {
            tinyExponent = in.peek() == '-';
            exponent += in.peek();
            in.take();
        }
        bool expDigit = false;
        while (isDigit(in.peek())) {
            exponent += in.peek();
            in.take();
            expDigit = true;
        }
        if (expDigit) literal += exponent;
    }
    double value = 0;
    const std::from_chars_result read =
        std::from_chars(literal.data(), literal.data() + literal.size(), value);
    if (read.ec == std::errc::result_out_of_range) value = tinyExponent ? 0.0 : HUGE_VAL;
    return negative ? -value : value;
}

VersionOrder compareVersions(std::string_view installed, std::string_view latest) {
    const double a = versionNumber(installed);
    const double b = versionNumber(latest);
    if (a < b) return VersionOrder::Older;
    if (a > b) return VersionOrder::Newer;
    return VersionOrder::Same;
}

}  // namespace pluvik
