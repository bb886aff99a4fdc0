// A comment plug-in for the host tests, compiled once per case with different
// definitions (tests/host/CMakeLists.txt lists the cases).
//
// Its "format": a file whose first bytes are FIX_MARKER. The comment is every
// byte after the marker; a file holding only the marker has no comment.
// WriteComment writes the marker followed by the new comment.
//
// When the environment names a log file in TSN_FIXTURE_LOG, every call is
// appended to it as one line, so a test can see which calls the host made, in
// which order and with which sizes.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cpi.h"
#include "plugin_info.h"
#include "text_block.h"

#ifndef FIX_VERSION
#define FIX_VERSION "CPI1"
#endif
#ifndef FIX_DESCRIPTION
#define FIX_DESCRIPTION "Fixture plug-in 1.0"
#endif
// Two patterns come as FIX_FILTER and FIX_FILTER2 (a ';' cannot pass through
// the build's list of definitions).
#ifndef FIX_FILTER
#define FIX_FILTER "*.aaa"
#define FIX_FILTER2 "*.alpha"
#endif
#ifdef FIX_FILTER2
#define FIX_FILTER_TEXT FIX_FILTER ";" FIX_FILTER2
#else
#define FIX_FILTER_TEXT FIX_FILTER
#endif
#ifndef FIX_TYPENAME
#define FIX_TYPENAME "Alpha Image"
#endif
#ifndef FIX_FLAGS
#define FIX_FLAGS 17
#endif
#ifndef FIX_MARKER
#define FIX_MARKER "AAA:"
#endif

namespace {

constexpr size_t kMarkerLength = sizeof(FIX_MARKER) - 1;

__attribute__((format(printf, 1, 2))) void logLine(const char* format, ...) {
    const char* path = std::getenv("TSN_FIXTURE_LOG");
    if (path == nullptr || *path == '\0')
        return;
    FILE* log = std::fopen(path, "a");
    if (log == nullptr)
        return;
    va_list args;
    va_start(args, format);
    std::vfprintf(log, format, args);
    va_end(args);
    std::fputc('\n', log);
    std::fclose(log);
}

bool hasMarker(const unsigned char* image, int32_t size) {
    return image != nullptr && size >= 0 && static_cast<size_t>(size) >= kMarkerLength &&
           std::memcmp(image, FIX_MARKER, kMarkerLength) == 0;
}

[[maybe_unused]] unsigned long long asNumber(HLOCAL handle) {
    return static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(handle));
}

__attribute__((constructor)) void onLoad() { logLine("load"); }
__attribute__((destructor)) void onUnload() { logLine("unload"); }

} // namespace

CPI_EXPORT int32_t CPI_CALL GetPluginInfo(uint32_t index, char* buffer, int32_t size) {
    logLine("GetPluginInfo %u", index);
    switch (index) {
    case CPI_INFO_VERSION:
        return CopyPluginInfo(FIX_VERSION, buffer, size);
    case CPI_INFO_DESCRIPTION:
        return CopyPluginInfo(FIX_DESCRIPTION, buffer, size);
    case CPI_INFO_FILTER:
        return CopyPluginInfo(FIX_FILTER_TEXT, buffer, size);
    case CPI_INFO_TYPENAME:
#ifdef FIX_NO_TYPENAME
        return 0;
#else
        return CopyPluginInfo(FIX_TYPENAME, buffer, size);
#endif
    default:
        return 0;
    }
}

#ifndef FIX_NO_ISSUPPORTED
CPI_EXPORT int32_t CPI_CALL IsSupported(const unsigned char* image, int32_t size) {
    logLine("IsSupported %d", size);
    return hasMarker(image, size) ? CPI_OK : -1;
}
#endif

#ifndef FIX_NO_GETCOMMENT
CPI_EXPORT int32_t CPI_CALL GetComment(HWND, const unsigned char* image, int32_t size, HLOCAL* comment,
                                       HLOCAL* info) {
    logLine("GetComment %d", size);
    if (!hasMarker(image, size))
        return CPI_ERR_FORMAT;
    char infoText[64];
    std::snprintf(infoText, sizeof infoText, "Fixture image\r\n%d bytes", size);
    if (MakeTextBlock(info, infoText, std::strlen(infoText)) != CPI_OK)
        return CPI_ERR_MEMORY;
#ifdef FIX_BAD_BLOCK
    // A handle that no LocalAlloc made: the host cannot lock it.
    static int notABlock;
    *comment = &notABlock;
#else
    size_t length = static_cast<size_t>(size) - kMarkerLength;
    if (length != 0 && MakeTextBlock(comment, reinterpret_cast<const char*>(image) + kMarkerLength, length) != CPI_OK) {
        LocalFree(*info);
        *info = nullptr;
        return CPI_ERR_MEMORY;
    }
#endif
    logLine("blocks %llx %llx", asNumber(*comment), asNumber(*info));
    return CPI_OK;
}
#endif

CPI_EXPORT int32_t CPI_CALL WriteComment(HWND, const char* fileName, unsigned char* image, int32_t size,
                                         const char* text, int32_t textLength) {
    bool terminated = textLength >= 0 && text[textLength] == '\0';
    logLine("WriteComment %d %d %s [%s]", size, textLength, terminated ? "terminated" : "unterminated", text);
#ifdef FIX_WRITE_RESULT
    (void)fileName;
    (void)image;
    return FIX_WRITE_RESULT;
#else
    if (!hasMarker(image, size) || !terminated)
        return CPI_ERR_WRITE;
    FILE* out = std::fopen(fileName, "wb");
    if (out == nullptr)
        return CPI_ERR_WRITE;
    bool written = std::fwrite(FIX_MARKER, 1, kMarkerLength, out) == kMarkerLength &&
                   std::fwrite(text, 1, static_cast<size_t>(textLength), out) == static_cast<size_t>(textLength);
    return std::fclose(out) == 0 && written ? CPI_OK : CPI_ERR_WRITE;
#endif
}

#ifndef FIX_NO_CONFIG
CPI_EXPORT int32_t CPI_CALL ConfigurationDlg(HWND owner, int32_t function) {
    logLine("ConfigurationDlg %s %d", owner != nullptr ? "owner" : "null", function);
    switch (function) {
    case CPI_CONFIG_FLAGS:
        return FIX_FLAGS;
    case CPI_CONFIG_ABOUT:
        return (FIX_FLAGS & CPI_FLAG_ABOUT) != 0 ? CPI_OK : CPI_ERR_PLUGIN;
    case CPI_CONFIG_SETTINGS:
        return (FIX_FLAGS & CPI_FLAG_SETTINGS) != 0 ? CPI_OK : CPI_ERR_PLUGIN;
    default:
        return CPI_ERR_PLUGIN;
    }
}
#endif
