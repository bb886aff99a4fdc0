// A comment plug-in for the GUI tests. Its "memo" files are the magic "TMEMO"
// followed by the comment bytes up to the end of the file, so a test can make
// and check documents with plain byte arrays.
//   GetComment: the bytes after the magic; -2 without the magic.
//   WriteComment: -3 for a comment starting with "REFUSE"; a comment starting
//   with "CUT" is written cut to those three bytes, like a format too small
//   for the text; anything else is written whole.
#include <cstring>

#include "cpi.h"
#include "file_writer.h"
#include "plugin_info.h"
#include "text_block.h"

namespace {

constexpr char kMagic[] = "TMEMO";
constexpr int32_t kMagicSize = 5;

bool HasMagic(const unsigned char* image, int32_t size) {
    return image && size >= kMagicSize && std::memcmp(image, kMagic, kMagicSize) == 0;
}

} // namespace

CPI_EXPORT int32_t CPI_CALL GetPluginInfo(uint32_t index, char* buffer, int32_t size) {
    static const char* const texts[] = {CPI_VERSION_TEXT, "Memo test plug-in 1.0", "*.tmo", "Memo Image"};
    if (index > CPI_INFO_TYPENAME)
        return 0;
    return CopyPluginInfo(texts[index], buffer, size);
}

CPI_EXPORT int32_t CPI_CALL IsSupported(const unsigned char* image, int32_t size) {
    return HasMagic(image, size) ? CPI_OK : CPI_ERR_FORMAT;
}

CPI_EXPORT int32_t CPI_CALL GetComment(HWND, const unsigned char* image, int32_t size, HLOCAL* comment,
                                       HLOCAL* info) {
    if (!HasMagic(image, size))
        return CPI_ERR_FORMAT;
    const char* text = reinterpret_cast<const char*>(image) + kMagicSize;
    static const char description[] = "Memo Image\r\nFile Size : test";
    if (MakeTextBlock(comment, text, static_cast<size_t>(size - kMagicSize)) != CPI_OK)
        return CPI_ERR_MEMORY;
    if (MakeTextBlock(info, description, sizeof description - 1) != CPI_OK) {
        LocalFree(*comment);
        return CPI_ERR_MEMORY;
    }
    return CPI_OK;
}

CPI_EXPORT int32_t CPI_CALL WriteComment(HWND, const char* fileName, unsigned char* image, int32_t size,
                                         const char* text, int32_t textLength) {
    if (!HasMagic(image, size) || (textLength >= 6 && std::memcmp(text, "REFUSE", 6) == 0))
        return CPI_ERR_WRITE;
    if (textLength >= 3 && std::memcmp(text, "CUT", 3) == 0)
        textLength = 3;
    CFileWriter writer;
    if (!writer.Create(fileName) || !writer.Write(kMagic, kMagicSize) ||
        !writer.Write(text, static_cast<size_t>(textLength)) || !writer.Close())
        return CPI_ERR_WRITE;
    return CPI_OK;
}

CPI_EXPORT int32_t CPI_CALL ConfigurationDlg(HWND, int32_t function) {
    return function == CPI_CONFIG_FLAGS ? CPI_FLAG_ABOUT : CPI_ERR_PLUGIN;
}
