#include "cli_settings.h"

#include <charconv>
#include <string_view>

#include "tessane/platform.h"

namespace tessane::cli {

namespace {

std::string_view Trim(std::string_view text) {
    const char* blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

bool ReadOnOff(const char* key, bool fallback, const std::string& iniPath) {
    char buffer[256] = {};
    GetPrivateProfileStringA("Option", key, "", buffer, sizeof buffer, iniPath.c_str());
    std::optional<long long> number = ParseProfileInteger(buffer);
    return number ? *number != 0 : fallback;
}

} // namespace

std::optional<long long> ParseProfileInteger(const std::string& value) {
    std::string_view text = Trim(value);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.starts_with('$')) {
        base = 16;
        text.remove_prefix(1);
    } else if (text.starts_with("0x") || text.starts_with("0X")) {
        base = 16;
        text.remove_prefix(2);
    }
    // from_chars would take a second sign; the digits must follow directly.
    if (text.empty() || text.front() == '-' || text.front() == '+')
        return std::nullopt;
    long long number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number, base);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return negative ? -number : number;
}

std::string ProgramDirectory() {
    char path[4096] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string program(path, length < sizeof path ? length : 0);
    size_t slash = program.rfind('/');
    return slash == std::string::npos ? "./" : program.substr(0, slash + 1);
}

SaveDefaults ReadSaveDefaults() {
    const std::string iniPath = ProgramDirectory() + "tessane.ini";
    SaveDefaults defaults;
    defaults.backup = ReadOnOff("Backup", true, iniPath);
    defaults.byContent = ReadOnOff("NotExt", false, iniPath);
    return defaults;
}

} // namespace tessane::cli
