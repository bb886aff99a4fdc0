// A comment plug-in for the save-pipeline tests, format "FXT1": the four
// signature bytes followed by the comment. Its WriteComment obeys the comment
// it is given, so a test can make a save fail the way a real plug-in would:
//   "refuse"  writes part of the file, then returns CPI_ERR_WRITE;
//   "cancel"  shows a message box and returns CPI_ERR_CANCEL, writing nothing.
#include <cstring>

#include "cpi.h"
#include "file_writer.h"
#include "plugin_info.h"
#include "text_block.h"

namespace {

constexpr char kSignature[] = "FXT1";
constexpr int32_t kSignatureSize = 4;

bool HasSignature(const unsigned char* image, int32_t size) {
    return image != nullptr && size >= kSignatureSize && std::memcmp(image, kSignature, kSignatureSize) == 0;
}

int32_t WriteFile(const char* fileName, const char* head, size_t headSize, const char* text,
                  size_t textSize) {
    CFileWriter writer;
    if (!writer.Create(fileName) || !writer.Write(head, headSize) || !writer.Write(text, textSize))
        return CPI_ERR_WRITE;
    return writer.Close() ? CPI_OK : CPI_ERR_WRITE;
}

} // namespace

CPI_EXPORT int32_t CPI_CALL GetPluginInfo(uint32_t index, char* buffer, int32_t size) {
    static const char* const texts[] = {CPI_VERSION_TEXT, "Fixture Comment Plug-In", "*.fxt",
                                        "Fixture Image"};
    return index < 4 ? CopyPluginInfo(texts[index], buffer, size) : 0;
}

CPI_EXPORT int32_t CPI_CALL IsSupported(const unsigned char* image, int32_t size) {
    return HasSignature(image, size) ? 0 : -1;
}

CPI_EXPORT int32_t CPI_CALL GetComment(HWND, const unsigned char* image, int32_t size, HLOCAL* comment,
                                       HLOCAL* info) {
    if (!HasSignature(image, size))
        return CPI_ERR_FORMAT;
    const char* text = reinterpret_cast<const char*>(image) + kSignatureSize;
    if (MakeTextBlock(comment, text, static_cast<size_t>(size - kSignatureSize)) != CPI_OK)
        return CPI_ERR_MEMORY;
    static const char kInfo[] = "Fixture Image";
    if (MakeTextBlock(info, kInfo, sizeof kInfo - 1) != CPI_OK) {
        LocalFree(*comment);
        *comment = nullptr;
        return CPI_ERR_MEMORY;
    }
    return CPI_OK;
}

CPI_EXPORT int32_t CPI_CALL WriteComment(HWND owner, const char* fileName, unsigned char* image, int32_t size,
                                         const char* text, int32_t textLength) {
    if (!HasSignature(image, size) || text == nullptr || textLength < 0)
        return CPI_ERR_WRITE;
    if (std::strcmp(text, "cancel") == 0) {
        MessageBoxA(owner, "The fixture declines to write.", "Fixture", MB_OK | MB_ICONEXCLAMATION);
        return CPI_ERR_CANCEL;
    }
    if (std::strcmp(text, "refuse") == 0) {
        WriteFile(fileName, kSignature, kSignatureSize, "", 0);
        return CPI_ERR_WRITE;
    }
    return WriteFile(fileName, kSignature, kSignatureSize, text, static_cast<size_t>(textLength));
}

CPI_EXPORT int32_t CPI_CALL ConfigurationDlg(HWND, int32_t function) {
    return function == CPI_CONFIG_FLAGS ? CPI_FLAG_ABOUT : CPI_ERR_PLUGIN;
}
