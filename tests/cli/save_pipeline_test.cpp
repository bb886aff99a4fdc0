// The save pipeline end to end: the real gif and jpeg plug-ins for what a
// save leaves on disk, a fixture plug-in and failing file steps for what a
// failed save must not leave.
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "sample_images.h"
#include "save_pipeline.h"
#include "test_files.h"

namespace {

using namespace clitest;
using tessane::FileStep;
using tessane::SaveOutcome;
namespace fs = std::filesystem;

// The real file steps, with the temporary directory of the test and one step
// that fails. A copy step fails either at making its new file (a directory
// that cannot be written into) or after writing its bytes (a disk that fills
// up halfway, leaving a half-written file to clean away).
class TestSteps : public tessane::FileSteps {
public:
    std::string tempDir;
    std::optional<FileStep> failAt;
    bool failAtCreate = false;
    bool failOnce = false;
    int error = EIO;
    bool allowMove = true; // false: the temporary file is treated as on another file system
    bool allowLink = true; // false: the file system refuses hard links, so backups are copied

    std::string TempDirectory() override { return tempDir; }
    int MakeUniqueFile(FileStep step, const std::string& directory, const std::string& prefix,
                       std::string& name, int& fd) override {
        const bool fail = step == failAt && (step == FileStep::TempFile || failAtCreate);
        return fail ? error : FileSteps::MakeUniqueFile(step, directory, prefix, name, fd);
    }
    int CopyData(FileStep step, int fromFd, int toFd) override {
        int result = FileSteps::CopyData(step, fromFd, toFd);
        return step == failAt && !failAtCreate ? error : result;
    }
    int SyncFile(FileStep step, int fd) override {
        return step == failAt ? error : FileSteps::SyncFile(step, fd);
    }
    int SetMode(FileStep step, int fd, mode_t mode) override {
        return step == failAt ? error : FileSteps::SetMode(step, fd, mode);
    }
    int Rename(FileStep step, const std::string& from, const std::string& to) override {
        if (step == failAt) {
            if (failOnce)
                failAt.reset();
            return error;
        }
        return FileSteps::Rename(step, from, to);
    }
    int Link(FileStep step, const std::string& from, const std::string& to) override {
        if (!allowLink)
            return EPERM;
        return step == failAt && !failAtCreate ? error : FileSteps::Link(step, from, to);
    }
    bool SameFileSystem(const std::string& file, const std::string& directory) override {
        return allowMove && FileSteps::SameFileSystem(file, directory);
    }
};

class SaveTest : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(work);
        fs::create_directory(steps.tempDir);
    }

    void LoadPluginsFrom(const std::string& directory) {
        ASSERT_TRUE(host.LoadPlugins(directory + "/", "*.cpi"));
    }

    // Opens document (by content, so names without a known extension work)
    // and saves it to target.
    SaveOutcome Save(const std::string& document, const std::string& target, const std::string& comment,
                     bool backup) {
        EXPECT_EQ(host.OpenFile(nullptr, document, true), CPI_OK) << document;
        return tessane::SaveImageFile(host, nullptr, target, comment, backup, steps);
    }

    std::string CommentOf(const std::string& file) {
        EXPECT_EQ(host.OpenFile(nullptr, file, true), CPI_OK) << file;
        return host.Comment;
    }

    ScratchDir root;
    std::string work = root / "work";
    TestSteps steps = [this] {
        TestSteps s;
        s.tempDir = root / "tmp";
        return s;
    }();
    CTessane host;
};

// ---- Backup names -----------------------------------------------------------

struct BackupNameCase {
    std::string target;
    std::string backup;
    friend void PrintTo(const BackupNameCase& c, std::ostream* os) {
        *os << testing::PrintToString(c.target);
    }
};

class BackupNameTest : public testing::TestWithParam<BackupNameCase> {};

TEST_P(BackupNameTest, ReplacesTheLastWholeCharacter) {
    EXPECT_EQ(tessane::BackupName(GetParam().target), GetParam().backup);
}

INSTANTIATE_TEST_SUITE_P(
    Names, BackupNameTest,
    testing::Values(BackupNameCase{"/p/photo.jpg", "/p/photo.jp_"}, BackupNameCase{"image.gif", "image.gi_"},
                    BackupNameCase{"ends_", "ends_"}, BackupNameCase{"x.\xC3\xA9", "x._"}, // é, two bytes
                    BackupNameCase{"\xE5\x86\x99\xE7\x9C\x9F", "\xE5\x86\x99_"},           // 写真
                    BackupNameCase{"a\xF0\x9F\x93\xB7", "a_"},                             // four-byte camera
                    BackupNameCase{"cut\xE5\x86", "cut\xE5_"}, // not whole: last byte only
                    BackupNameCase{"\x80\x80", "\x80_"}));

// ---- The real plug-ins ----------------------------------------------------

struct Format {
    const char* name;
    std::string extension;
    std::string image;
    friend void PrintTo(const Format& f, std::ostream* os) { *os << f.name; }
};

class RealPluginSaveTest : public SaveTest, public testing::WithParamInterface<Format> {
protected:
    void SetUp() override {
        SaveTest::SetUp();
        LoadPluginsFrom(BinDir());
        photo = work + "/photo" + GetParam().extension;
        WriteFile(photo, GetParam().image);
    }
    std::string Backup() const { return tessane::BackupName(photo); }

    std::string photo;
};

TEST_P(RealPluginSaveTest, BackupHoldsTheOldFileAndNoTemporaryFileIsLeft) {
    SaveOutcome outcome = Save(photo, photo, "first", true);
    ASSERT_EQ(outcome.code, CPI_OK) << outcome.reason;
    EXPECT_EQ(outcome.messageId, 0);
    EXPECT_EQ(ReadFile(Backup()), GetParam().image);
    EXPECT_EQ(CommentOf(photo), "first");
    EXPECT_EQ(ListDir(work),
              (std::set<std::string>{fs::path(photo).filename(), fs::path(Backup()).filename()}));
    EXPECT_TRUE(ListDir(steps.tempDir).empty());
}

// The backup is a second name for the old file where hard links exist, a
// copy where they do not; either way it is the old file and the target is new.
TEST_P(RealPluginSaveTest, BackupIsTheOldFileWhetherLinkedOrCopied) {
    for (bool links : {true, false}) {
        SCOPED_TRACE(links ? "linked" : "copied");
        WriteFile(photo, GetParam().image);
        fs::remove(Backup());
        fs::permissions(photo, fs::perms(0640));
        steps.allowLink = links;
        ASSERT_EQ(Save(photo, photo, "new", true).code, CPI_OK);
        EXPECT_EQ(ReadFile(Backup()), GetParam().image);
        EXPECT_EQ(fs::status(Backup()).permissions(), fs::perms(0640));
        EXPECT_EQ(CommentOf(photo), "new");
        EXPECT_EQ(fs::hard_link_count(photo), 1u);
        EXPECT_EQ(fs::hard_link_count(Backup()), 1u);
    }
}

// A backup name that already is a second name of the target's file leaves no
// stray name behind, and afterwards holds the old file.
TEST_P(RealPluginSaveTest, BackupNameAlreadyLinkedToTheTargetLeavesNoStrayFile) {
    fs::create_hard_link(photo, Backup());
    ASSERT_EQ(Save(photo, photo, "new", true).code, CPI_OK);
    EXPECT_EQ(ReadFile(Backup()), GetParam().image);
    EXPECT_EQ(CommentOf(photo), "new");
    EXPECT_EQ(ListDir(work), (std::set<std::string>{fs::path(photo).filename(), fs::path(Backup()).filename()}));
}

TEST_P(RealPluginSaveTest, SavingTwiceKeepsTheFirstSaveInTheBackup) {
    ASSERT_EQ(Save(photo, photo, "first", true).code, CPI_OK);
    const std::string afterFirst = ReadFile(photo);
    ASSERT_EQ(Save(photo, photo, "second", true).code, CPI_OK);
    EXPECT_EQ(ReadFile(Backup()), afterFirst);
    EXPECT_EQ(CommentOf(photo), "second");
}

TEST_P(RealPluginSaveTest, WithoutBackupOnlyTheTargetChanges) {
    ASSERT_EQ(Save(photo, photo, "only", false).code, CPI_OK);
    EXPECT_EQ(ListDir(work), std::set<std::string>{fs::path(photo).filename()});
    EXPECT_EQ(CommentOf(photo), "only");
}

TEST_P(RealPluginSaveTest, NameEndingInUnderscoreIsItsOwnBackup) {
    const std::string underscored = work + "/photo_";
    WriteFile(underscored, GetParam().image);
    ASSERT_EQ(Save(underscored, underscored, "kept", true).code, CPI_OK);
    EXPECT_EQ(CommentOf(underscored), "kept");
    EXPECT_EQ(ListDir(work), (std::set<std::string>{fs::path(photo).filename(), "photo_"}));
}

TEST_P(RealPluginSaveTest, SaveAsToANewNameMakesNoBackupAndLeavesTheOriginal) {
    const std::string copy = work + "/copy" + GetParam().extension;
    ASSERT_EQ(Save(photo, copy, "copied", true).code, CPI_OK);
    EXPECT_EQ(ReadFile(photo), GetParam().image);
    EXPECT_EQ(CommentOf(copy), "copied");
    EXPECT_EQ(ListDir(work).size(), 2u); // the original and the copy, no backup
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(fs::status(copy).permissions(), fs::perms(0666 & ~mask));
}

TEST_P(RealPluginSaveTest, PermissionBitsOfTheTargetAreKept) {
    fs::permissions(photo, fs::perms(0604));
    ASSERT_EQ(Save(photo, photo, "mode", true).code, CPI_OK);
    EXPECT_EQ(fs::status(photo).permissions(), fs::perms(0604));
    EXPECT_EQ(fs::status(Backup()).permissions(), fs::perms(0604));
}

TEST_P(RealPluginSaveTest, TemporaryFileOnAnotherFileSystemIsCopiedIntoPlace) {
    steps.allowMove = false;
    fs::permissions(photo, fs::perms(0640));
    ASSERT_EQ(Save(photo, photo, "copied in", true).code, CPI_OK);
    EXPECT_EQ(CommentOf(photo), "copied in");
    EXPECT_EQ(ReadFile(Backup()), GetParam().image);
    EXPECT_EQ(fs::status(photo).permissions(), fs::perms(0640));
    EXPECT_EQ(ListDir(work).size(), 2u);
    EXPECT_TRUE(ListDir(steps.tempDir).empty());
}

TEST_P(RealPluginSaveTest, SymbolicLinkKeepsItsLinkAndTheFileItPointsToIsReplaced) {
    fs::create_directory(work + "/real");
    const std::string real = work + "/real/image" + GetParam().extension;
    fs::rename(photo, real);
    fs::create_symlink("real/image" + GetParam().extension, photo);

    ASSERT_EQ(Save(photo, photo, "through link", true).code, CPI_OK);
    ASSERT_TRUE(fs::is_symlink(photo));
    EXPECT_EQ(fs::read_symlink(photo), "real/image" + GetParam().extension);
    EXPECT_EQ(CommentOf(real), "through link");
    EXPECT_EQ(ReadFile(Backup()), GetParam().image);
    EXPECT_EQ(ListDir(work + "/real").size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Formats, RealPluginSaveTest,
                         testing::Values(Format{"gif", ".gif", TinyGif()},
                                         Format{"jpeg", ".jpg", TinyJpeg()}),
                         [](const auto& info) { return std::string(info.param.name); });

// The jpeg plug-in cuts a comment to the 65533 bytes one COM segment holds.
// With the check, such a save fails before anything on disk changes; a
// comment that fits goes through.
TEST_F(SaveTest, CommentTheFormatCannotHoldFailsBeforeTheTargetChanges) {
    LoadPluginsFrom(BinDir());
    const std::string photo = work + "/photo.jpg";
    WriteFile(photo, TinyJpeg());
    for (size_t length : {size_t{65534}, size_t{65533}}) {
        const std::string comment(length, 'c');
        ASSERT_EQ(host.OpenFile(nullptr, photo, false), CPI_OK);
        SaveOutcome outcome = tessane::SaveImageFile(host, nullptr, photo, comment, true, steps,
                                                     tessane::CommentKeptCheck(host, nullptr, comment));
        EXPECT_EQ(host.FileName, photo);
        EXPECT_TRUE(ListDir(steps.tempDir).empty());
        if (length == 65534) {
            EXPECT_EQ(outcome.code, CPI_ERR_WRITE);
            EXPECT_EQ(outcome.messageId, 42);
            EXPECT_NE(outcome.reason.find("65533 of the 65534"), std::string::npos) << outcome.reason;
            EXPECT_EQ(ReadFile(photo), TinyJpeg());
            EXPECT_EQ(ListDir(work).size(), 1u); // no backup either
        } else {
            EXPECT_EQ(outcome.code, CPI_OK) << outcome.reason;
            EXPECT_EQ(CommentOf(photo), comment);
        }
    }
}

// ---- Failures ---------------------------------------------------------------

class FixtureSaveTest : public SaveTest {
protected:
    void SetUp() override {
        SaveTest::SetUp();
        LoadPluginsFrom(TSN_CLI_FIXTURE_DIR);
        WriteFile(document, "FXT1old");
        WriteFile(oldBackup, "FXT1older");
    }

    // Nothing a failed save may leave: the target as it was, the backup as
    // expected, no temporary file in either directory.
    void ExpectNothingChanged(const std::string& backup = "FXT1older") {
        EXPECT_EQ(ReadFile(document), "FXT1old");
        EXPECT_EQ(ReadFile(oldBackup), backup);
        EXPECT_EQ(ListDir(work), (std::set<std::string>{"doc.fxt", "doc.fx_"}));
        EXPECT_TRUE(ListDir(steps.tempDir).empty());
    }

    std::string document = work + "/doc.fxt";
    std::string oldBackup = work + "/doc.fx_";
};

struct StepCase {
    FileStep step;
    int messageId;
    bool backupMade; // the step comes after the backup is in place
    bool atCreate = false;
    bool move = false; // the temporary file is renamed into place rather than copied
    bool link = false; // the backup is a second name for the old file rather than a copy
    friend void PrintTo(const StepCase& c, std::ostream* os) {
        *os << tessane::FileStepName(c.step) << (c.atCreate ? " (making the file)" : "")
            << (c.move ? " (moved)" : "") << (c.link ? " (linked)" : "");
    }
};

class FailingStepTest : public FixtureSaveTest, public testing::WithParamInterface<StepCase> {};

TEST_P(FailingStepTest, LeavesTheTargetIntactAndReportsFailure) {
    steps.failAt = GetParam().step;
    steps.failAtCreate = GetParam().atCreate;
    steps.allowMove = GetParam().move;
    steps.allowLink = GetParam().link;
    steps.error = ENOSPC;
    SaveOutcome outcome = Save(document, document, "new", true);

    EXPECT_EQ(outcome.code, CPI_ERR_FILEIO);
    EXPECT_EQ(outcome.messageId, GetParam().messageId);
    EXPECT_NE(outcome.reason.find(tessane::FileStepName(GetParam().step)), std::string::npos)
        << outcome.reason;
    EXPECT_NE(outcome.reason.find("No space left on device"), std::string::npos) << outcome.reason;
    // A failure after the backup step leaves the new backup of the old file.
    ExpectNothingChanged(GetParam().backupMade ? "FXT1old" : "FXT1older");
}

INSTANTIATE_TEST_SUITE_P(
    Steps, FailingStepTest,
    testing::Values(StepCase{FileStep::TempFile, 44, false}, StepCase{FileStep::BackupCopy, 42, false, true},
                    StepCase{FileStep::BackupCopy, 42, false}, StepCase{FileStep::BackupSync, 42, false},
                    StepCase{FileStep::BackupPermissions, 42, false},
                    StepCase{FileStep::BackupRename, 42, false},
                    StepCase{FileStep::TargetCopy, 42, true, true}, StepCase{FileStep::TargetCopy, 42, true},
                    StepCase{FileStep::TargetSync, 42, true}, StepCase{FileStep::TargetPermissions, 42, true},
                    StepCase{FileStep::TargetRename, 42, true},
                    StepCase{FileStep::TargetSync, 42, true, false, true},
                    StepCase{FileStep::TargetPermissions, 42, true, false, true},
                    StepCase{FileStep::TargetRename, 42, true, false, true},
                    StepCase{FileStep::BackupCopy, 42, false, true, false, true},
                    StepCase{FileStep::BackupCopy, 42, false, false, false, true},
                    StepCase{FileStep::BackupRename, 42, false, false, false, true},
                    StepCase{FileStep::TargetRename, 42, true, false, true, true}),
    [](const auto& info) {
        std::string name = tessane::FileStepName(info.param.step) +
                           std::string(info.param.atCreate ? "_create" : "") +
                           std::string(info.param.move ? "_moved" : "") +
                           std::string(info.param.link ? "_linked" : "");
        for (char& c : name)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

// One file system mounted twice: the rename of the temporary file is refused
// across the mounts, and the new image is copied instead.
TEST_F(FixtureSaveTest, RenameAcrossMountsFallsBackToTheCopy) {
    steps.failAt = FileStep::TargetRename;
    steps.failOnce = true;
    steps.error = EXDEV;
    SaveOutcome outcome = Save(document, document, "new", true);
    ASSERT_EQ(outcome.code, CPI_OK) << outcome.reason;
    EXPECT_EQ(ReadFile(document), "FXT1new");
    EXPECT_EQ(ReadFile(oldBackup), "FXT1old");
    EXPECT_TRUE(ListDir(steps.tempDir).empty());
    EXPECT_EQ(ListDir(work).size(), 2u);
}

struct RefusalCase {
    const char* comment;
    int32_t code;
    int messageId;
    friend void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.comment; }
};

class PluginRefusalTest : public FixtureSaveTest, public testing::WithParamInterface<RefusalCase> {};

TEST_P(PluginRefusalTest, ReportsThePluginsCodeAndTouchesNothing) {
    SaveOutcome outcome = Save(document, document, GetParam().comment, true);
    EXPECT_EQ(outcome.code, GetParam().code);
    EXPECT_EQ(outcome.messageId, GetParam().messageId);
    ExpectNothingChanged();
}

INSTANTIATE_TEST_SUITE_P(Codes, PluginRefusalTest,
                         testing::Values(RefusalCase{"refuse", CPI_ERR_WRITE, 42},
                                         RefusalCase{"cancel", CPI_ERR_CANCEL, 46}));

TEST_F(FixtureSaveTest, MissingTemporaryDirectoryIsAFileError) {
    steps.tempDir = root / "no-such-dir";
    SaveOutcome outcome = Save(document, document, "new", true);
    EXPECT_EQ(outcome.code, CPI_ERR_FILEIO);
    EXPECT_EQ(outcome.messageId, 44);
    EXPECT_NE(outcome.reason.find("no-such-dir"), std::string::npos) << outcome.reason;
    EXPECT_EQ(ReadFile(document), "FXT1old");
}

TEST_F(FixtureSaveTest, TargetThatIsADirectoryIsRefusedBeforeAnythingIsWritten) {
    fs::create_directory(work + "/dir.fxt");
    SaveOutcome outcome = Save(document, work + "/dir.fxt", "new", true);
    EXPECT_EQ(outcome.code, CPI_ERR_FILEIO);
    EXPECT_TRUE(fs::is_directory(work + "/dir.fxt"));
    EXPECT_FALSE(fs::exists(work + "/dir.fx_"));
    EXPECT_TRUE(ListDir(steps.tempDir).empty());
}

// Hundreds of saves leave the process with the descriptors and modules it
// had: every file is closed and every plug-in module freed again.
TEST_F(FixtureSaveTest, ManySavesLeakNoDescriptorOrModule) {
    auto openDescriptors = [] { return ListDir("/proc/self/fd").size(); };
    auto mappedPlugins = [] {
        std::ifstream maps("/proc/self/maps");
        size_t count = 0;
        for (std::string line; std::getline(maps, line);)
            count += line.find(".cpi") != std::string::npos;
        return count;
    };
    ASSERT_EQ(Save(document, document, "warm-up", true).code, CPI_OK);
    const size_t descriptors = openDescriptors();
    for (int i = 0; i < 300; ++i)
        ASSERT_EQ(Save(document, document, "save " + std::to_string(i), i % 2 == 0).code, CPI_OK);
    EXPECT_EQ(openDescriptors(), descriptors);
    EXPECT_EQ(mappedPlugins(), 0u);
    EXPECT_EQ(CommentOf(document), "save 299");
}

} // namespace
