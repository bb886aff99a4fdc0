#include "text_block.h"

#include <cstring>

void* AllocTextBlock(HLOCAL* handle, size_t bytes) {
    *handle = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, bytes);
    if (*handle == nullptr)
        return nullptr;
    void* data = LocalLock(*handle);
    if (data == nullptr) {
        LocalFree(*handle);
        *handle = nullptr;
    }
    return data;
}

int32_t MakeTextBlock(HLOCAL* handle, const char* text, size_t length) {
    auto* data = static_cast<char*>(AllocTextBlock(handle, length + 1));
    if (data == nullptr)
        return CPI_ERR_MEMORY;
    if (length != 0)
        std::memcpy(data, text, length);
    data[length] = '\0';
    LocalUnlock(*handle);
    return CPI_OK;
}
