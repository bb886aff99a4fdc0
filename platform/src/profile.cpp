// Private-profile settings files: "[section]" lines, "key=value" lines,
// comments starting with ';', blank lines.
//
// Reading, as on Windows: section and key names are trimmed of blanks (space,
// tab) and match without regard to ASCII letter case; the first matching
// section and, within it, the first matching key count. A value is trimmed of
// blanks, and then one pair of matching quotes around it ('"' or '\'') is
// removed, so a quoted value keeps blanks at its ends.
// The integer read takes the leading decimal digits of the value: "7 px" gives
// 7, "0x10" gives 0, "-5" and "yes" give 0; it saturates at INT32_MAX. An
// empty value counts as missing and gives the default, as on Windows. A null
// section or key reads as missing too (no listing of names).
//
// Writing builds the whole new file and replaces the old one atomically. Every
// line not being changed stays byte for byte, including its line ending; new
// lines use the file's own line-ending style (LF for a new file). A value that
// would not read back as written (blanks at either end, or enclosed in
// quotes) is written inside double quotes. Names or values holding a line
// break, a key holding '=' or starting with '[' or ';', and a section name
// holding ']' are refused, since they would change the file's structure.
#include "tessane/platform.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct Line {
    std::string text; // without its line ending
    std::string eol;  // "\n", "\r\n", or "" for a last line without one
};
using Lines = std::vector<Line>;
constexpr size_t kNone = static_cast<size_t>(-1);

// ---- Text helpers -------------------------------------------------------------

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

bool hasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

bool isQuoted(std::string_view text) {
    return text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front();
}

// ---- Reading the file into lines -------------------------------------------------

// The file's bytes, or nothing when it cannot be read (missing, a directory...).
std::optional<std::string> readFileBytes(const char* fileName) {
    int fd = open(fileName, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::string bytes;
    char chunk[8192];
    for (;;) {
        ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        bytes.append(chunk, static_cast<size_t>(n));
    }
    close(fd);
    return bytes;
}

Lines splitLines(std::string_view bytes) {
    Lines lines;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t newline = bytes.find('\n', pos);
        size_t end = newline == std::string_view::npos ? bytes.size() : newline;
        Line line{std::string(bytes.substr(pos, end - pos)), newline == std::string_view::npos ? "" : "\n"};
        if (!line.eol.empty() && !line.text.empty() && line.text.back() == '\r') {
            line.text.pop_back();
            line.eol = "\r\n";
        }
        lines.push_back(std::move(line));
        pos = newline == std::string_view::npos ? bytes.size() : newline + 1;
    }
    return lines;
}

std::string joinLines(const Lines& lines) {
    std::string bytes;
    for (const Line& line : lines)
        bytes.append(line.text).append(line.eol);
    return bytes;
}

// The line ending of the file's first ended line; LF when there is none.
std::string fileLineEnding(const Lines& lines) {
    for (const Line& line : lines) {
        if (!line.eol.empty())
            return line.eol;
    }
    return "\n";
}

// ---- Classifying lines -----------------------------------------------------------------

// The name of a "[name]" line (up to the first ']', or the line's end), or nothing.
std::optional<std::string_view> sectionName(const Line& line) {
    std::string_view text = trim(line.text);
    if (text.empty() || text.front() != '[')
        return std::nullopt;
    text.remove_prefix(1);
    size_t close = text.find(']');
    return trim(text.substr(0, close));
}

// The key of a "key=value" line, or nothing for comments and other lines.
std::optional<std::string_view> entryKey(const Line& line) {
    std::string_view text = trim(line.text);
    if (text.empty() || text.front() == ';' || text.front() == '[')
        return std::nullopt;
    size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return trim(text.substr(0, equals));
}

// The value of a "key=value" line: trimmed, one pair of quotes removed.
std::string_view entryValue(const Line& line) {
    std::string_view text = line.text;
    std::string_view value = trim(text.substr(text.find('=') + 1));
    if (isQuoted(value))
        value = value.substr(1, value.size() - 2);
    return value;
}

// ---- Finding sections and keys ------------------------------------------------------

size_t findSection(const Lines& lines, std::string_view section, size_t from = 0) {
    for (size_t i = from; i < lines.size(); ++i) {
        auto name = sectionName(lines[i]);
        if (name && sameName(*name, section))
            return i;
    }
    return kNone;
}

// One past the last line of the section whose header is at header.
size_t sectionEnd(const Lines& lines, size_t header) {
    size_t i = header + 1;
    while (i < lines.size() && !sectionName(lines[i]))
        ++i;
    return i;
}

size_t findKey(const Lines& lines, size_t header, size_t end, std::string_view key) {
    for (size_t i = header + 1; i < end; ++i) {
        auto name = entryKey(lines[i]);
        if (name && sameName(*name, key))
            return i;
    }
    return kNone;
}

std::optional<std::string> lookUpValue(const char* section, const char* key, const char* fileName) {
    if (section == nullptr || key == nullptr || fileName == nullptr)
        return std::nullopt;
    std::optional<std::string> bytes = readFileBytes(fileName);
    if (!bytes)
        return std::nullopt;
    Lines lines = splitLines(*bytes);
    size_t header = findSection(lines, trim(section));
    if (header == kNone)
        return std::nullopt;
    size_t line = findKey(lines, header, sectionEnd(lines, header), trim(key));
    if (line == kNone)
        return std::nullopt;
    return std::string(entryValue(lines[line]));
}

// ---- Changing lines ---------------------------------------------------------------------

std::string formatValue(std::string_view value) {
    bool needsQuotes = !value.empty() && (isBlank(value.front()) || isBlank(value.back()) || isQuoted(value));
    std::string text;
    text.reserve(value.size() + 2);
    if (needsQuotes)
        text += '"';
    text += value;
    if (needsQuotes)
        text += '"';
    return text;
}

// Keeps everything of the line up to where its old value starts ("Name = ").
void replaceValue(Line& line, std::string_view value) {
    size_t start = line.text.find('=') + 1;
    while (start < line.text.size() && isBlank(line.text[start]))
        ++start;
    line.text = line.text.substr(0, start) + formatValue(value);
}

// Gives the last line an ending so that another line can follow it.
void endLastLine(Lines& lines, const std::string& eol) {
    if (!lines.empty() && lines.back().eol.empty())
        lines.back().eol = eol;
}

bool isBlankOrComment(const Line& line) {
    std::string_view text = trim(line.text);
    return text.empty() || text.front() == ';';
}

// A new key goes after the section's last entry, so that blank lines and a
// comment heading the next section stay where they are.
void insertKey(Lines& lines, size_t header, size_t end, std::string_view key, std::string_view value) {
    const std::string eol = fileLineEnding(lines);
    size_t at = end;
    while (at > header + 1 && isBlankOrComment(lines[at - 1]))
        --at;
    if (at == lines.size())
        endLastLine(lines, eol);
    else if (lines[at - 1].eol.empty())
        lines[at - 1].eol = eol;
    lines.insert(lines.begin() + static_cast<ptrdiff_t>(at), Line{std::string(key) + "=" + formatValue(value), eol});
}

// A new section goes at the end, after a blank line.
void appendSection(Lines& lines, std::string_view section, std::string_view key, std::string_view value) {
    const std::string eol = fileLineEnding(lines);
    endLastLine(lines, eol);
    if (!lines.empty() && !trim(lines.back().text).empty())
        lines.push_back(Line{"", eol});
    std::string header("[");
    header += section;
    header += ']';
    lines.push_back(Line{header, eol});
    std::string entry(key);
    entry += '=';
    entry += formatValue(value);
    lines.push_back(Line{entry, eol});
}

void setKey(Lines& lines, std::string_view section, std::string_view key, std::string_view value) {
    size_t header = findSection(lines, section);
    if (header == kNone) {
        appendSection(lines, section, key, value);
        return;
    }
    size_t end = sectionEnd(lines, header);
    size_t line = findKey(lines, header, end, key);
    if (line != kNone)
        replaceValue(lines[line], value);
    else
        insertKey(lines, header, end, key, value);
}

// Removes the key from every section of that name, duplicates included.
void deleteKey(Lines& lines, std::string_view section, std::string_view key) {
    for (size_t header = findSection(lines, section); header != kNone;
         header = findSection(lines, section, header + 1)) {
        size_t end = sectionEnd(lines, header);
        for (size_t line = findKey(lines, header, end, key); line != kNone; line = findKey(lines, header, end, key)) {
            lines.erase(lines.begin() + static_cast<ptrdiff_t>(line));
            --end;
        }
    }
}

// Removes every section of that name: its header and all lines up to the next one.
void deleteSection(Lines& lines, std::string_view section) {
    for (size_t header = findSection(lines, section); header != kNone; header = findSection(lines, section, header)) {
        size_t end = sectionEnd(lines, header);
        lines.erase(lines.begin() + static_cast<ptrdiff_t>(header), lines.begin() + static_cast<ptrdiff_t>(end));
    }
}

bool validSection(std::string_view section) { return !hasLineBreak(section) && section.find(']') == std::string_view::npos; }

bool validKey(std::string_view key) {
    return !key.empty() && !hasLineBreak(key) && key.find('=') == std::string_view::npos && key.front() != '[' &&
           key.front() != ';';
}

// ---- Replacing the file ----------------------------------------------------------------

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// The file the name stands for: a symbolic link is followed, so that writing
// replaces its target instead of the link.
std::string targetPath(const char* fileName) {
    struct stat info {};
    if (lstat(fileName, &info) == 0 && S_ISLNK(info.st_mode)) {
        if (char* resolved = realpath(fileName, nullptr)) {
            std::string path = resolved;
            std::free(resolved);
            return path;
        }
    }
    return fileName;
}

// A new sibling file, created exclusively so nothing else is overwritten; its
// permissions follow the umask like any new file.
int createSiblingTemporary(const std::string& target, std::string& temporary) {
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = target + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(counter++);
        int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

void syncDirectoryOf(const std::string& path) {
    size_t slash = path.rfind('/');
    std::string directory = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd); // best effort: the rename is done either way
        close(fd);
    }
}

// Writes bytes to a sibling temporary file, flushes it to disk, gives it the
// old file's permission bits and renames it over the file.
bool replaceFileAtomically(const char* fileName, std::string_view bytes) {
    const std::string target = targetPath(fileName);
    std::string temporary;
    int fd = createSiblingTemporary(target, temporary);
    if (fd < 0)
        return false;
    struct stat old {};
    bool ok = writeAll(fd, bytes);
    if (ok && stat(target.c_str(), &old) == 0)
        ok = fchmod(fd, old.st_mode & 07777) == 0;
    ok = ok && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        unlink(temporary.c_str());
        return false;
    }
    syncDirectoryOf(target);
    return true;
}

bool writeProfile(const char* section, const char* key, const char* value, const char* fileName) {
    const std::string_view sectionText = trim(section);
    if (!validSection(sectionText))
        return false;
    const std::optional<std::string_view> keyText = key ? std::optional(trim(key)) : std::nullopt;
    if (keyText && !validKey(*keyText))
        return false;
    if (value != nullptr && hasLineBreak(value))
        return false;

    std::optional<std::string> old = readFileBytes(fileName);
    if (!old) {
        struct stat info {};
        if (stat(fileName, &info) == 0)
            return false; // there but unreadable: never replace what cannot be kept
        if (!keyText || value == nullptr)
            return true; // nothing to delete in a file that does not exist
        old.emplace();
    }
    Lines lines = splitLines(*old);
    if (!keyText)
        deleteSection(lines, sectionText);
    else if (value == nullptr)
        deleteKey(lines, sectionText, *keyText);
    else
        setKey(lines, sectionText, *keyText, value);

    std::string bytes = joinLines(lines);
    if (bytes == *old)
        return true; // unchanged: leave the file alone
    return replaceFileAtomically(fileName, bytes);
}

UINT leadingDigits(std::string_view value) {
    uint64_t number = 0;
    for (char c : value) {
        if (c < '0' || c > '9')
            break;
        number = number * 10 + static_cast<uint64_t>(c - '0');
        if (number > INT32_MAX)
            return INT32_MAX;
    }
    return static_cast<UINT>(number);
}

} // namespace

extern "C" {

UINT GetPrivateProfileIntA(const char* section, const char* key, int32_t def, const char* fileName) {
    try {
        std::optional<std::string> value = lookUpValue(section, key, fileName);
        if (!value || value->empty())
            return static_cast<UINT>(def);
        return leadingDigits(*value);
    } catch (...) {
        return static_cast<UINT>(def);
    }
}

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* def, char* buffer, DWORD size,
                               const char* fileName) {
    if (buffer == nullptr || size == 0)
        return 0;
    std::optional<std::string> value;
    try {
        value = lookUpValue(section, key, fileName);
    } catch (...) {
        value.reset();
    }
    const char* text = value ? value->c_str() : (def ? def : "");
    size_t length = value ? value->size() : std::strlen(text);
    if (length > size - 1)
        length = size - 1;
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    return static_cast<DWORD>(length);
}

BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value, const char* fileName) {
    if (section == nullptr || fileName == nullptr || *fileName == '\0')
        return FALSE;
    try {
        return writeProfile(section, key, value, fileName) ? TRUE : FALSE;
    } catch (...) {
        return FALSE;
    }
}

} // extern "C"
