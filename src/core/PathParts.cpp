#include "core/PathParts.h"

namespace velmo {

namespace {

struct Scan {
    size_t nameStart = 0;              // just past the last separator
    size_t lastDot = std::string::npos;  // last "." at or after nameStart
};

// One pass from the front: a lead byte and its trail byte are stepped over together, so the trail byte of
// a character such as "表" (0x95 0x5C) or "ソ" (0x83 0x5C) is never taken for a "\".
Scan ScanPath(std::string_view path, const LeadBytes& lead) {
    Scan scan;
    for (size_t i = 0; i < path.size(); ++i) {
        auto byte = static_cast<uint8_t>(path[i]);
        if (lead.IsLead(byte) && i + 1 < path.size()) {
            ++i;
            continue;
        }
        if (byte == '\\' || byte == ':') {
            scan.nameStart = i + 1;
            scan.lastDot = std::string::npos;
        } else if (byte == '.') {
            scan.lastDot = i;
        }
    }
    return scan;
}

}  // namespace

LeadBytes LeadBytes::Cp932() {
    LeadBytes table;
    for (int b = 0x81; b <= 0x9F; ++b)
        table.Set(static_cast<uint8_t>(b), true);
    for (int b = 0xE0; b <= 0xFC; ++b)
        table.Set(static_cast<uint8_t>(b), true);
    return table;
}

LeadBytes LeadBytes::None() {
    return LeadBytes();
}

size_t FileNameStart(std::string_view path, const LeadBytes& lead) {
    return ScanPath(path, lead).nameStart;
}

std::string FolderPart(std::string_view path, const LeadBytes& lead) {
    return std::string(path.substr(0, FileNameStart(path, lead)));
}

std::string FileNamePart(std::string_view path, const LeadBytes& lead) {
    return std::string(path.substr(FileNameStart(path, lead)));
}

std::string ExtensionPart(std::string_view path, const LeadBytes& lead) {
    Scan scan = ScanPath(path, lead);
    if (scan.lastDot == std::string::npos)
        return std::string();
    return std::string(path.substr(scan.lastDot));
}

std::string ReplaceExtension(std::string_view path, std::string_view extension, const LeadBytes& lead) {
    Scan scan = ScanPath(path, lead);
    std::string result(path.substr(0, scan.lastDot == std::string::npos ? path.size() : scan.lastDot));
    result.append(extension);
    return result;
}

}  // namespace velmo
