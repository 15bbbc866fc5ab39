#include "core/Settings.h"

#include "core/IniValue.h"

namespace velmo {

std::string FieldDefaultText(const SettingsField& field) {
    switch (field.kind) {
        case FieldKind::Integer:
            return FormatIniInt(field.defaultValue);
        case FieldKind::Boolean:
            return FormatIniBool(field.defaultValue != 0);
        case FieldKind::EdgeLetter:
            return "t";
    }
    return std::string();
}

void ApplyFieldText(Settings& settings, const SettingsField& field, std::string_view text, const LeadBytes& lead) {
    switch (field.kind) {
        case FieldKind::Integer:
            settings.*field.integer = ParseIniInt(text, field.defaultValue);
            break;
        case FieldKind::Boolean:
            settings.*field.boolean = ParseIniBool(text, field.defaultValue != 0);
            break;
        case FieldKind::EdgeLetter: {
            // Only the first character counts ("bottom" is "b"); a double-byte character is kept whole so
            // that writing it back never leaves half a character in the file.
            size_t length = text.empty() ? 0 : (lead.IsLead(static_cast<uint8_t>(text[0])) && text.size() > 1 ? 2 : 1);
            settings.Position = std::string(text.substr(0, length));
            break;
        }
    }
}

std::string FieldText(const Settings& settings, const SettingsField& field) {
    switch (field.kind) {
        case FieldKind::Integer:
            return FormatIniInt(settings.*field.integer);
        case FieldKind::Boolean:
            return FormatIniBool(settings.*field.boolean);
        case FieldKind::EdgeLetter:
            return settings.Position;
    }
    return std::string();
}

}  // namespace velmo
