#include "core/Capture.h"

namespace velmo {

std::string ProposeCaptureFile(const std::string& folder, const std::function<bool(const std::string&)>& taken) {
    for (int n = 0; n <= 9; ++n) {
        const std::string path = folder + "Capture" + std::to_string(n) + ".bmp";
        if (!taken(path))
            return path;
    }
    return folder + "Capture9.bmp";
}

std::string CaptureTarget(const std::string& folder, std::string_view typed, const LeadBytes& lead) {
    return folder + FileNamePart(typed, lead);
}

bool HasBmpExtension(std::string_view path, const LeadBytes& lead) {
    // Only ASCII letters can spell ".bmp", so lowering those is all the comparison needs; a double-byte
    // character is never part of a match.
    const std::string extension = ExtensionPart(path, lead);
    if (extension.size() != 4 || extension[0] != '.')
        return false;
    const char* bmp = "bmp";
    for (int i = 0; i < 3; ++i) {
        char c = extension[static_cast<size_t>(i) + 1];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != bmp[i])
            return false;
    }
    return true;
}

}  // namespace velmo
