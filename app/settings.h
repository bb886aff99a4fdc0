// The editor's entries in the settings file "tessane.ini": one table of keys
// and defaults, and the integer rule every on/off value is read with.
#pragma once

#include <optional>
#include <string>

namespace tessane {

struct SettingKey {
    const char* section;
    const char* key;
    int defaultValue;
};

// The on/off and choice entries, read at start-up and written at close.
inline constexpr SettingKey kWrapSetting{"Edit", "Wrap", 0};
inline constexpr SettingKey kBackupSetting{"Option", "Backup", 1};
inline constexpr SettingKey kNotExtSetting{"Option", "NotExt", 0};
inline constexpr SettingKey kEncodingSetting{"Option", "Encoding", 0}; // 0 auto, 1 Shift-JIS, 2 UTF-8
// The author name: a text, empty by default.
inline constexpr SettingKey kAuthorNameSetting{"Author", "Name", 0};

// A settings value as an integer: decimal (with an optional sign), or
// hexadecimal after "0x" or "$". Anything else is no number.
std::optional<long long> ParseSettingInt(const std::string& value);

// Each call opens and closes the file; nothing is cached.
class CSettingsFile {
public:
    explicit CSettingsFile(std::string path) : path_(std::move(path)) {}
    const std::string& Path() const { return path_; }

    // The value of setting; its default when missing or not a number.
    int ReadInt(const SettingKey& setting) const;
    bool ReadBool(const SettingKey& setting) const { return ReadInt(setting) != 0; }
    std::string ReadString(const SettingKey& setting) const;
    // Failures are not reported: a setting that cannot be stored is not worth
    // stopping the program for.
    void WriteInt(const SettingKey& setting, int value) const;
    void WriteBool(const SettingKey& setting, bool on) const { WriteInt(setting, on ? 1 : 0); }
    void WriteString(const SettingKey& setting, const std::string& value) const;

private:
    std::string path_;
};

} // namespace tessane
