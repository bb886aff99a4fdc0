#include "json_bytes.h"

#include "comment_text.h"

namespace tessane::cli {

namespace {

std::string Base64(const std::string& bytes) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const unsigned n = static_cast<unsigned char>(bytes[i]) << 16 |
                           static_cast<unsigned char>(bytes[i + 1]) << 8 |
                           static_cast<unsigned char>(bytes[i + 2]);
        out += {alphabet[n >> 18], alphabet[(n >> 12) & 63], alphabet[(n >> 6) & 63], alphabet[n & 63]};
    }
    if (const size_t rest = bytes.size() - i; rest != 0) {
        unsigned n = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2)
            n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += {alphabet[n >> 18], alphabet[(n >> 12) & 63], rest == 2 ? alphabet[(n >> 6) & 63] : '=', '='};
    }
    return out;
}

} // namespace

void PutBytes(nlohmann::json& object, const std::string& key, const std::string& bytes) {
    object[key] = bytes;
    if (!IsValidUtf8(bytes))
        object[key + "Base64"] = Base64(bytes);
}

void PutComment(nlohmann::json& object, const std::string& bytes) {
    const CommentText text = CommentAsUtf8(bytes);
    object["comment"] = text.utf8;
    object["commentEncoding"] = text.encoding.empty() ? "unknown" : text.encoding;
    if (text.encoding != "UTF-8")
        object["commentBase64"] = Base64(bytes);
}

std::string DumpJson(const nlohmann::json& value) {
    return value.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

} // namespace tessane::cli
