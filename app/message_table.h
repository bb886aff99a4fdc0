// The numbered message table: every text the programs show in a message box,
// the file-dialog filters and the author-name dialog. Texts are looked up by
// id from a data file compiled in as a resource.
#pragma once

#include <QString>

namespace tessane {

// The text of message id, or an empty text when the table has no such id.
QString MessageText(int id);

// Message ids, named after what they say.
enum MessageId : int {
    MsgCaptionInformation = 5,
    MsgCaptionWarning = 6,
    MsgCaptionConfirm = 7,
    MsgLoadTextFileNamed = 10,
    MsgLoadTextFile = 11,
    MsgUnsavedComment = 20,
    MsgOpenFileNamed = 21,
    MsgOpenNewFile = 22,
    MsgCloseFile = 23,
    MsgQuit = 24,
    MsgFilterAllSupported = 30,
    MsgFilterAllFiles = 31,
    MsgFilterTextFiles = 32,
    MsgSaved = 35,
    MsgNoPlugin = 40,
    MsgCannotReadComment = 41,
    MsgSaveFailed = 42,
    MsgMemoryError = 43,
    MsgFileIoError = 44,
    MsgPluginLoadFailed = 45,
    MsgCancelled = 46,
    MsgNoPluginsFound = 50,
    MsgAuthorCaption = 51,
    MsgAuthorPrompt = 52,
};

// The message for a failed plug-in or host result code (-1 .. -7): 40 .. 46.
// 0 for CPI_OK or an unknown code.
int MessageForResult(int resultCode);

} // namespace tessane
