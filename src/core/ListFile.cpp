#include "core/ListFile.h"

namespace velmo {

std::vector<std::string_view> ListFileLines(std::string_view bytes) {
    const size_t nul = bytes.find('\0');
    if (nul != std::string_view::npos)
        bytes = bytes.substr(0, nul);
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        lines.push_back(bytes.substr(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.push_back(bytes.substr(start));
    return lines;
}

std::vector<std::string> ParseListFile(std::string_view bytes) {
    const std::vector<std::string_view> lines = ListFileLines(bytes);
    return std::vector<std::string>(lines.begin(), lines.end());
}

std::string FormatListFile(const std::vector<std::string>& items) {
    size_t size = 0;
    for (const std::string& item : items)
        size += item.size() + 2;
    std::string text;
    text.reserve(size);
    for (const std::string& item : items) {
        text += item;
        text += "\r\n";
    }
    return text;
}

namespace {

// A blank and `part`, cut to the limit where a whole character ends.
std::string Column(std::string_view part, const LeadBytes& lead) {
    std::string text = " ";
    size_t i = 0;
    while (i < part.size()) {
        const size_t length = lead.IsLead(static_cast<uint8_t>(part[i])) && i + 1 < part.size() ? 2 : 1;
        if (text.size() + length > kMaxColumnBytes)
            break;
        text.append(part.substr(i, length));
        i += length;
    }
    return text;
}

}  // namespace

ListColumns ListItemColumns(std::string_view item, const LeadBytes& lead) {
    const size_t split = FileNameStart(item, lead);
    return {Column(item.substr(0, split), lead), Column(item.substr(split), lead)};
}

}  // namespace velmo
