// Profile (INI) file access through the ...A calls, one key per call.
#pragma once

#include <optional>
#include <string>

namespace velmo::win {

// The value of `key`, at most 1023 bytes as the profile reader returns it; nothing when the key, its section
// or the file is missing. A key present with an empty value reads as "".
std::optional<std::string> ReadProfileValue(const std::string& file, const char* section, const char* key);

// Throws AppError "%s に書き込めません" when the profile writer refuses.
void WriteProfileText(const std::string& file, const char* section, const char* key, const std::string& value);

}  // namespace velmo::win
