// Feeds arbitrary bytes to the gif plug-in's IsSupported, GetComment and
// WriteComment. With no settings file beside the fuzzer the GIF87a rewrite is
// allowed (the key's default), so no warning box is shown.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unistd.h>

#include "cpi.h"

namespace {
// One temporary output file per process, removed at exit; in memory when
// /dev/shm is there, since truncating a file on disk costs milliseconds.
char outputFile[64];

const char* OutputFile() {
    static const bool made = [] {
        const char* directory = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::snprintf(outputFile, sizeof outputFile, "%s/fuzz_gif_XXXXXX", directory);
        int fd = mkstemp(outputFile);
        if (fd >= 0)
            close(fd);
        std::atexit([] { unlink(outputFile); });
        return true;
    }();
    (void)made;
    return outputFile;
}

void FreeBlock(HLOCAL block) {
    if (block != nullptr)
        LocalFree(block);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 20)
        return 0;
    // Exactly size bytes, writable (a GIF87a header is rewritten in place).
    std::unique_ptr<unsigned char[]> image(new unsigned char[size]);
    std::copy(data, data + size, image.get());
    auto length = static_cast<int32_t>(size);

    IsSupported(image.get(), length);
    HLOCAL comment = nullptr;
    HLOCAL info = nullptr;
    if (GetComment(nullptr, image.get(), length, &comment, &info) == CPI_OK) {
        FreeBlock(comment);
        FreeBlock(info);
    }
    const char text[] = "fuzz \x82\xA0 comment";
    WriteComment(nullptr, OutputFile(), image.get(), length, text, static_cast<int32_t>(sizeof text - 1));
    return 0;
}
