// The defaults the command-line tool takes from the editor's settings file.
#pragma once

#include <optional>
#include <string>

namespace tessane::cli {

struct SaveDefaults {
    bool backup = true;     // Option/Backup
    bool byContent = false; // Option/NotExt
};

// A settings value read as an integer: decimal, or hexadecimal after "0x" or
// "$", with an optional sign and surrounding blanks. Anything else (an empty
// value, a word, trailing letters, a number out of range) gives no value.
std::optional<long long> ParseProfileInteger(const std::string& value);

// The directory of the running program, ending in "/".
std::string ProgramDirectory();

// Reads section Option of "tessane.ini" in the program's directory; a missing
// file or key, or a value that is not a number, gives the default.
SaveDefaults ReadSaveDefaults();

} // namespace tessane::cli
