// Directory search: the entries of one directory whose names match a
// wildcard mask, in the order readdir returns them.
//
// Rules, as the Windows search the host was written against:
// - '*' matches any run of characters, '?' exactly one; letters match without
//   regard to ASCII case. The mask "*.*" matches every name, dotted or not.
// - Ordinary files are always found (a symbolic link counts as what it points
//   to; a dangling one is skipped). Names with a leading dot are hidden and
//   found only with faHidden; directories only with faDirectory, never "." or
//   "..". Sockets, pipes and devices are never found.
// - Results: 0 for an entry; ERROR_PATH_NOT_FOUND when the directory cannot be
//   opened, ERROR_FILE_NOT_FOUND when nothing matches, ERROR_NO_MORE_FILES at
//   the end of a search.
#include "tessane/platform.h"

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <new>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int32_t kErrorFileNotFound = 2;
constexpr int32_t kErrorPathNotFound = 3;
constexpr int32_t kErrorNoMoreFiles = 18;

struct Search {
    DIR* directory;
    std::string pattern;
    int32_t attributes;
};

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Iterative wildcard match with one backtrack point: linear in practice and
// never recursive, whatever the mask.
bool wildcardMatch(const char* pattern, const char* name) {
    const char* starPattern = nullptr;
    const char* starName = nullptr;
    while (*name != '\0') {
        if (*pattern == '*') {
            starPattern = ++pattern;
            starName = name;
        } else if (*pattern == '?' || (*pattern != '\0' && asciiLower(*pattern) == asciiLower(*name))) {
            ++pattern;
            ++name;
        } else if (starPattern != nullptr) {
            pattern = starPattern;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

void splitMask(const char* pathMask, std::string& directory, std::string& pattern) {
    const char* slash = std::strrchr(pathMask, '/');
    if (slash == nullptr) {
        directory = ".";
        pattern = pathMask;
    } else {
        directory.assign(pathMask, static_cast<size_t>(slash - pathMask) + 1);
        pattern = slash + 1;
    }
    if (pattern == "*.*")
        pattern = "*";
}

// The fa* bits of an entry, or -1 when it is not an entry a search returns.
int32_t entryAttributes(int directoryFd, const char* name, const struct stat& info) {
    int32_t attributes = 0;
    if (S_ISDIR(info.st_mode))
        attributes |= faDirectory;
    else if (!S_ISREG(info.st_mode))
        return -1;
    if (name[0] == '.')
        attributes |= faHidden;
    if (faccessat(directoryFd, name, W_OK, 0) != 0)
        attributes |= faReadOnly;
    return attributes;
}

bool wanted(const char* name, int32_t attributes, int32_t requested) {
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
        return false;
    if ((attributes & faHidden) && !(requested & faHidden))
        return false;
    if ((attributes & faDirectory) && !(requested & faDirectory))
        return false;
    return true;
}

// Advances search to its next matching entry and fills rec; false at the end.
bool nextMatch(Search& search, TSearchRec& rec) {
    const int directoryFd = dirfd(search.directory);
    while (const struct dirent* entry = readdir(search.directory)) {
        const char* name = entry->d_name;
        if (std::strlen(name) >= sizeof rec.Name || !wildcardMatch(search.pattern.c_str(), name))
            continue;
        struct stat info {};
        if (fstatat(directoryFd, name, &info, 0) != 0)
            continue; // vanished meanwhile, or a dangling link
        const int32_t attributes = entryAttributes(directoryFd, name, info);
        if (attributes < 0 || !wanted(name, attributes, search.attributes))
            continue;
        std::strcpy(rec.Name, name);
        rec.Size = static_cast<int64_t>(info.st_size);
        rec.Attr = attributes;
        return true;
    }
    return false;
}

void releaseSearch(TSearchRec& rec) {
    auto* search = static_cast<Search*>(rec.FindHandle);
    rec.FindHandle = nullptr;
    if (search == nullptr)
        return;
    closedir(search->directory);
    delete search;
}

} // namespace

extern "C" {

int32_t FindFirst(const char* pathMask, int32_t attributes, TSearchRec* rec) {
    if (rec == nullptr)
        return kErrorFileNotFound;
    rec->FindHandle = nullptr;
    if (pathMask == nullptr || *pathMask == '\0')
        return kErrorFileNotFound;
    try {
        std::string directoryPath;
        std::string pattern;
        splitMask(pathMask, directoryPath, pattern);
        DIR* directory = opendir(directoryPath.c_str());
        if (directory == nullptr)
            return kErrorPathNotFound;
        auto* search = new (std::nothrow) Search{directory, std::move(pattern), attributes};
        if (search == nullptr) {
            closedir(directory);
            return kErrorFileNotFound;
        }
        rec->FindHandle = search;
        if (nextMatch(*search, *rec))
            return 0;
        releaseSearch(*rec);
        return kErrorFileNotFound;
    } catch (...) {
        releaseSearch(*rec);
        return kErrorFileNotFound;
    }
}

int32_t FindNext(TSearchRec* rec) {
    if (rec == nullptr || rec->FindHandle == nullptr)
        return kErrorNoMoreFiles;
    return nextMatch(*static_cast<Search*>(rec->FindHandle), *rec) ? 0 : kErrorNoMoreFiles;
}

void FindClose(TSearchRec* rec) {
    if (rec != nullptr)
        releaseSearch(*rec);
}

} // extern "C"
