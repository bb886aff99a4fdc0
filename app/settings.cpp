#include "settings.h"

#include <climits>
#include <vector>

#include <tessane/platform.h>

namespace tessane {

namespace {

int DigitValue(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9')
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    return v < base ? v : -1;
}

// Digits of the given base up to the end; none, or a value beyond the range
// of an int, is no number.
std::optional<long long> ParseDigits(const std::string& text, size_t pos, int base) {
    if (pos >= text.size())
        return std::nullopt;
    long long value = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = DigitValue(text[pos], base);
        if (digit < 0)
            return std::nullopt;
        value = value * base + digit;
        if (value > static_cast<long long>(UINT_MAX))
            return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<long long> ParseSettingInt(const std::string& value) {
    if (value.size() > 1 && value[0] == '$')
        return ParseDigits(value, 1, 16);
    if (value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X'))
        return ParseDigits(value, 2, 16);
    if (!value.empty() && (value[0] == '-' || value[0] == '+')) {
        auto magnitude = ParseDigits(value, 1, 10);
        if (magnitude && value[0] == '-')
            return -*magnitude;
        return magnitude;
    }
    return ParseDigits(value, 0, 10);
}

int CSettingsFile::ReadInt(const SettingKey& setting) const {
    const std::optional<long long> number = ParseSettingInt(ReadString(setting));
    if (!number)
        return setting.defaultValue;
    // Only zero against non-zero matters for the on/off keys; keep the sign.
    if (*number > INT_MAX)
        return INT_MAX;
    if (*number < INT_MIN)
        return INT_MIN;
    return static_cast<int>(*number);
}

std::string CSettingsFile::ReadString(const SettingKey& setting) const {
    std::vector<char> buffer(1024);
    const DWORD n = GetPrivateProfileStringA(setting.section, setting.key, "", buffer.data(),
                                             static_cast<DWORD>(buffer.size()), path_.c_str());
    return std::string(buffer.data(), n < buffer.size() ? n : buffer.size() - 1);
}

void CSettingsFile::WriteInt(const SettingKey& setting, int value) const {
    WriteString(setting, std::to_string(value));
}

void CSettingsFile::WriteString(const SettingKey& setting, const std::string& value) const {
    WritePrivateProfileStringA(setting.section, setting.key, value.c_str(), path_.c_str());
}

} // namespace tessane
