// A tiny library for the module tests: one export of its own, and a text
// block made here to be locked and freed by the test program.
#include "tessane/platform.h"

#include <cstring>

extern "C" TSN_PLATFORM_API int32_t TsnFixtureAnswer(void) { return 42; }

extern "C" TSN_PLATFORM_API HLOCAL TsnFixtureMakeBlock(void) {
    static const char text[] = "made in the fixture";
    HLOCAL block = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, sizeof text);
    if (void* data = LocalLock(block)) {
        std::memcpy(data, text, sizeof text);
        LocalUnlock(block);
    }
    return block;
}
