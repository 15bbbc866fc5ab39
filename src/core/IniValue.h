// Value rules of the settings file: how integer and boolean keys are read and written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmo {

// The integer text rule: leading blanks, then an optional "+" or "-" and decimal digits, or "$" and hexadecimal
// digits (a "$" value is a 32-bit pattern: "$FFFFFFFF" is -1); nothing may follow, and the value must fit in 32
// bits. Nothing for any other text, the empty one and blanks only included.
std::optional<int32_t> ParseInt32(std::string_view text);

// Reads an integer value as the settings file stores it. A leading "0x"/"0X" (on a text longer than two
// characters) means hexadecimal, as "$" does; leading blanks and one sign are allowed. An empty text, any
// other character or a number outside 32 bits gives `fallback`.
int32_t ParseIniInt(std::string_view text, int32_t fallback);

// A boolean is an integer whose default is 1 or 0; any non-zero number is true.
bool ParseIniBool(std::string_view text, bool fallback);

std::string FormatIniInt(int32_t value);
std::string FormatIniBool(bool value);

}  // namespace velmo
