// Byte strings in JSON output. Comments, descriptions and file names are
// bytes that need not be UTF-8; JSON strings must be.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace tessane::cli {

// Sets object[key] to bytes. Bytes that are not valid UTF-8 are still given
// as text with the bad sequences replaced (U+FFFD when dumped with the replace
// handler), and losslessly as base64 in object[key + "Base64"].
void PutBytes(nlohmann::json& object, const std::string& key, const std::string& bytes);

// Sets object["comment"] to the comment decoded as show prints it (UTF-8, or
// Shift-JIS turned into UTF-8), object["commentEncoding"] to "UTF-8",
// "Shift_JIS" or "unknown", and, for anything but UTF-8, the exact bytes as
// base64 in object["commentBase64"].
void PutComment(nlohmann::json& object, const std::string& bytes);

// The dump every command prints: two-space indent, invalid UTF-8 replaced.
std::string DumpJson(const nlohmann::json& value);

} // namespace tessane::cli
