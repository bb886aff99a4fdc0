#include "comment_text.h"

#include <cerrno>
#include <iconv.h>

namespace tessane::cli {

namespace {

// Converts all of bytes from Windows code page 932; false when any byte
// sequence is not valid in it.
bool ShiftJisToUtf8(const std::string& bytes, std::string& out) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string input = bytes;
    char* in = input.data();
    size_t inLeft = input.size();
    std::string result;
    char buffer[1024];
    bool ok = true;
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        result.append(buffer, static_cast<size_t>(outPtr - buffer));
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            ok = false;
            break;
        }
    }
    iconv_close(cd);
    if (ok)
        out = std::move(result);
    return ok;
}

} // namespace

bool IsValidUtf8(const std::string& bytes) {
    size_t i = 0;
    const size_t n = bytes.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        size_t extra = 0;
        unsigned min = 0;
        unsigned code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1, min = 0x80, code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2, min = 0x800, code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3, min = 0x10000, code = c & 0x07;
        } else {
            return false;
        }
        if (extra > n - i - 1)
            return false;
        for (size_t k = 1; k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(bytes[i + k]);
            if ((cc & 0xC0) != 0x80)
                return false;
            code = code << 6 | (cc & 0x3F);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

CommentText CommentAsUtf8(const std::string& bytes) {
    if (IsValidUtf8(bytes))
        return {bytes, "UTF-8"};
    std::string text;
    if (ShiftJisToUtf8(bytes, text))
        return {text, "Shift_JIS"};
    return {bytes, ""};
}

} // namespace tessane::cli
