// CTessane, comment transfer: chooses the plug-in for a file, reads whole
// files into memory and carries comments between the editor and the plug-in.
// Every path frees its buffer, closes its file and unloads the plug-in module
// (except after a configuration call, which keeps the module loaded).
#include "tessane_data.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// A file opened for reading; closed when it goes out of scope.
class InputFile {
public:
    InputFile() = default;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile() { Close(); }

    // Opens an ordinary file for reading. A directory, a device or a pipe is
    // refused, as is a file another program holds an exclusive lock on (the
    // nearest Linux has to "others may read but not write while it is open").
    bool Open(const std::string& path) {
        // O_NONBLOCK: opening a pipe must not wait for a writer.
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd_ < 0)
            return false;
        struct stat info {};
        if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode) || !lockShared()) {
            Close();
            return false;
        }
        size_ = static_cast<int64_t>(info.st_size);
        return true;
    }

    int64_t Size() const { return size_; }

    // Reads up to n bytes, going on after short reads. Returns the count read
    // (less than n only at the end of the file), or -1 on a read error.
    int64_t ReadUpTo(unsigned char* buffer, size_t n) {
        size_t done = 0;
        while (done < n) {
            ssize_t got = ::read(fd_, buffer + done, n - done);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return -1;
            if (got == 0)
                break;
            done += static_cast<size_t>(got);
        }
        return static_cast<int64_t>(done);
    }

    void Close() {
        if (fd_ >= 0)
            ::close(fd_); // also drops the lock
        fd_ = -1;
    }

private:
    bool lockShared() {
        if (::flock(fd_, LOCK_SH | LOCK_NB) == 0)
            return true;
        // Only a lock held by someone else refuses the file; a file system
        // without locks does not.
        return errno != EWOULDBLOCK;
    }

    int fd_ = -1;
    int64_t size_ = 0;
};

// The whole of one file in a buffer of its length plus one byte.
struct FileImage {
    std::unique_ptr<unsigned char[]> data;
    int32_t size = 0;
};

// Reads the whole file at path. CPI_ERR_FILEIO when it cannot be opened or
// read, is not an ordinary file, changed its length while being read, or is
// too large to hand to a plug-in; CPI_ERR_MEMORY when no buffer can be had.
// The file is closed before this returns.
int32_t readWholeFile(const std::string& path, FileImage& image) {
    InputFile file;
    if (!file.Open(path))
        return CPI_ERR_FILEIO;
    const int64_t length = file.Size();
    if (length < 0 || length > CTessane::MaxImageSize)
        return CPI_ERR_FILEIO; // sizes cross the interface as int32_t
    auto buffer = CTessane::AllocBuffer(static_cast<size_t>(length));
    if (buffer == nullptr)
        return CPI_ERR_MEMORY;
    if (file.ReadUpTo(buffer.get(), static_cast<size_t>(length)) != length)
        return CPI_ERR_FILEIO; // a read error, or the file shrank meanwhile
    file.Close();
    image.data = std::move(buffer);
    image.size = static_cast<int32_t>(length);
    return CPI_OK;
}

// The extension of fileName: from its last '.' when no '/' follows it, else
// empty. UTF-8 needs no care here: every byte of a multi-byte character is
// 0x80 or above, so none of them can be taken for '.' or '/'.
std::string extensionOf(const std::string& fileName) {
    size_t pos = fileName.find_last_of("./");
    if (pos == std::string::npos || fileName[pos] != '.')
        return {};
    return fileName.substr(pos);
}

// Unloads the plug-in module when the task ends, on every path.
class UnloadOnExit {
public:
    explicit UnloadOnExit(CTessaneDLL& dll) : dll_(dll) {}
    UnloadOnExit(const UnloadOnExit&) = delete;
    UnloadOnExit& operator=(const UnloadOnExit&) = delete;
    ~UnloadOnExit() { dll_.Unload(); }

private:
    CTessaneDLL& dll_;
};

} // namespace

std::unique_ptr<unsigned char[]> CTessane::AllocBuffer(size_t n) {
    if (n == static_cast<size_t>(-1))
        return nullptr;
    return std::unique_ptr<unsigned char[]>(new (std::nothrow) unsigned char[n + 1]);
}

int32_t CTessane::OpenFile(HWND owner, const std::string& fileName, bool byContent) {
    int32_t index = byContent ? FindPluginByContent(fileName) : FindPluginByExtension(fileName);
    if (index < 0)
        return index;
    return ReadComment(owner, fileName, index);
}

int32_t CTessane::FindPluginByExtension(const std::string& fileName) {
    std::string pattern = "*";
    pattern += extensionOf(fileName);
    CharLowerBuffA(pattern.data(), static_cast<DWORD>(pattern.size()));
    for (size_t i = 0; i < Plugins.size(); ++i) {
        // A substring test: "*.jp" is found in "*.jpg;*.jpeg", "*" in any filter.
        if (Plugins[i].Filter.find(pattern) != std::string::npos)
            return static_cast<int32_t>(i);
    }
    return CPI_ERR_NOPLUGIN;
}

int32_t CTessane::FindPluginByContent(const std::string& fileName) {
    auto probe = AllocBuffer(ProbeSize);
    if (probe == nullptr)
        return CPI_ERR_MEMORY;
    int64_t n = 0;
    {
        InputFile file;
        if (!file.Open(fileName))
            return CPI_ERR_FILEIO;
        n = file.ReadUpTo(probe.get(), ProbeSize);
        if (n < 0)
            return CPI_ERR_FILEIO;
    }
    for (size_t i = 0; i < Plugins.size(); ++i) {
        // A plug-in that cannot be loaded or lacks IsSupported ends the search.
        if (!Dll.Load(Plugins[i].Path))
            break;
        if (!Dll.BindIsSupported()) {
            Dll.Unload();
            break;
        }
        bool yes = Dll.CallIsSupported(probe.get(), static_cast<int32_t>(n));
        Dll.Unload();
        if (yes)
            return static_cast<int32_t>(i);
    }
    return CPI_ERR_NOPLUGIN;
}

int32_t CTessane::ReadComment(HWND owner, const std::string& fileName, int32_t index) {
    if (!IsValidIndex(index))
        return CPI_ERR_NOPLUGIN;
    if (!Dll.Load(Plugins[static_cast<size_t>(index)].Path))
        return CPI_ERR_PLUGIN;
    UnloadOnExit unload(Dll);
    if (!Dll.BindGetComment())
        return CPI_ERR_PLUGIN;

    FileImage image;
    if (int32_t result = readWholeFile(fileName, image); result != CPI_OK)
        return result;

    std::string comment;
    std::string info;
    int32_t result = Dll.CallGetComment(owner, image.data.get(), image.size, comment, info);
    if (result != CPI_OK)
        return result; // the current file stays as it was

    // All four fields together; the copy is made before any field changes.
    std::string name = fileName;
    FileName.swap(name);
    Comment.swap(comment);
    FileInfo.swap(info);
    PluginIndex = index;
    return CPI_OK;
}

int32_t CTessane::SaveFile(HWND owner, const std::string& targetName, const std::string& comment) {
    // Without a current file there is no plug-in to write through.
    if (!IsValidIndex(PluginIndex))
        return CPI_ERR_NOPLUGIN;
    if (!Dll.Load(Plugins[static_cast<size_t>(PluginIndex)].Path))
        return CPI_ERR_PLUGIN;
    UnloadOnExit unload(Dll);
    if (!Dll.BindWriteComment())
        return CPI_ERR_PLUGIN;

    // The current file as it is on disk now, not as it was when opened.
    FileImage image;
    if (int32_t result = readWholeFile(FileName, image); result != CPI_OK)
        return result;
    return Dll.CallWriteComment(owner, targetName, image.data.get(), image.size, comment);
}

bool CTessane::ConfigurePlugin(HWND owner, int32_t index, int32_t function) {
    if (!IsValidIndex(index))
        return false;
    if (!Dll.Load(Plugins[static_cast<size_t>(index)].Path))
        return false;
    if (Dll.BindConfigurationDlg() == 0) {
        Dll.Unload();
        return false;
    }
    // The module stays loaded until the next Load.
    return Dll.CallConfigurationDlg(owner, function) == CPI_OK;
}

void CTessane::CloseFile() {
    FileName.clear();
    Comment.clear();
    FileInfo.clear();
    PluginIndex = -1;
}
