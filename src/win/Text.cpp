#include "win/Text.h"

#include <climits>

namespace velmo::win {

std::wstring AcpToWide(std::string_view bytes, UINT codePage) {
    if (bytes.empty() || bytes.size() > INT_MAX)
        return std::wstring();
    int count = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(count > 0 ? count : 0), L'\0');
    if (count > 0)
        MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), count);
    return text;
}

std::string WideToAcp(std::wstring_view text, bool* lossy, UINT codePage) {
    if (lossy)
        *lossy = false;
    if (text.empty() || text.size() > INT_MAX)
        return std::string();
    BOOL usedDefault = FALSE;
    // UTF-7/UTF-8 reject the default-character arguments.
    BOOL* usedDefaultArg = (codePage == CP_UTF8 || codePage == CP_UTF7) ? nullptr : &usedDefault;
    int count = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                    usedDefaultArg);
    std::string bytes(static_cast<size_t>(count > 0 ? count : 0), '\0');
    if (count > 0)
        WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(), count, nullptr,
                            usedDefaultArg);
    if (lossy)
        *lossy = usedDefault != FALSE;
    return bytes;
}

std::string LowerAcp(std::string text) {
    if (!text.empty())
        CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

const LeadBytes& SystemLeadBytes() {
    static const LeadBytes table = [] {
        LeadBytes lead;
        for (int b = 0; b < 256; ++b)
            lead.Set(static_cast<uint8_t>(b), IsDBCSLeadByte(static_cast<BYTE>(b)) != FALSE);
        return lead;
    }();
    return table;
}

}  // namespace velmo::win
