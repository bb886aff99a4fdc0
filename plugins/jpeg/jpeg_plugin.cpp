// The five exports of the jpeg comment plug-in.
#include <cstdio>
#include <cstring>

#include "cpi.h"
#include "file_writer.h"
#include "jpeg_info.h"
#include "jpeg_reader.h"
#include "plugin_info.h"
#include "text_block.h"

namespace {

constexpr int32_t kMaxSegmentLength = 65535;
// A new comment never goes in front of this offset: SOI, then at least the
// first segment's marker and length field.
constexpr int32_t kMinimumCommentPos = 6;

const char* InfoText(uint32_t index) {
    switch (index) {
    case CPI_INFO_VERSION:
        return CPI_VERSION_TEXT;
    case CPI_INFO_DESCRIPTION:
        return kJpegDescription;
    case CPI_INFO_FILTER:
        return "*.jpg;*.jpeg";
    case CPI_INFO_TYPENAME:
        return "JPEG Image";
    default:
        return nullptr;
    }
}

// Hands the recorded comment to the host through handle (untouched when the
// image has none). Returns CPI_OK or CPI_ERR_MEMORY.
int32_t MakeCommentBlock(const CJpegReader& reader, HLOCAL* handle) {
    if (reader.CommentLength() < 0)
        return CPI_OK;
    int32_t capacity = reader.CommentLength() + 1;
    auto* block = static_cast<char*>(AllocTextBlock(handle, static_cast<size_t>(capacity)));
    if (block == nullptr)
        return CPI_ERR_MEMORY;
    reader.CopyComment(block, capacity);
    LocalUnlock(*handle);
    return CPI_OK;
}

int32_t MakeInfoBlock(const CJpegReader& reader, int32_t family, int32_t size, HLOCAL* handle) {
    char text[128];
    int n = std::snprintf(text, sizeof text, "%s(%s) Image\r\nPixel Size : %d x %d\r\nFile Size  : %d byte",
                          reader.Progressive() ? "Progressive JPEG" : "JPEG",
                          family == CJpegReader::kExif ? "Exif" : "JFIF", reader.Width(), reader.Height(), size);
    if (n < 0)
        return CPI_ERR_MEMORY;
    size_t length = static_cast<size_t>(n) < sizeof text ? static_cast<size_t>(n) : sizeof text - 1;
    return MakeTextBlock(handle, text, length);
}

// Writes image with bytes [pos, pos + removed) replaced by a COM segment
// holding text (nothing when textLength is 0) to fileName.
int32_t WriteImageWithComment(const char* fileName, const unsigned char* image, int32_t size, int32_t pos,
                              int32_t removed, const char* text, int32_t textLength) {
    CFileWriter file;
    if (!file.Create(fileName))
        return CPI_ERR_WRITE;
    bool ok = file.Write(image, static_cast<size_t>(pos));
    if (ok && textLength > 0) {
        int32_t segment = textLength + 2;
        const unsigned char header[4] = {0xFF, 0xFE, static_cast<unsigned char>(segment >> 8),
                                         static_cast<unsigned char>(segment & 0xFF)};
        ok = file.Write(header, sizeof header) && file.Write(text, static_cast<size_t>(textLength));
    }
    int32_t tail = pos + removed;
    ok = ok && file.Write(image + tail, static_cast<size_t>(size - tail));
    ok = file.Close() && ok;
    return ok ? CPI_OK : CPI_ERR_WRITE;
}

} // namespace

CPI_EXPORT int32_t CPI_CALL GetPluginInfo(uint32_t index, char* buffer, int32_t size) {
    const char* text = InfoText(index);
    if (text == nullptr)
        return 0;
    return CopyPluginInfo(text, buffer, size);
}

CPI_EXPORT int32_t CPI_CALL IsSupported(const unsigned char* image, int32_t size) {
    CJpegReader reader(image, size);
    return reader.CheckSignature() == CJpegReader::kNotHandled ? -1 : 0;
}

CPI_EXPORT int32_t CPI_CALL GetComment(HWND, const unsigned char* image, int32_t size, HLOCAL* comment,
                                       HLOCAL* info) {
    if (comment == nullptr || info == nullptr)
        return CPI_ERR_MEMORY;
    CJpegReader reader(image, size);
    int32_t family = reader.Scan();
    if (family == CJpegReader::kNoMemory)
        return CPI_ERR_MEMORY;
    if (family == CJpegReader::kNotHandled)
        return CPI_ERR_FORMAT;
    if (MakeCommentBlock(reader, comment) != CPI_OK)
        return CPI_ERR_MEMORY;
    if (MakeInfoBlock(reader, family, size, info) != CPI_OK) {
        if (*comment != nullptr) { // the host takes no block from a failed call
            LocalFree(*comment);
            *comment = nullptr;
        }
        return CPI_ERR_MEMORY;
    }
    return CPI_OK;
}

CPI_EXPORT int32_t CPI_CALL WriteComment(HWND, const char* fileName, unsigned char* image, int32_t size,
                                         const char* text, int32_t textLength) {
    if (textLength < 0 || (text == nullptr && textLength > 0))
        return CPI_ERR_WRITE;
    // One COM segment holds at most 65533 text bytes; a longer text is cut.
    if (textLength > kMaxSegmentLength - 2)
        textLength = kMaxSegmentLength - 2;
    CJpegReader reader(image, size);
    int32_t family = reader.Scan();
    if (family == CJpegReader::kNoMemory)
        return CPI_ERR_MEMORY;
    if (family == CJpegReader::kNotHandled)
        return CPI_ERR_WRITE;
    int32_t pos = reader.CommentPos();
    int32_t removed = reader.CommentBlockLength();
    // A first segment that runs past the end of the image (or is shorter than
    // its own length field) leaves no sound place for the comment: refuse
    // rather than copy bytes that are not there.
    if (pos < kMinimumCommentPos || pos > size - removed)
        return CPI_ERR_WRITE;
    return WriteImageWithComment(fileName, image, size, pos, removed, text, textLength);
}

CPI_EXPORT int32_t CPI_CALL ConfigurationDlg(HWND owner, int32_t function) {
    switch (function) {
    case CPI_CONFIG_ABOUT:
        MessageBoxA(owner, kJpegDescription, "About", MB_OK | MB_ICONINFORMATION);
        return CPI_OK;
    case CPI_CONFIG_FLAGS:
        return CPI_FLAG_ABOUT;
    default:
        return CPI_ERR_PLUGIN;
    }
}
