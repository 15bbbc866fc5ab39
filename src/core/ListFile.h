// The picture list files: one path per line in the system code page, and how a list item is shown in two
// columns.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/PathParts.h"

namespace velmo {

// The items of a list file. Lines end at CR LF, at a lone CR or at a lone LF; every line is an item, empty
// ones included, and text after the last line end is a last item. A NUL byte ends the text. Lines are kept
// byte for byte.
std::vector<std::string> ParseListFile(std::string_view bytes);
// The same lines, as views into `bytes`.
std::vector<std::string_view> ListFileLines(std::string_view bytes);

// Every item followed by CR LF; an empty list is an empty file.
std::string FormatListFile(const std::vector<std::string>& items);

// The two columns of a list item: a blank and the folder part, a blank and the file-name part, each cut to at
// most kMaxColumnBytes bytes, never inside a double-byte character.
struct ListColumns {
    std::string folder;
    std::string file;
};
inline constexpr size_t kMaxColumnBytes = 255;
ListColumns ListItemColumns(std::string_view item, const LeadBytes& lead);

}  // namespace velmo
