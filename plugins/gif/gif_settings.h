// The plug-in's one setting: may a GIF87a header be rewritten as GIF89a?
// Key "87a" of section "gif.cpi" in the host's "tessane.ini".
#pragma once

#include <string>

// "tessane.ini" in the directory of the running program (the host, not this
// module); empty when the program's path cannot be found.
std::string SettingsFilePath();
// True only when the key holds 1; a missing key or file counts as 1.
bool Load87aSetting();
// Writes "1" or "0"; false when the settings file cannot be written.
bool Save87aSetting(bool allowRewrite);
