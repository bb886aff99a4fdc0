// libFuzzer target for the jpeg plug-in: probe, read and write any bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "cpi.h"

namespace {

// One temporary output file for the whole process. Its name is unlinked at
// once and the file is reached through /proc/self/fd, so nothing is left
// behind however the fuzzer ends.
const std::string& OutputFile() {
    static const std::string path = [] {
        char name[] = "/tmp/tessane_fuzz_jpeg_XXXXXX";
        int fd = mkstemp(name);
        if (fd < 0)
            std::abort();
        unlink(name);
        return "/proc/self/fd/" + std::to_string(fd);
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0x7FFFFFFF)
        return 0;
    // An exact copy, so that a read past size is caught.
    std::vector<unsigned char> image(data, data + size);
    auto length = static_cast<int32_t>(size);
    IsSupported(image.data(), length < 2048 ? length : 2048);

    HLOCAL comment = nullptr;
    HLOCAL info = nullptr;
    if (GetComment(nullptr, image.data(), length, &comment, &info) == CPI_OK) {
        LocalFree(comment);
        LocalFree(info);
    }
    // The image's own last bytes as the new comment, zero bytes included.
    size_t textLength = size < 300 ? size : 300;
    std::string text(reinterpret_cast<const char*>(data) + size - textLength, textLength);
    WriteComment(nullptr, OutputFile().c_str(), image.data(), length, text.c_str(),
                 static_cast<int32_t>(textLength));
    return 0;
}
