#include "win/Profile.h"

#include <windows.h>

#include <cstring>

#include "win/Error.h"

namespace velmo::win {

namespace {

// The profile reader has no "missing" result: it copies its default instead. A value ends at its line end, so
// it can never contain "\n"; a default holding one therefore comes back only for a missing key, section or
// file. The "\n" sits between two other characters because the reader may strip blanks from the end of the
// default.
constexpr char kMissing[] = "<\n>";

}  // namespace

std::optional<std::string> ReadProfileValue(const std::string& file, const char* section, const char* key) {
    char buffer[1024];
    DWORD length = GetPrivateProfileStringA(section, key, kMissing, buffer, sizeof(buffer), file.c_str());
    if (length == std::strlen(kMissing) && std::memcmp(buffer, kMissing, length) == 0)
        return std::nullopt;
    return std::string(buffer, length);
}

void WriteProfileText(const std::string& file, const char* section, const char* key, const std::string& value) {
    if (!WritePrivateProfileStringA(section, key, value.c_str(), file.c_str()))
        throw CannotWriteTo(file, "WritePrivateProfileStringA", GetLastError());
}

}  // namespace velmo::win
