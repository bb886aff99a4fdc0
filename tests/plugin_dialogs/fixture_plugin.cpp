// A fixture comment plug-in with an about box and a settings dialog that are
// plain message boxes naming the plug-in and the function ("a 0", "b 1"), so a
// test sees which plug-in was called, with what, and owned by which window.
#include <cstring>
#include <string>

#include "cpi.h"

namespace {
const char* InfoText(uint32_t index) {
    switch (index) {
    case CPI_INFO_VERSION: return CPI_VERSION_TEXT;
    case CPI_INFO_DESCRIPTION: return "Fixture Plug-In"; // the same for every fixture
    case CPI_INFO_FILTER: return "*.fixture";
    case CPI_INFO_TYPENAME: return "Fixture";
    default: return nullptr;
    }
}
} // namespace

CPI_EXPORT int32_t CPI_CALL GetPluginInfo(uint32_t index, char* buffer, int32_t size) {
    const char* text = InfoText(index);
    if (!text || !buffer || size < 2)
        return 0;
    std::strncpy(buffer, text, static_cast<size_t>(size) - 2);
    buffer[size - 2] = '\0';
    buffer[size] = '\0';
    return static_cast<int32_t>(std::strlen(buffer));
}

CPI_EXPORT int32_t CPI_CALL IsSupported(const unsigned char*, int32_t) { return -1; }

CPI_EXPORT int32_t CPI_CALL GetComment(HWND, const unsigned char*, int32_t, HLOCAL*, HLOCAL*) {
    return CPI_ERR_FORMAT;
}

CPI_EXPORT int32_t CPI_CALL WriteComment(HWND, const char*, unsigned char*, int32_t, const char*, int32_t) {
    return CPI_ERR_WRITE;
}

CPI_EXPORT int32_t CPI_CALL ConfigurationDlg(HWND owner, int32_t function) {
    if (function == CPI_CONFIG_FLAGS)
        return CPI_FLAG_ABOUT | CPI_FLAG_SETTINGS;
    if (function != CPI_CONFIG_ABOUT && function != CPI_CONFIG_SETTINGS)
        return CPI_ERR_PLUGIN;
    const std::string text = std::string(FIXTURE_NAME) + " " + std::to_string(function);
    MessageBoxA(owner, text.c_str(), "Fixture", MB_OK);
    return FIXTURE_RESULT;
}
