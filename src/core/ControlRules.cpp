#include "core/ControlRules.h"

#include "core/IniValue.h"

namespace velmo {

namespace {

constexpr const char* kEdges[] = {"t", "b", "l", "r"};
constexpr int32_t kStartPositionOffScreen = 200;  // where a strip beyond the screen's height goes instead
constexpr int32_t kAdjForNegative = 3;

}  // namespace

bool ApplyStartPositionText(Settings& settings, std::string_view text) {
    const std::optional<int32_t> value = ParseInt32(text);
    if (!value)
        return false;
    settings.StartPosition = *value;
    if ((settings.Position == "l" || settings.Position == "r") && settings.StartPosition > settings.MH)
        settings.StartPosition = kStartPositionOffScreen;
    if (settings.StartPosition < kStartPositionKey.minimum)
        settings.StartPosition = kStartPositionKey.minimum;
    return true;
}

bool ApplyLengthText(Settings& settings, std::string_view text) {
    const std::optional<int32_t> value = ParseInt32(text);
    if (!value)
        return false;
    settings.Length = *value < kLengthKey.minimum ? kLengthKey.minimum : *value;
    return true;
}

// The editor's own rule for Adj, unlike the strip's (see kSettingsKeys).
void CorrectAdjForEditor(Settings& settings) {
    if (settings.Adj < kAdjKey.minimum)
        settings.Adj = kAdjForNegative;
    if (settings.Adj > kAdjKey.maximum)
        settings.Adj = kAdjKey.maximum;
}

int EdgeItem(std::string_view position) {
    for (int i = 0; i < 4; ++i) {
        if (position == kEdges[i])
            return i;
    }
    return 0;
}

std::string EdgeOfItem(int item) {
    return (item >= 1 && item <= 3) ? kEdges[item] : kEdges[0];
}

std::string ControlWindowCaption(std::string_view currentPicture, const LeadBytes& lead) {
    return " Velmo - " + FileNamePart(currentPicture, lead);
}

}  // namespace velmo
