// Comment bytes as text for a terminal or a JSON reader. Files carry comments
// as bytes, often in Shift-JIS; printing those raw to a UTF-8 terminal shows
// garbage, so show and show --json decode them the way the editor does: valid
// UTF-8 as it is, anything else as Shift-JIS (code page 932). get always
// gives the bytes untouched.
#pragma once

#include <string>

namespace tessane::cli {

struct CommentText {
    std::string utf8;     // the text in UTF-8; the bytes themselves when they fit no encoding
    std::string encoding; // "UTF-8", "Shift_JIS", or "" when the bytes fit neither
};

CommentText CommentAsUtf8(const std::string& bytes);

bool IsValidUtf8(const std::string& bytes);

} // namespace tessane::cli
