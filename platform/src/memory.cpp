// Local memory blocks. A handle is the address of a small header that the
// library keeps in a registry, so that a stale or foreign handle is refused
// instead of being dereferenced.
#include "tessane/platform.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_set>

namespace {

struct Block {
    void* data;
    size_t size;
    unsigned locks;
};

std::mutex& registryMutex() {
    static std::mutex m;
    return m;
}

std::unordered_set<Block*>& registry() {
    static std::unordered_set<Block*> blocks;
    return blocks;
}

Block* liveBlock(HLOCAL handle) {
    auto* block = static_cast<Block*>(handle);
    return registry().count(block) != 0 ? block : nullptr;
}

} // namespace

extern "C" {

HLOCAL LocalAlloc(UINT flags, size_t bytes) {
    // malloc(0) may give null; a block of no bytes still needs an address.
    void* data = (flags & LMEM_ZEROINIT) ? std::calloc(bytes ? bytes : 1, 1) : std::malloc(bytes ? bytes : 1);
    if (data == nullptr)
        return nullptr;
    auto* block = new (std::nothrow) Block{data, bytes, 0};
    if (block == nullptr) {
        std::free(data);
        return nullptr;
    }
    try {
        std::lock_guard lock(registryMutex());
        registry().insert(block);
    } catch (...) {
        std::free(data);
        delete block;
        return nullptr;
    }
    return block;
}

void* LocalLock(HLOCAL handle) {
    std::lock_guard lock(registryMutex());
    Block* block = liveBlock(handle);
    if (block == nullptr)
        return nullptr;
    ++block->locks;
    return block->data;
}

BOOL LocalUnlock(HLOCAL handle) {
    std::lock_guard lock(registryMutex());
    Block* block = liveBlock(handle);
    if (block == nullptr || block->locks == 0)
        return FALSE;
    --block->locks;
    return block->locks != 0 ? TRUE : FALSE;
}

HLOCAL LocalFree(HLOCAL handle) {
    if (handle == nullptr)
        return nullptr;
    Block* block = nullptr;
    {
        std::lock_guard lock(registryMutex());
        block = liveBlock(handle);
        if (block == nullptr)
            return handle;
        registry().erase(block);
    }
    std::free(block->data);
    delete block;
    return nullptr;
}

} // extern "C"
