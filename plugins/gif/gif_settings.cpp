#include "gif_settings.h"

#include "tessane/platform.h"

namespace {
constexpr const char* kSection = "gif.cpi";
constexpr const char* kKey = "87a";
constexpr const char* kSettingsFileName = "tessane.ini";
constexpr DWORD kPathCapacity = 4096; // a cut path would name the wrong file
} // namespace

std::string SettingsFilePath() {
    char path[kPathCapacity];
    DWORD length = GetModuleFileNameA(nullptr, path, kPathCapacity);
    if (length == 0 || length >= kPathCapacity)
        return {};
    std::string directory(path, length);
    size_t slash = directory.find_last_of('/');
    directory.erase(slash == std::string::npos ? 0 : slash + 1);
    return directory + kSettingsFileName;
}

bool Load87aSetting() {
    std::string path = SettingsFilePath();
    if (path.empty())
        return true; // as with a missing key
    return GetPrivateProfileIntA(kSection, kKey, 1, path.c_str()) == 1;
}

bool Save87aSetting(bool allowRewrite) {
    std::string path = SettingsFilePath();
    if (path.empty())
        return false;
    return WritePrivateProfileStringA(kSection, kKey, allowRewrite ? "1" : "0", path.c_str()) != FALSE;
}
