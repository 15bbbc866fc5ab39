// The program's errors: a text for the user plus, for a developer, the failing call and its error code.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

namespace velmo::win {

class AppError : public std::runtime_error {
public:
    AppError(std::wstring message, const char* api = "", DWORD code = 0);

    const std::wstring& message() const { return message_; }
    const char* api() const { return api_; }
    DWORD code() const { return code_; }

private:
    std::wstring message_;  // shown to the user
    const char* api_;       // the Win32 call that failed, if any
    DWORD code_;            // its GetLastError, read at the failing line
};

// "ﾌｧｲﾙ %s は開けません", "ﾌｧｲﾙ %s を作成できません", "%s に書き込めません", with the path in place of %s.
AppError CannotOpenFile(const std::string& path, const char* api, DWORD code);
AppError CannotCreateFile(const std::string& path, const char* api, DWORD code);
AppError CannotWriteTo(const std::string& path, const char* api, DWORD code);

// What the error report shows: the error's text followed by ".". An error the program has no words for (a
// failed call deep inside) gets a short general Japanese text instead, with the failing call and its error code
// on a second line for whoever the user asks for help; a user never reads only an API's name.
std::wstring ReportText(const AppError& error);

// Replaces the first "%s" of a UI text with `value`.
std::wstring FormatWithPath(const std::wstring& pattern, const std::string& path);

}  // namespace velmo::win
