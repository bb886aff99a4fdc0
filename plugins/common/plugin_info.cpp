#include "plugin_info.h"

#include <cstring>

int32_t CopyPluginInfo(const char* text, char* buffer, int32_t size) {
    if (buffer == nullptr || size < 0)
        return 0;
    size_t length = std::strlen(text);
    size_t room = size >= 2 ? static_cast<size_t>(size) - 2 : 0;
    size_t n = length < room ? length : room;
    if (size >= 1) { // a copy limited to size - 1 bytes with its terminator
        std::memcpy(buffer, text, n);
        buffer[n] = '\0';
    }
    buffer[size] = '\0';
    return static_cast<int32_t>(size >= 1 ? n : 0);
}
