// The message table for the command-line tool: the editor's data file
// app/resources/messages.json, compiled in and read without Qt.
#pragma once

#include <cstdint>
#include <string>

namespace tessane::cli {

// The UTF-8 text of message id, or an empty text when the table has no such id.
std::string MessageText(int id);

// The message for a failed plug-in or host result code (-1 .. -7): 40 .. 46;
// 0 for CPI_OK or an unknown code.
int MessageForResult(int32_t resultCode);

// Message ids the tool shows.
enum CliMessageId : int {
    MsgNoPlugin = 40,
    MsgSaveFailed = 42,
    MsgNoPluginsFound = 50,
};

} // namespace tessane::cli
