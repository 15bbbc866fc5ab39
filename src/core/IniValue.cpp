#include "core/IniValue.h"

#include <limits>

namespace velmo {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

int32_t ParseIniInt(std::string_view text, int32_t fallback) {
    std::string buffer;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        buffer = "$";
        buffer.append(text.substr(2));
        text = buffer;
    }
    return ParseInt32(text).value_or(fallback);
}

std::optional<int32_t> ParseInt32(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    bool signed_ = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        signed_ = true;
        ++i;
    }
    bool hex = false;
    // A sign goes only with decimal digits: "-$10" is not a number.
    if (i < text.size() && text[i] == '$' && !signed_) {
        hex = true;
        ++i;
    }
    if (i == text.size())
        return std::nullopt;

    // Accumulate in 64 bits and stop as soon as the value can no longer fit, so long texts cannot overflow.
    const uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        int digit = hex ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
        if (digit < 0)
            return std::nullopt;
        value = value * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
        if (value > limit)
            return std::nullopt;
    }

    // Hexadecimal values are 32-bit patterns: $FFFFFFFF is -1.
    uint32_t bits = static_cast<uint32_t>(value);
    if (negative)
        bits = 0u - bits;
    return static_cast<int32_t>(bits);
}

bool ParseIniBool(std::string_view text, bool fallback) {
    return ParseIniInt(text, fallback ? 1 : 0) != 0;
}

std::string FormatIniInt(int32_t value) {
    return std::to_string(value);
}

std::string FormatIniBool(bool value) {
    return value ? "1" : "0";
}

}  // namespace velmo
