#include "gif_writer.h"

#include <algorithm>

#include "cpi.h"
#include "file_writer.h"

namespace {
constexpr size_t kPieceSize = 254; // bytes of text per data sub-block
constexpr unsigned char kCommentHeader[] = {0x21, 0xFE};
constexpr unsigned char kBlockTerminator = 0x00;
} // namespace

std::vector<unsigned char> MakeCommentExtension(const char* text, size_t length) {
    std::vector<unsigned char> extension;
    if (length == 0)
        return extension;
    size_t pieces = (length + kPieceSize - 1) / kPieceSize;
    extension.reserve(sizeof kCommentHeader + length + pieces + 1);
    for (unsigned char byte : kCommentHeader)
        extension.push_back(byte);
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    for (size_t written = 0; written < length;) {
        size_t n = std::min(kPieceSize, length - written);
        extension.push_back(static_cast<unsigned char>(n));
        extension.insert(extension.end(), bytes + written, bytes + written + n);
        written += n;
    }
    extension.push_back(kBlockTerminator);
    return extension;
}

int32_t WriteGifFile(const char* fileName, const unsigned char* image, int32_t size, TCommentSlot slot,
                     const std::vector<unsigned char>& extension) {
    CFileWriter file;
    if (!file.Create(fileName))
        return CPI_ERR_WRITE;
    bool written = file.Write(image, static_cast<size_t>(slot.replaceBegin)) &&
                   file.Write(extension.data(), extension.size()) &&
                   file.Write(image + slot.replaceEnd, static_cast<size_t>(size - slot.replaceEnd));
    bool closed = file.Close();
    return written && closed ? CPI_OK : CPI_ERR_WRITE;
}
