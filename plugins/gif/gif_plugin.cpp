// The five exports of the gif comment plug-in.
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "cpi.h"
#include "gif_reader.h"
#include "gif_settings.h"
#include "gif_writer.h"
#include "option_dialog.h"
#include "plugin_info.h"
#include "text_block.h"

namespace {
constexpr const char* kDescription = "GIF89a Comment Plug-In ver.1.01 (C) Tessane project";
constexpr const char* kPluginInfo[] = {CPI_VERSION_TEXT, kDescription, "*.gif", "GIF Image"};

constexpr const char* kAboutNotice = "\n\n"
                                     "Comments are kept in GIF89a comment extensions.\n"
                                     "A GIF87a file has no place for them: it is saved as GIF89a\n"
                                     "when the settings allow its header to be rewritten.";

constexpr const char* kWarningCaption = "警告";
constexpr const char* kGif87aWarning = "GIF87aファイルには、コメントを保存出来ません。\n"
                                       "保存するには、設定でヘッダの書き換えを許可して下さい。";

constexpr int32_t kConfigFlags = CPI_FLAG_ABOUT | CPI_FLAG_SETTINGS;
constexpr int32_t kVersionByte = 4; // "GIF8?a"

std::string FormatInfo(const CGifReader& reader, int32_t walk, int32_t fileSize) {
    char text[160];
    std::snprintf(text, sizeof text, "%s Image\r\nPixel Size : %d x %d (%d color)\r\nFile Size  : %d byte",
                  walk == CGifReader::Gif87a ? "GIF87a" : "GIF89a", reader.Width(), reader.Height(),
                  reader.ColorCount(), fileSize);
    return text;
}

// A block holding the recorded comment, or CPI_ERR_MEMORY.
int32_t MakeCommentBlock(const CGifReader& reader, HLOCAL* block) {
    int32_t capacity = reader.CommentLength() + 1;
    auto* data = static_cast<char*>(AllocTextBlock(block, static_cast<size_t>(capacity)));
    if (data == nullptr)
        return CPI_ERR_MEMORY;
    reader.CopyComment(data, capacity);
    LocalUnlock(*block);
    return CPI_OK;
}

int32_t ReadComment(const unsigned char* image, int32_t size, HLOCAL* comment, HLOCAL* info) {
    CGifReader reader(image, size);
    int32_t walk = reader.Scan();
    if (walk == CGifReader::NotGif)
        return CPI_ERR_FORMAT;
    if (walk == CGifReader::NoMemory)
        return CPI_ERR_MEMORY;
    HLOCAL commentBlock = nullptr;
    if (reader.CommentLength() >= 0 && MakeCommentBlock(reader, &commentBlock) != CPI_OK)
        return CPI_ERR_MEMORY;
    std::string infoText = FormatInfo(reader, walk, size);
    HLOCAL infoBlock = nullptr;
    if (MakeTextBlock(&infoBlock, infoText.data(), infoText.size()) != CPI_OK) {
        if (commentBlock != nullptr)
            LocalFree(commentBlock); // the host takes no block from a failed call
        return CPI_ERR_MEMORY;
    }
    if (commentBlock != nullptr)
        *comment = commentBlock;
    *info = infoBlock;
    return CPI_OK;
}

// The text actually written: up to textLength bytes, and never past its NUL,
// whatever textLength claims.
size_t CommentTextLength(const char* text, int32_t textLength) {
    if (text == nullptr || textLength <= 0)
        return 0;
    return strnlen(text, static_cast<size_t>(textLength));
}

// A recorded comment extension is replaced in place; without one the new
// extension goes before the last byte (the trailer of a well-formed file).
// A GIF89a stream that lacks only its trailer ends with a complete block, whose
// last byte is a block terminator: the extension then goes after it, at the end,
// so that no image data is split.
TCommentSlot CommentSlot(const CGifReader& reader, int32_t walk, int32_t size) {
    if (reader.CommentLength() >= 0)
        return {reader.CommentPos(), reader.CommentPos() + reader.CommentBlockLength()};
    if (walk == CGifReader::ScanDamaged && reader.StopPos() == size)
        return {size, size};
    return {size - 1, size - 1};
}

int32_t WriteNewComment(HWND owner, const char* fileName, unsigned char* image, int32_t size,
                        const char* text, int32_t textLength) {
    CGifReader reader(image, size);
    int32_t walk = reader.Scan();
    if (walk == CGifReader::NotGif)
        return CPI_ERR_WRITE;
    if (walk == CGifReader::NoMemory)
        return CPI_ERR_MEMORY;
    if (walk == CGifReader::Gif87a) {
        if (!Load87aSetting()) {
            MessageBoxA(owner, kGif87aWarning, kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
            return CPI_ERR_CANCEL;
        }
        image[kVersionByte] = '9'; // everything written from the image begins "GIF89a"
    }
    std::vector<unsigned char> extension = MakeCommentExtension(text, CommentTextLength(text, textLength));
    return WriteGifFile(fileName, image, size, CommentSlot(reader, walk, size), extension);
}

int32_t ShowAbout(HWND owner) {
    std::string text = std::string(kDescription) + kAboutNotice;
    MessageBoxA(owner, text.c_str(), "About", MB_OK | MB_ICONINFORMATION);
    return CPI_OK;
}

int32_t ShowSettings(HWND owner) {
    DialogBoxIndirectParamA(nullptr, &kOptionDialog, owner, OptionDlgProc, 0);
    return CPI_OK; // whichever button closed it
}
} // namespace

CPI_EXPORT int32_t CPI_CALL GetPluginInfo(uint32_t index, char* buffer, int32_t size) {
    if (index >= sizeof kPluginInfo / sizeof kPluginInfo[0])
        return 0;
    return CopyPluginInfo(kPluginInfo[index], buffer, size);
}

CPI_EXPORT int32_t CPI_CALL IsSupported(const unsigned char* image, int32_t size) {
    CGifReader reader(image, size);
    return reader.CheckSignature() == CGifReader::NotGif ? -1 : 0;
}

CPI_EXPORT int32_t CPI_CALL GetComment(HWND /*owner*/, const unsigned char* image, int32_t size,
                                       HLOCAL* comment, HLOCAL* info) {
    if (comment == nullptr || info == nullptr)
        return CPI_ERR_MEMORY;
    try {
        return ReadComment(image, size, comment, info);
    } catch (...) {
        return CPI_ERR_MEMORY;
    }
}

CPI_EXPORT int32_t CPI_CALL WriteComment(HWND owner, const char* fileName, unsigned char* image, int32_t size,
                                         const char* text, int32_t textLength) {
    try {
        return WriteNewComment(owner, fileName, image, size, text, textLength);
    } catch (const std::bad_alloc&) {
        return CPI_ERR_MEMORY;
    } catch (...) {
        return CPI_ERR_WRITE;
    }
}

CPI_EXPORT int32_t CPI_CALL ConfigurationDlg(HWND owner, int32_t function) {
    try {
        switch (function) {
        case CPI_CONFIG_ABOUT:
            return ShowAbout(owner);
        case CPI_CONFIG_SETTINGS:
            return ShowSettings(owner);
        case CPI_CONFIG_FLAGS:
            return kConfigFlags;
        default:
            return CPI_ERR_PLUGIN;
        }
    } catch (...) {
        return CPI_ERR_PLUGIN;
    }
}
