#include "json_bytes.h"

#include <QByteArray>

namespace tessane::cli {

void PutBytes(nlohmann::json& object, const std::string& key, const std::string& bytes) {
    object[key] = bytes;
    const QByteArray raw = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (!raw.isValidUtf8())
        object[key + "Base64"] = raw.toBase64().toStdString();
}

std::string DumpJson(const nlohmann::json& value) {
    return value.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

} // namespace tessane::cli
