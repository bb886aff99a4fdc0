#include "save_pipeline.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tessane {

namespace {

constexpr int kMsgSaveFailed = 42;
constexpr int kMsgFileIoError = 44;
constexpr size_t kCopyChunk = size_t{1} << 20;
// Room left in a 255-byte file name for "." + base + ".TSN" + six unique characters.
constexpr size_t kMaxSiblingBase = 240;

// A file descriptor that is closed on every path out of its scope.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { Close(); }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    int Get() const { return fd_; }
    int* Out() { return &fd_; }
    // Closes now; 0 or the errno value of a failed close.
    int Close() {
        if (fd_ < 0)
            return 0;
        int result = ::close(fd_) == 0 ? 0 : errno;
        fd_ = -1;
        return result;
    }

private:
    int fd_ = -1;
};

// Removes a file when the scope ends, unless it was released.
class FileRemover {
public:
    explicit FileRemover(std::string name) : name_(std::move(name)) {}
    ~FileRemover() {
        if (!name_.empty())
            ::unlink(name_.c_str());
    }
    FileRemover(const FileRemover&) = delete;
    FileRemover& operator=(const FileRemover&) = delete;
    void Release() { name_.clear(); }

private:
    std::string name_;
};

// The steps of writing one file (the backup or the target) in place.
struct ReplacementSteps {
    FileStep copy;
    FileStep sync;
    FileStep permissions;
    FileStep rename;
};
constexpr ReplacementSteps kBackupSteps{FileStep::BackupCopy, FileStep::BackupSync,
                                        FileStep::BackupPermissions, FileStep::BackupRename};
constexpr ReplacementSteps kTargetSteps{FileStep::TargetCopy, FileStep::TargetSync,
                                        FileStep::TargetPermissions, FileStep::TargetRename};

SaveOutcome Failure(int messageId, FileStep step, const std::string& name, int error) {
    SaveOutcome outcome;
    outcome.code = CPI_ERR_FILEIO;
    outcome.messageId = messageId;
    outcome.reason = std::string(FileStepName(step)) + " (" + name + "): " + std::strerror(error);
    return outcome;
}

int MessageForCode(int32_t code) {
    return code <= CPI_ERR_NOPLUGIN && code >= CPI_ERR_CANCEL ? 39 - code : kMsgSaveFailed;
}

std::string DirectoryOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The start of a hidden temporary name beside path: "." + its name + ".TSN".
std::string SiblingPrefix(const std::string& path) {
    std::string prefix = ".";
    prefix.append(BaseNameOf(path), 0, kMaxSiblingBase);
    prefix.append(".TSN");
    return prefix;
}

mode_t DefaultNewFileMode() {
    // The process's umask can only be read by setting it; set it straight back.
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

int ReadWriteCopy(int fromFd, int toFd) {
    std::vector<char> buffer(kCopyChunk);
    for (;;) {
        ssize_t got = ::read(fromFd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            return 0;
        size_t done = 0;
        while (done < static_cast<size_t>(got)) {
            ssize_t put = ::write(toFd, buffer.data() + done, static_cast<size_t>(got) - done);
            if (put < 0 && errno == EINTR)
                continue;
            if (put < 0)
                return errno;
            done += static_cast<size_t>(put);
        }
    }
}

// Flushes a directory so that a rename inside it survives a crash. A failure
// here cannot be undone (the rename has happened), so it is not reported.
void SyncDirectory(const std::string& directory) {
    UniqueFd dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0)
        ::fsync(dir.Get());
}

// Writes every byte of sourceFd into a new file beside destination, flushes
// it, gives it mode (and, best effort, owner), and renames it over
// destination. On failure destination is as it was and the new file is gone.
SaveOutcome ReplaceAtomically(FileSteps& steps, const ReplacementSteps& names, int sourceFd,
                              const std::string& destination, mode_t mode, const struct stat* owner) {
    const std::string directory = DirectoryOf(destination);
    std::string sibling;
    UniqueFd out;
    if (int error =
            steps.MakeUniqueFile(names.copy, directory, SiblingPrefix(destination), sibling, *out.Out()))
        return Failure(kMsgSaveFailed, names.copy, directory, error);
    FileRemover removeSibling(sibling);

    if (int error = steps.CopyData(names.copy, sourceFd, out.Get()))
        return Failure(kMsgSaveFailed, names.copy, sibling, error);
    if (int error = steps.SyncFile(names.sync, out.Get()))
        return Failure(kMsgSaveFailed, names.sync, sibling, error);
    if (owner != nullptr && ::fchown(out.Get(), owner->st_uid, owner->st_gid) != 0) {
        // Only a privileged process may give a file away; anyone else keeps
        // the file as their own, as any editor does.
    }
    if (int error = steps.SetMode(names.permissions, out.Get(), mode))
        return Failure(kMsgSaveFailed, names.permissions, sibling, error);
    if (int error = out.Close())
        return Failure(kMsgSaveFailed, names.sync, sibling, error);
    if (int error = steps.Rename(names.rename, sibling, destination))
        return Failure(kMsgSaveFailed, names.rename, destination, error);
    removeSibling.Release();
    SyncDirectory(directory);
    return {};
}

// Errors of link() that say the file system cannot give this file a second
// name here; the backup is then copied instead.
bool LinksNotPossible(int error) {
    return error == EXDEV || error == EPERM || error == ENOTSUP || error == EOPNOTSUPP || error == EMLINK ||
           error == ENOSYS;
}

// Gives the target's file, as it is now, the backup name as a second name:
// linked to a fresh sibling name, then renamed over the backup name. The
// target itself is only ever replaced by a rename, never rewritten, so the
// backup keeps the old bytes, permissions and times without a copy. No value:
// the file system has no hard links for this file, copy instead.
std::optional<SaveOutcome> LinkBackup(FileSteps& steps, const std::string& realTarget,
                                      const std::string& backupPath) {
    const std::string directory = DirectoryOf(backupPath);
    std::string sibling;
    UniqueFd reserved;
    if (int error = steps.MakeUniqueFile(FileStep::BackupCopy, directory, SiblingPrefix(backupPath), sibling,
                                         *reserved.Out()))
        return Failure(kMsgSaveFailed, FileStep::BackupCopy, directory, error);
    reserved.Close();
    ::unlink(sibling.c_str()); // only the unique name is wanted
    if (int error = steps.Link(FileStep::BackupCopy, realTarget, sibling)) {
        if (LinksNotPossible(error))
            return std::nullopt;
        return Failure(kMsgSaveFailed, FileStep::BackupCopy, sibling, error);
    }
    FileRemover removeSibling(sibling);
    if (int error = steps.Rename(FileStep::BackupRename, sibling, backupPath))
        return Failure(kMsgSaveFailed, FileStep::BackupRename, backupPath, error);
    // The remover stays armed: when the backup name already was a name of the
    // target's file, the rename succeeds without doing anything and the
    // sibling name would otherwise be left behind.
    SyncDirectory(directory);
    return SaveOutcome{};
}

// Puts the target, as it is now, under its backup name. The old backup stays
// as it was when this fails.
SaveOutcome MakeBackup(FileSteps& steps, const std::string& realTarget, const struct stat& targetStat,
                       const std::string& backupName) {
    const std::string backupPath = ResolveSaveTarget(backupName);
    if (std::optional<SaveOutcome> linked = LinkBackup(steps, realTarget, backupPath))
        return *linked;
    UniqueFd source(::open(realTarget.c_str(), O_RDONLY | O_CLOEXEC));
    if (source.Get() < 0)
        return Failure(kMsgSaveFailed, FileStep::BackupCopy, realTarget, errno);
    return ReplaceAtomically(steps, kBackupSteps, source.Get(), backupPath, targetStat.st_mode & 0777,
                             &targetStat);
}

// The temporary file lies on the target's file system: flushed, given the
// target's mode and renamed over the target, it needs no copy. On success the
// temporary name is gone, and its remover must not delete a file that someone
// else may have made under that name since. No value: the rename crosses
// mount points after all (one file system mounted twice), so copy instead.
std::optional<SaveOutcome> MoveIntoPlace(FileSteps& steps, const std::string& tempName,
                                         FileRemover& removeTemp, const std::string& realTarget, mode_t mode,
                                         const struct stat* owner) {
    UniqueFd file(::open(tempName.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0)
        return Failure(kMsgSaveFailed, FileStep::TargetSync, tempName, errno);
    if (int error = steps.SyncFile(FileStep::TargetSync, file.Get()))
        return Failure(kMsgSaveFailed, FileStep::TargetSync, tempName, error);
    if (owner != nullptr && ::fchown(file.Get(), owner->st_uid, owner->st_gid) != 0) {
        // As in ReplaceAtomically: only a privileged process may give a file away.
    }
    if (int error = steps.SetMode(FileStep::TargetPermissions, file.Get(), mode))
        return Failure(kMsgSaveFailed, FileStep::TargetPermissions, tempName, error);
    file.Close();
    if (int error = steps.Rename(FileStep::TargetRename, tempName, realTarget))
        return error == EXDEV
                   ? std::nullopt
                   : std::optional(Failure(kMsgSaveFailed, FileStep::TargetRename, realTarget, error));
    removeTemp.Release();
    SyncDirectory(DirectoryOf(realTarget));
    return SaveOutcome{};
}

SaveOutcome PutInPlace(FileSteps& steps, const std::string& tempName, FileRemover& removeTemp,
                       const std::string& realTarget, const struct stat* targetStat) {
    const mode_t mode = targetStat != nullptr ? (targetStat->st_mode & 0777) : DefaultNewFileMode();
    if (steps.SameFileSystem(tempName, DirectoryOf(realTarget))) {
        if (std::optional<SaveOutcome> moved =
                MoveIntoPlace(steps, tempName, removeTemp, realTarget, mode, targetStat))
            return *moved;
    }
    UniqueFd source(::open(tempName.c_str(), O_RDONLY | O_CLOEXEC));
    if (source.Get() < 0)
        return Failure(kMsgSaveFailed, FileStep::TargetCopy, tempName, errno);
    return ReplaceAtomically(steps, kTargetSteps, source.Get(), realTarget, mode, targetStat);
}

} // namespace

const char* FileStepName(FileStep step) {
    switch (step) {
    case FileStep::TempFile:
        return "making the temporary file";
    case FileStep::BackupCopy:
        return "copying the backup";
    case FileStep::BackupSync:
        return "flushing the backup to disk";
    case FileStep::BackupPermissions:
        return "setting the backup's permissions";
    case FileStep::BackupRename:
        return "renaming the backup into place";
    case FileStep::TargetCopy:
        return "copying the new file";
    case FileStep::TargetSync:
        return "flushing the new file to disk";
    case FileStep::TargetPermissions:
        return "setting the new file's permissions";
    case FileStep::TargetRename:
        return "renaming the new file into place";
    }
    return "file step";
}

std::string FileSteps::TempDirectory() {
    const char* dir = std::getenv("TMPDIR");
    std::string result = dir != nullptr && dir[0] != '\0' ? dir : "/tmp";
    while (result.size() > 1 && result.back() == '/')
        result.pop_back();
    return result;
}

int FileSteps::MakeUniqueFile(FileStep, const std::string& directory, const std::string& prefix,
                              std::string& name, int& fd) {
    std::string pattern = directory + "/" + prefix + "XXXXXX";
    fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        return errno;
    name = pattern;
    return 0;
}

int FileSteps::CopyData(FileStep, int fromFd, int toFd) {
    if (::lseek(fromFd, 0, SEEK_SET) < 0)
        return errno;
    // The kernel copies without a trip through user memory where it can; a
    // file system that cannot falls back to reading and writing.
    bool copiedAny = false;
    for (;;) {
        ssize_t n = ::copy_file_range(fromFd, nullptr, toFd, nullptr, size_t{1} << 30, 0);
        if (n > 0) {
            copiedAny = true;
            continue;
        }
        if (n == 0)
            return 0;
        if (errno == EINTR)
            continue;
        if (!copiedAny && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
                           errno == EPERM || errno == ETXTBSY))
            return ReadWriteCopy(fromFd, toFd);
        return errno;
    }
}

int FileSteps::SyncFile(FileStep, int fd) {
    return ::fsync(fd) == 0 ? 0 : errno;
}

int FileSteps::SetMode(FileStep, int fd, mode_t mode) {
    return ::fchmod(fd, mode) == 0 ? 0 : errno;
}

int FileSteps::Rename(FileStep, const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int FileSteps::Link(FileStep, const std::string& from, const std::string& to) {
    return ::link(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

bool FileSteps::SameFileSystem(const std::string& file, const std::string& directory) {
    struct stat fileStat {};
    struct stat directoryStat {};
    return ::stat(file.c_str(), &fileStat) == 0 && ::stat(directory.c_str(), &directoryStat) == 0 &&
           fileStat.st_dev == directoryStat.st_dev;
}

std::string BackupName(const std::string& targetName) {
    const size_t n = targetName.size();
    if (n == 0)
        return "_";
    // Step back over the continuation bytes of the last character to its lead byte.
    size_t start = n - 1;
    size_t continuation = 0;
    while (start > 0 && continuation < 3 && (static_cast<unsigned char>(targetName[start]) & 0xC0) == 0x80) {
        --start;
        ++continuation;
    }
    const auto lead = static_cast<unsigned char>(targetName[start]);
    size_t expected = lead < 0x80             ? 0
                      : (lead & 0xE0) == 0xC0 ? 1
                      : (lead & 0xF0) == 0xE0 ? 2
                      : (lead & 0xF8) == 0xF0 ? 3
                                              : 4;
    if (expected != continuation)
        start = n - 1; // not a whole UTF-8 character: only the last byte goes
    return targetName.substr(0, start) + "_";
}

std::string ResolveSaveTarget(const std::string& name) {
    std::string current = name;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        std::vector<char> link(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        ssize_t len = ::readlink(current.c_str(), link.data(), link.size());
        if (len < 0 || static_cast<size_t>(len) >= link.size())
            return current; // changed under us or unreadable: the rename reports it
        std::string target(link.data(), static_cast<size_t>(len));
        current = target.front() == '/' ? target : DirectoryOf(current) + "/" + target;
    }
    return current; // a loop of links: the rename fails with ELOOP-like errors
}

SaveOutcome SaveImageFile(CTessane& host, HWND owner, const std::string& targetName,
                          const std::string& comment, bool makeBackup) {
    FileSteps steps;
    return SaveImageFile(host, owner, targetName, comment, makeBackup, steps);
}

SaveOutcome SaveImageFile(CTessane& host, HWND owner, const std::string& targetName,
                          const std::string& comment, bool makeBackup, FileSteps& steps,
                          const NewImageCheck& check) {
    std::string tempName;
    {
        const std::string tempDir = steps.TempDirectory();
        UniqueFd tempFd;
        if (int error = steps.MakeUniqueFile(FileStep::TempFile, tempDir, "TSN", tempName, *tempFd.Out()))
            return Failure(kMsgFileIoError, FileStep::TempFile, tempDir, error);
    }
    FileRemover removeTemp(tempName);

    const std::string realTarget = ResolveSaveTarget(targetName);
    struct stat targetStat {};
    const bool targetExists = ::stat(realTarget.c_str(), &targetStat) == 0;
    if (targetExists && !S_ISREG(targetStat.st_mode))
        return Failure(kMsgSaveFailed, FileStep::TargetRename, targetName, EINVAL);

    int32_t code = host.SaveFile(owner, tempName, comment);
    if (code != CPI_OK) {
        SaveOutcome outcome;
        outcome.code = code;
        outcome.messageId = MessageForCode(code);
        return outcome;
    }

    if (check) {
        SaveOutcome checked = check(tempName);
        if (checked.code != CPI_OK)
            return checked;
    }

    // A name that already ends in "_" is its own backup name: copying it onto
    // itself would make nothing, so no separate backup results.
    const std::string backupName = BackupName(targetName);
    if (makeBackup && targetExists && backupName != targetName) {
        SaveOutcome backup = MakeBackup(steps, realTarget, targetStat, backupName);
        if (backup.code != CPI_OK)
            return backup;
    }
    return PutInPlace(steps, tempName, removeTemp, realTarget, targetExists ? &targetStat : nullptr);
}

NewImageCheck CommentKeptCheck(CTessane& host, HWND owner, const std::string& comment) {
    return [&host, owner, comment](const std::string& newImageName) {
        // ReadComment makes the file it reads the current one; put the
        // document back afterwards, whatever the answer.
        const std::string fileName = host.FileName;
        const int32_t pluginIndex = host.PluginIndex;
        const std::string oldComment = host.Comment;
        const std::string fileInfo = host.FileInfo;
        const int32_t code = host.ReadComment(owner, newImageName, pluginIndex);
        const std::string stored = host.Comment;
        host.FileName = fileName;
        host.PluginIndex = pluginIndex;
        host.Comment = oldComment;
        host.FileInfo = fileInfo;

        SaveOutcome outcome;
        if (code != CPI_OK) {
            outcome.code = code;
            outcome.messageId = kMsgSaveFailed;
            outcome.reason = "the new file cannot be read back (code " + std::to_string(code) + ")";
        } else if (stored != comment) {
            outcome.code = CPI_ERR_WRITE;
            outcome.messageId = kMsgSaveFailed;
            outcome.reason = "the format holds only " + std::to_string(stored.size()) + " of the " +
                             std::to_string(comment.size()) + " comment bytes given";
        }
        return outcome;
    };
}

} // namespace tessane
