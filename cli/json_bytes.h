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

// The dump every command prints: two-space indent, invalid UTF-8 replaced.
std::string DumpJson(const nlohmann::json& value);

} // namespace tessane::cli
