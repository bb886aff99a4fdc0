// Writing a GIF file with a new comment extension.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The comment extension for text: 0x21 0xFE, sub-blocks of up to 254 bytes,
// terminator 0x00. Empty when length is 0 (no extension at all). Throws
// std::bad_alloc when memory runs out.
std::vector<unsigned char> MakeCommentExtension(const char* text, size_t length);

// The part of the image the new comment extension replaces: bytes
// [replaceBegin, replaceEnd) give way to it, everything else is copied.
struct TCommentSlot {
    int32_t replaceBegin;
    int32_t replaceEnd;
};

// Creates fileName and writes image[0, replaceBegin), the extension, then
// image[replaceEnd, size). Returns CPI_OK or CPI_ERR_WRITE (file closed).
int32_t WriteGifFile(const char* fileName, const unsigned char* image, int32_t size, TCommentSlot slot,
                     const std::vector<unsigned char>& extension);
