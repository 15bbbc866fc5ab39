#include "win/Profile.h"

#include <windows.h>

#include "win/Error.h"

namespace velmo::win {

std::string ReadProfileText(const std::string& file, const char* section, const char* key, const char* fallback) {
    char buffer[1024];
    DWORD length = GetPrivateProfileStringA(section, key, fallback, buffer, sizeof(buffer), file.c_str());
    return std::string(buffer, length);
}

void WriteProfileText(const std::string& file, const char* section, const char* key, const std::string& value) {
    if (!WritePrivateProfileStringA(section, key, value.c_str(), file.c_str()))
        throw CannotWriteTo(file, "WritePrivateProfileStringA", GetLastError());
}

}  // namespace velmo::win
