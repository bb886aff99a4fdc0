#include "jpeg_module.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace jpegtest {

namespace {

Bytes BlockBytes(HLOCAL block, int32_t expectedLength) {
    const auto* data = static_cast<const unsigned char*>(LocalLock(block));
    if (data == nullptr)
        return {};
    size_t n = expectedLength >= 0 ? static_cast<size_t>(expectedLength)
                                   : std::strlen(reinterpret_cast<const char*>(data));
    EXPECT_EQ(data[n], 0) << "the block's text ends in a zero byte";
    return Bytes(data, data + n);
}

} // namespace

const JpegModule& Plugin() {
    static const JpegModule module("jpeg.cpi");
    EXPECT_NE(module.module, nullptr) << "bin/jpeg.cpi could not be loaded";
    EXPECT_TRUE(module.Complete());
    return module;
}

std::string TempDirectory() {
    // Never destroyed, so that the exit handler can still read it.
    static const std::string* dir = [] {
        auto path = std::filesystem::temp_directory_path() / ("tessane_jpeg_test_" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        auto* name = new std::string(path.string());
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(*dir, ignored);
        });
        return name;
    }();
    return *dir;
}

std::string TempFile(const std::string& name) {
    std::string path = TempDirectory() + "/" + name;
    std::filesystem::remove(path);
    return path;
}

bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

CommentResult GetCommentOf(const Bytes& image, int32_t expectedLength) {
    CommentResult r;
    HLOCAL comment = nullptr;
    HLOCAL info = nullptr;
    r.result = Plugin().GetComment(nullptr, image.data(), static_cast<int32_t>(image.size()), &comment, &info);
    if (r.result != CPI_OK)
        return r;
    if (comment != nullptr) {
        r.hasComment = true;
        r.comment = BlockBytes(comment, expectedLength);
        LocalFree(comment);
    }
    EXPECT_NE(info, nullptr);
    if (info != nullptr) {
        Bytes text = BlockBytes(info, -1);
        r.info.assign(text.begin(), text.end());
        LocalFree(info);
    }
    return r;
}

int32_t WriteCommentOf(const Bytes& image, const Bytes& text, Bytes* written) {
    std::string path = TempFile("out.jpg");
    Bytes copy = image;
    std::string zeroTerminated(text.begin(), text.end());
    int32_t result = Plugin().WriteComment(nullptr, path.c_str(), copy.data(), static_cast<int32_t>(copy.size()),
                                           zeroTerminated.c_str(), static_cast<int32_t>(text.size()));
    EXPECT_EQ(copy, image) << "the image is never changed";
    *written = FileExists(path) ? ReadFile(path) : Bytes{};
    return result;
}

} // namespace jpegtest
