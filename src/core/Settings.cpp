#include "core/Settings.h"

#include "core/IniValue.h"

namespace velmo {

Settings::Settings() {
    for (const SettingsKey& key : kSettingsKeys)
        LoadRecordKey(*this, key, std::nullopt, LeadBytes::None());
}

int32_t IntegerValue(const SettingsKey& key, const std::optional<std::string>& text) {
    return text ? ParseIniInt(*text, key.defaultNumber) : key.defaultNumber;
}

bool BooleanValue(const SettingsKey& key, const std::optional<std::string>& text) {
    return text ? ParseIniBool(*text, key.defaultNumber != 0) : key.defaultNumber != 0;
}

std::string TextValue(const SettingsKey& key, const std::optional<std::string>& text, const LeadBytes& lead) {
    if (!text)
        return key.defaultText;
    if (key.kind != ValueKind::EdgeLetter)
        return *text;
    // Only the first character counts ("bottom" is "b"); a double-byte character is kept whole so that writing
    // it back never leaves half a character in the file. An empty value stays empty.
    const std::string& value = *text;
    size_t length = value.empty() ? 0 : (lead.IsLead(static_cast<uint8_t>(value[0])) && value.size() > 1 ? 2 : 1);
    return value.substr(0, length);
}

void LoadRecordKey(Settings& settings,
                   const SettingsKey& key,
                   const std::optional<std::string>& text,
                   const LeadBytes& lead) {
    if (key.integer)
        settings.*key.integer = IntegerValue(key, text);
    else if (key.boolean)
        settings.*key.boolean = BooleanValue(key, text);
    else if (key.text)
        settings.*key.text = TextValue(key, text, lead);
}

std::string RecordKeyText(const Settings& settings, const SettingsKey& key) {
    if (key.integer)
        return FormatIniInt(settings.*key.integer);
    if (key.boolean)
        return FormatIniBool(settings.*key.boolean);
    if (key.text)
        return settings.*key.text;
    return std::string();
}

}  // namespace velmo
