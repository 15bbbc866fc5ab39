// Profile (INI) file access through the ...A calls, one key per call.
#pragma once

#include <string>

namespace velmo::win {

// At most 1023 bytes, as the profile reader returns it; `fallback` only when the key, section or file is missing.
std::string ReadProfileText(const std::string& file, const char* section, const char* key, const char* fallback);

// Throws AppError "%s に書き込めません" when the profile writer refuses.
void WriteProfileText(const std::string& file, const char* section, const char* key, const std::string& value);

}  // namespace velmo::win
