// Path parts over system-code-page bytes: folder, file name and extension, stepping over double-byte characters.
#pragma once

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmo {

// Which bytes start a double-byte character in a code page. The Win32 layer builds the table of the running
// system; Cp932() is the Japanese (Shift-JIS) table, used by tests and as the default.
class LeadBytes {
public:
    static LeadBytes Cp932();
    static LeadBytes None();
    void Set(uint8_t byte, bool lead) { lead_[byte] = lead; }
    bool IsLead(uint8_t byte) const { return lead_[byte]; }

private:
    std::bitset<256> lead_;
};

// Position just past the last "\" or ":" (0 when there is none); a trail byte equal to either never counts.
size_t FileNameStart(std::string_view path, const LeadBytes& lead);

// Everything up to and including the last "\" or ":".
std::string FolderPart(std::string_view path, const LeadBytes& lead);

// Everything after the last "\" or ":"; the whole path when it has neither.
std::string FileNamePart(std::string_view path, const LeadBytes& lead);

// From the last "." of the file-name part, the dot included; empty when the file name has no dot.
std::string ExtensionPart(std::string_view path, const LeadBytes& lead);

// Drops the extension of the last component (if any) and appends `extension` (e.g. ".ini").
std::string ReplaceExtension(std::string_view path, std::string_view extension, const LeadBytes& lead);

}  // namespace velmo
