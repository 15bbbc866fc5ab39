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
    // No "best fit": a character without an exact form in the code page must not become a look-alike ("é" an
    // "e", "¥" a "\" that would split a path). UTF-7/UTF-8 take neither the flag nor the default-character
    // arguments.
    const bool utf = codePage == CP_UTF8 || codePage == CP_UTF7;
    const DWORD flags = utf ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultArg = utf ? nullptr : &usedDefault;
    const int length = static_cast<int>(text.size());
    int count = WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, nullptr, usedDefaultArg);
    std::string bytes(static_cast<size_t>(count > 0 ? count : 0), '\0');
    if (count > 0)
        WideCharToMultiByte(codePage, flags, text.data(), length, bytes.data(), count, nullptr, usedDefaultArg);
    // The way back must give the very text: that also catches a mapping that a system's conversion makes without
    // reporting it.
    if (lossy)
        *lossy = usedDefault != FALSE || count <= 0 || AcpToWide(bytes, codePage) != text;
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
