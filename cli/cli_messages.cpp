#include "cli_messages.h"

#include <cstddef>
#include <map>

#include <nlohmann/json.hpp>

extern const unsigned char kMessagesJson[];
extern const std::size_t kMessagesJsonSize;

namespace tessane::cli {

namespace {

std::map<int, std::string> LoadTable() {
    std::map<int, std::string> table;
    const nlohmann::json document =
        nlohmann::json::parse(kMessagesJson, kMessagesJson + kMessagesJsonSize, nullptr, false);
    if (!document.is_object() || !document.contains("messages") || !document["messages"].is_object())
        return table;
    for (const auto& [key, value] : document["messages"].items()) {
        if (!value.is_string())
            continue;
        try {
            table.emplace(std::stoi(key), value.get<std::string>());
        } catch (const std::exception&) {
            // A key that is no number names no message.
        }
    }
    return table;
}

} // namespace

std::string MessageText(int id) {
    static const std::map<int, std::string> table = LoadTable();
    auto found = table.find(id);
    return found != table.end() ? found->second : std::string();
}

int MessageForResult(int32_t resultCode) {
    return resultCode <= -1 && resultCode >= -7 ? 39 - resultCode : 0;
}

} // namespace tessane::cli
