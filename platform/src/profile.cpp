// Private-profile settings. Placeholder until the real reader lands.
#include "tessane/platform.h"

#include <cstring>

extern "C" {
UINT GetPrivateProfileIntA(const char*, const char*, int32_t def, const char*) { return static_cast<UINT>(def); }
DWORD GetPrivateProfileStringA(const char*, const char*, const char* def, char* buffer, DWORD size, const char*) {
    if (!buffer || size == 0)
        return 0;
    buffer[0] = '\0';
    if (def)
        std::strncat(buffer, def, size - 1);
    return static_cast<DWORD>(std::strlen(buffer));
}
BOOL WritePrivateProfileStringA(const char*, const char*, const char*, const char*) { return FALSE; }
}
