// Local memory blocks. A handle is a number the library hands out once and
// never again, kept in a registry with its block: a stale, foreign or forged
// handle is refused instead of being dereferenced, even when the allocator has
// reused the freed block's address meanwhile.
#include "tessane/platform.h"

#include <cstdlib>
#include <mutex>
#include <unordered_map>

namespace {

struct Block {
    void* data;
    size_t size;
    unsigned locks;
};

struct Registry {
    std::mutex mutex;
    std::unordered_map<uintptr_t, Block> blocks;
    // Handles step by 16 so they never look like small integers or null.
    uintptr_t nextHandle = 0x10000;
};

Registry& registry() {
    static Registry r;
    return r;
}

uintptr_t handleNumber(HLOCAL handle) { return reinterpret_cast<uintptr_t>(handle); }

Block* liveBlock(Registry& r, HLOCAL handle) {
    auto found = r.blocks.find(handleNumber(handle));
    return found != r.blocks.end() ? &found->second : nullptr;
}

} // namespace

extern "C" {

HLOCAL LocalAlloc(UINT flags, size_t bytes) {
    // Sizes cross the plug-in interface as int32_t; anything larger is a
    // corrupt length, refused before it reaches the allocator.
    if (bytes > static_cast<size_t>(INT32_MAX))
        return nullptr;
    // malloc(0) may give null; a block of no bytes still needs an address.
    void* data = (flags & LMEM_ZEROINIT) ? std::calloc(bytes ? bytes : 1, 1) : std::malloc(bytes ? bytes : 1);
    if (data == nullptr)
        return nullptr;
    Registry& r = registry();
    try {
        std::lock_guard lock(r.mutex);
        uintptr_t handle = r.nextHandle;
        r.blocks.emplace(handle, Block{data, bytes, 0});
        r.nextHandle += 16;
        return reinterpret_cast<HLOCAL>(handle);
    } catch (...) {
        std::free(data);
        return nullptr;
    }
}

void* LocalLock(HLOCAL handle) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    Block* block = liveBlock(r, handle);
    if (block == nullptr)
        return nullptr;
    ++block->locks;
    return block->data;
}

BOOL LocalUnlock(HLOCAL handle) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    Block* block = liveBlock(r, handle);
    if (block == nullptr || block->locks == 0)
        return FALSE;
    --block->locks;
    return block->locks != 0 ? TRUE : FALSE;
}

HLOCAL LocalFree(HLOCAL handle) {
    if (handle == nullptr)
        return nullptr;
    void* data = nullptr;
    {
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        Block* block = liveBlock(r, handle);
        if (block == nullptr)
            return handle;
        data = block->data;
        r.blocks.erase(handleNumber(handle));
    }
    std::free(data);
    return nullptr;
}

} // extern "C"
