// bin/gif.cpi loaded and bound the way the host does it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <unistd.h>

#include "cpi.h"
#include "gif_fixtures.h"
#include "loaded_plugin.h"

namespace giftest {

using tsntest::ProgramDirectory;

// bin/gif.cpi, loaded and bound like the host does it.
struct GifModule : tsntest::LoadedPlugin {
    GifModule() : LoadedPlugin("gif.cpi") {}
};

// What GetComment handed back, taken like the host takes it.
struct ReadResult {
    int32_t result;
    bool hasComment;
    std::string comment;
    std::string info;
};

inline std::string TakeBlock(HLOCAL block) {
    const char* text = static_cast<const char*>(LocalLock(block));
    std::string copy = text != nullptr ? std::string(text) : std::string();
    LocalFree(block);
    return copy;
}

// The image is passed in a heap block of exactly its size (like the host's
// buffer without its spare byte), so ASan sees a read past the end.
inline ReadResult ReadWith(const GifModule& gif, const Bytes& image) {
    std::unique_ptr<unsigned char[]> copy(new unsigned char[image.size()]);
    std::copy(image.begin(), image.end(), copy.get());
    HLOCAL comment = nullptr;
    HLOCAL info = nullptr;
    ReadResult read{gif.GetComment(nullptr, copy.get(), static_cast<int32_t>(image.size()), &comment, &info),
                    false,
                    {},
                    {}};
    if (read.result == CPI_OK) {
        read.hasComment = comment != nullptr;
        if (comment != nullptr)
            read.comment = TakeBlock(comment);
        if (info != nullptr)
            read.info = TakeBlock(info);
    }
    return read;
}

inline Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool FileExists(const std::string& path) {
    return std::ifstream(path).good();
}

// A temporary output file, removed when done.
class TempFile {
public:
    TempFile() {
        char pattern[] = "/tmp/tsn_gif_XXXXXX";
        int fd = mkstemp(pattern);
        if (fd >= 0)
            close(fd);
        path_ = pattern;
        std::remove(path_.c_str());
    }
    ~TempFile() { std::remove(path_.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Calls WriteComment with a copy of image of exactly its size; the text is
// passed with a terminator after textLength bytes unless told otherwise.
inline int32_t WriteWith(const GifModule& gif, const std::string& fileName, const Bytes& image,
                         const std::string& text, HWND owner = nullptr) {
    std::unique_ptr<unsigned char[]> copy(new unsigned char[image.size()]);
    std::copy(image.begin(), image.end(), copy.get());
    return gif.WriteComment(owner, fileName.c_str(), copy.get(), static_cast<int32_t>(image.size()),
                            text.c_str(), static_cast<int32_t>(text.size()));
}

} // namespace giftest
