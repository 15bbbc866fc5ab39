// Conversions between system-code-page bytes (paths, INI values) and UTF-16 UI text.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "core/PathParts.h"

namespace velmo::win {

std::wstring AcpToWide(std::string_view bytes, UINT codePage = CP_ACP);
// `lossy` (optional) is set when a character has no exact form in the code page; such a character is never
// replaced by a look-alike ("best fit"), only by the default character.
std::string WideToAcp(std::wstring_view text, bool* lossy = nullptr, UINT codePage = CP_ACP);

// Lowercases system-code-page bytes with the system's character-set-aware conversion (CharLowerBuffA), the form
// in which paths are compared without regard to letter case.
std::string LowerAcp(std::string text);

// The lead-byte table of the running system's code page, for the core's path functions.
const LeadBytes& SystemLeadBytes();

}  // namespace velmo::win
