#include "win/Error.h"

#include "win/Text.h"

namespace velmo::win {

AppError::AppError(std::wstring message, const char* api, DWORD code)
    : std::runtime_error(api), message_(std::move(message)), api_(api), code_(code) {}

std::wstring FormatWithPath(const std::wstring& pattern, const std::string& path) {
    std::wstring text = pattern;
    size_t at = text.find(L"%s");
    if (at != std::wstring::npos)
        text.replace(at, 2, AcpToWide(path));
    return text;
}

AppError CannotOpenFile(const std::string& path, const char* api, DWORD code) {
    return AppError(FormatWithPath(L"ﾌｧｲﾙ %s は開けません", path), api, code);
}

AppError CannotCreateFile(const std::string& path, const char* api, DWORD code) {
    return AppError(FormatWithPath(L"ﾌｧｲﾙ %s を作成できません", path), api, code);
}

AppError CannotWriteTo(const std::string& path, const char* api, DWORD code) {
    return AppError(FormatWithPath(L"%s に書き込めません", path), api, code);
}

}  // namespace velmo::win
