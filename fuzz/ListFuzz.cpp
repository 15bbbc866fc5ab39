// libFuzzer target for the list file reader: what it reads, written back and read again, is the same list,
// and no item holds a line end or a NUL; the columns of every item stay within their byte limit.
#include <cstdlib>
#include <string_view>

#include "core/ListFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace velmo;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> items = ParseListFile(bytes);
    const LeadBytes cp932 = LeadBytes::Cp932();
    for (const std::string& item : items) {
        if (item.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
            std::abort();
        const ListColumns columns = ListItemColumns(item, cp932);
        if (columns.folder.size() > kMaxColumnBytes || columns.file.size() > kMaxColumnBytes)
            std::abort();
    }
    if (ParseListFile(FormatListFile(items)) != items)
        std::abort();
    return 0;
}
