#include "win/Error.h"

#include "win/Text.h"

namespace velmo::win {

AppError::AppError(std::wstring message, const char* api, DWORD code)
    : std::runtime_error(api), message_(std::move(message)), api_(api), code_(code) {}

std::wstring ReportText(const AppError& error) {
    if (!error.message().empty())
        return error.message() + L".";
    std::wstring text = L"予期しないエラーが発生しました.";
    const std::wstring api = AcpToWide(error.api());
    if (!api.empty() || error.code() != 0) {
        text += L"\r\n" + api;
        if (error.code() != 0)
            text += (api.empty() ? L"(" : L" (") + std::to_wstring(error.code()) + L")";
    }
    return text;
}

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
