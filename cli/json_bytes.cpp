#include "json_bytes.h"

namespace tessane::cli {

namespace {

bool IsValidUtf8(const std::string& bytes) {
    // The library's strict dump is the UTF-8 check: it refuses any bad sequence.
    try {
        (void)nlohmann::json(bytes).dump();
        return true;
    } catch (const nlohmann::json::type_error&) {
        return false;
    }
}

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

std::string DumpJson(const nlohmann::json& value) {
    return value.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

} // namespace tessane::cli
