// The save pipeline: writes the current file of a CTessane again with a new
// comment, without any user interface, so that the editor and the
// command-line tool share one safe road to the disk.
//
// The plug-in never writes the target. It writes a complete new image into a
// "TSN" temporary file in the system's temporary directory; only then is the
// backup made (a second name for the old file where the file system allows
// hard links, else a copy), and the new image is put in place by copying it to a new file
// beside the target, flushing that to disk and renaming it over the target.
// When the temporary file already lies on the target's file system, it is
// flushed and renamed over the target itself, which saves copying the image.
// At every moment the target is either the old file or the new one.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <sys/types.h>

#include "tessane_data.h"

namespace tessane {

struct SaveOutcome {
    int32_t code = 0;   // CPI_OK; a host/plug-in code (-3..-7); CPI_ERR_FILEIO for a failed file step
    int messageId = 0;  // 0 on success, else the message-table id to show (42 saving failed, 44 file I/O
                        // error, or 40..46 for the code)
    std::string reason; // the cause in plain words (e.g. strerror text and which step), may be empty
};

// The file steps of a save after the plug-in has written. Each step is one
// virtual call so that tests can make any of them fail.
enum class FileStep {
    TempFile,          // making the "TSN" temporary file
    BackupCopy,        // copying the target's bytes into the new backup
    BackupSync,        // flushing the new backup to disk
    BackupPermissions, // giving it the target's permission bits
    BackupRename,      // renaming the new backup over the backup name
    TargetCopy,        // copying the new image beside the target (not when it is moved)
    TargetSync,        // flushing it to disk
    TargetPermissions, // giving it the target's permission bits
    TargetRename,      // renaming it over the target
};

// The name of a step as it appears in a failure's reason.
const char* FileStepName(FileStep step);

// The real operations. Every call returns 0 or an errno value.
class FileSteps {
public:
    virtual ~FileSteps() = default;

    // The system's temporary directory: $TMPDIR when set, else "/tmp".
    virtual std::string TempDirectory();
    // Creates an empty file named directory + "/" + prefix + a unique part,
    // open for reading and writing; name and fd receive it.
    virtual int MakeUniqueFile(FileStep step, const std::string& directory, const std::string& prefix,
                               std::string& name, int& fd);
    // Copies every byte of fromFd (from its start) to toFd.
    virtual int CopyData(FileStep step, int fromFd, int toFd);
    virtual int SyncFile(FileStep step, int fd);
    virtual int SetMode(FileStep step, int fd, mode_t mode);
    virtual int Rename(FileStep step, const std::string& from, const std::string& to);
    // Gives the file from a second name to (a hard link).
    virtual int Link(FileStep step, const std::string& from, const std::string& to);
    // Whether file can be renamed into directory (both on one file system).
    virtual bool SameFileSystem(const std::string& file, const std::string& directory);
};

// Saves host's current file with comment into targetName: "TSN" temporary file in the
// system temp dir, host.SaveFile into it, backup (when makeBackup and the target exists),
// atomic replacement of the target, temporary files removed on every path.
SaveOutcome SaveImageFile(CTessane& host, HWND owner, const std::string& targetName,
                          const std::string& comment, bool makeBackup);

// Looks at the complete new image (by its file name) after the plug-in wrote
// it and before anything else is touched. An outcome with a non-zero code
// stops the save there: the target and the backup stay as they were.
using NewImageCheck = std::function<SaveOutcome(const std::string& newImageName)>;

// The same with the file steps given (tests pass steps that fail) and an
// optional check of the new image.
SaveOutcome SaveImageFile(CTessane& host, HWND owner, const std::string& targetName,
                          const std::string& comment, bool makeBackup, FileSteps& steps,
                          const NewImageCheck& check = {});

// A check that reads the new image back through the plug-in of the current
// file and demands that it carries comment exactly: a format that cannot hold
// the whole text (the plug-in cuts it) fails the save with CPI_ERR_WRITE and
// message 42 instead of losing the rest of the text without a word. The
// host's document state is left as it was.
NewImageCheck CommentKeptCheck(CTessane& host, HWND owner, const std::string& comment);

// The backup name: targetName with its last whole (UTF-8) character replaced by "_".
std::string BackupName(const std::string& targetName);

// The file a save to name replaces: name itself, or for a symbolic link the
// file it finally points to (which need not exist yet).
std::string ResolveSaveTarget(const std::string& name);

} // namespace tessane
