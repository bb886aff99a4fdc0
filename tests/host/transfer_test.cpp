// CTessane comment transfer: the choice of plug-in, opening, saving,
// configuring and closing, with the state left alone on every failure.
#include <algorithm>
#include <climits>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "host_test_support.h"
#include "tessane_data.h"

using namespace hosttest;

namespace {

// The registry every test here starts from, in this order.
enum FixtureIndex { kAlpha, kJpegish, kNoGetComment, kWriteFails, kBadBlock };

class Transfer : public testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"alpha", "jpegish", "no_getcomment", "write_fails", "bad_block"})
            ASSERT_TRUE(host.AddPlugin(FixturePath(name))) << name;
        host.Dll.Unload(); // the last accepted plug-in is not part of any test
    }

    // Writes name with bytes into the temporary directory; returns its path.
    std::string file(const std::string& name, const std::string& bytes) {
        std::string path = dir / name;
        WriteFile(path, bytes);
        return path;
    }

    // A sparse file one byte too large for a plug-in.
    std::string tooLargeFile(const std::string& name) {
        std::string path = file(name, "AAA:");
        EXPECT_EQ(truncate(path.c_str(), static_cast<off_t>(CTessane::MaxImageSize) + 1), 0);
        return path;
    }

    // Opens a good file so that failures have a current file to keep.
    void openFirstFile() {
        firstFile = file("first.aaa", "AAA:first comment");
        ASSERT_EQ(host.OpenFile(nullptr, firstFile, false), CPI_OK);
    }

    void expectFirstFileCurrent() {
        EXPECT_EQ(host.FileName, firstFile);
        EXPECT_EQ(host.Comment, "first comment");
        EXPECT_EQ(host.FileInfo, "Fixture image\r\n17 bytes");
        EXPECT_EQ(host.PluginIndex, kAlpha);
    }

    TempDir dir;
    CTessane host;
    std::string firstFile;
};

} // namespace

// ---- Choice by extension ------------------------------------------------------

struct ExtensionCase {
    const char* fileName;
    int32_t expected;
    friend void PrintTo(const ExtensionCase& c, std::ostream* os) { *os << c.fileName; }
};

class TransferByExtension : public Transfer, public testing::WithParamInterface<ExtensionCase> {};

TEST_P(TransferByExtension, ChoosesTheFirstFilterHoldingThePattern) {
    EXPECT_EQ(host.FindPluginByExtension(GetParam().fileName), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, TransferByExtension,
    testing::Values(ExtensionCase{"/pics/photo.JPEG", kJpegish}, // capitals
                    ExtensionCase{"/pics/photo.jp", kJpegish},    // a substring of "*.jpg"
                    ExtensionCase{"/pics/photo.aaa", kAlpha},
                    ExtensionCase{"/pics/noext", kAlpha},         // "*" is in every filter
                    ExtensionCase{"/pics/dir.jpg/noext", kAlpha}, // the dot is in a directory name
                    ExtensionCase{"/pics/archive.jpg.aaa", kAlpha},
                    ExtensionCase{"/pics/\xe5\x86\x99\xe7\x9c\x9f.JPG", kJpegish}, // UTF-8 name
                    ExtensionCase{"/pics/x.nogc", kNoGetComment},
                    ExtensionCase{"/pics/photo.png", CPI_ERR_NOPLUGIN}));

// ---- Choice by content -----------------------------------------------------------

struct ContentCase {
    const char* name;
    std::string bytes;
    int32_t expected;
    friend void PrintTo(const ContentCase& c, std::ostream* os) { *os << c.name; }
};

class TransferByContent : public Transfer, public testing::WithParamInterface<ContentCase> {};

TEST_P(TransferByContent, AsksEachPluginInOrderWithTheFileHead) {
    const ContentCase& c = GetParam();
    FixtureLog log;
    std::string path = file("probe.jpg", c.bytes);
    EXPECT_EQ(host.FindPluginByContent(path), c.expected);
    EXPECT_FALSE(host.Dll.IsLoaded());
    // Each plug-in asked saw the file's true length, at most 2048 bytes.
    std::string expectedLine = "IsSupported " + std::to_string(std::min<size_t>(c.bytes.size(), 2048));
    auto asked = log.LinesStartingWith("IsSupported ");
    size_t expectedAsked = c.expected >= 0 ? static_cast<size_t>(c.expected) + 1 : 5;
    EXPECT_EQ(asked, std::vector<std::string>(expectedAsked, expectedLine));
}

INSTANTIATE_TEST_SUITE_P(Files, TransferByContent,
                         testing::Values(ContentCase{"empty", "", CPI_ERR_NOPLUGIN},
                                         ContentCase{"short_unknown", "GIF8", CPI_ERR_NOPLUGIN},
                                         ContentCase{"alpha", "AAA:hello", kAlpha},
                                         ContentCase{"jpegish", "JPX:hello", kJpegish},
                                         ContentCase{"long_jpegish", "JPX:" + std::string(5000, 'x'), kJpegish}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Transfer, APluginThatCannotBeLoadedOrProbedEndsTheContentSearch) {
    // A copy of alpha, recorded and then removed, ahead of jpegish.
    std::string vanishing = dir / "vanishing.cpi";
    WriteFile(vanishing, ReadFile(FixturePath("alpha")));
    for (const std::string& first : {vanishing, FixturePath("no_issupported")}) {
        SCOPED_TRACE(first);
        CTessane probing;
        ASSERT_TRUE(probing.AddPlugin(first));
        ASSERT_TRUE(probing.AddPlugin(FixturePath("jpegish")));
        if (first == vanishing)
            fs::remove(vanishing);
        FixtureLog log;
        EXPECT_EQ(probing.FindPluginByContent(file("x.jpg", "JPX:taken by the second")), CPI_ERR_NOPLUGIN);
        EXPECT_TRUE(log.LinesStartingWith("IsSupported").empty());
        EXPECT_FALSE(probing.Dll.IsLoaded());
    }
}

// ---- Opening -------------------------------------------------------------------------

TEST_F(Transfer, OpenFileMakesTheFileCurrentAndReleasesEverything) {
    FixtureLog log;
    std::string path = file("pic.aaa", "AAA:hello world");
    ASSERT_EQ(host.OpenFile(nullptr, path, false), CPI_OK);
    EXPECT_EQ(host.FileName, path);
    EXPECT_EQ(host.Comment, "hello world");
    EXPECT_EQ(host.FileInfo, "Fixture image\r\n15 bytes");
    EXPECT_EQ(host.PluginIndex, kAlpha);
    EXPECT_FALSE(host.Dll.IsLoaded());
    EXPECT_FALSE(IsModuleLoaded(FixturePath("alpha")));
    BlockHandles blocks = LastBlocks(log);
    EXPECT_EQ(LocalLock(blocks.comment), nullptr) << "comment block not freed";
    EXPECT_EQ(LocalLock(blocks.info), nullptr) << "info block not freed";
}

TEST_F(Transfer, ByContentTheBytesOutweighTheExtension) {
    std::string path = file("really_jpegish.aaa", "JPX:x");
    ASSERT_EQ(host.OpenFile(nullptr, path, true), CPI_OK);
    EXPECT_EQ(host.PluginIndex, kJpegish);
    EXPECT_EQ(host.Comment, "x");
}

TEST_F(Transfer, AnEmptyFileByExtensionReachesGetCommentWithSizeZero) {
    FixtureLog log;
    EXPECT_EQ(host.OpenFile(nullptr, file("empty.aaa", ""), false), CPI_ERR_FORMAT);
    EXPECT_EQ(log.LinesStartingWith("GetComment"), std::vector<std::string>{"GetComment 0"});
}

TEST_F(Transfer, AnotherSuccessfulOpenReplacesTheCurrentFile) {
    openFirstFile();
    std::string second = file("second.jpeg", "JPX:second");
    ASSERT_EQ(host.OpenFile(nullptr, second, false), CPI_OK);
    EXPECT_EQ(host.FileName, second);
    EXPECT_EQ(host.Comment, "second");
    EXPECT_EQ(host.PluginIndex, kJpegish);
    host.CloseFile();
    EXPECT_EQ(host.FileName, "");
    EXPECT_EQ(host.Comment, "");
    EXPECT_EQ(host.FileInfo, "");
    EXPECT_EQ(host.PluginIndex, -1);
}

enum class Kind { Missing, Text, Directory, NamedPipe, TooLarge, LockedByAnother };

struct FailureCase {
    const char* name;
    const char* fileName;
    Kind kind;
    const char* bytes;
    bool byContent;
    int32_t expected;
    friend void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }
};

class TransferOpenFailure : public Transfer, public testing::WithParamInterface<FailureCase> {};

TEST_P(TransferOpenFailure, LeavesTheCurrentFileAndNoModuleLoaded) {
    const FailureCase& c = GetParam();
    openFirstFile();
    std::string path = dir / c.fileName;
    int lockHolder = -1;
    switch (c.kind) {
    case Kind::Missing:
        break;
    case Kind::Text:
        WriteFile(path, c.bytes);
        break;
    case Kind::Directory:
        fs::create_directory(path);
        break;
    case Kind::NamedPipe: // reading it would wait for a writer forever
        ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
        break;
    case Kind::TooLarge:
        path = tooLargeFile(c.fileName);
        break;
    case Kind::LockedByAnother: // a writer holding the file exclusively
        WriteFile(path, c.bytes);
        lockHolder = open(path.c_str(), O_RDWR | O_CLOEXEC);
        ASSERT_EQ(flock(lockHolder, LOCK_EX), 0);
        break;
    }
    EXPECT_EQ(host.OpenFile(nullptr, path, c.byContent), c.expected);
    expectFirstFileCurrent();
    EXPECT_FALSE(host.Dll.IsLoaded());
    if (lockHolder >= 0)
        close(lockHolder);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TransferOpenFailure,
    testing::Values(
        FailureCase{"no_plugin_for_extension", "x.png", Kind::Text, "AAA:x", false, CPI_ERR_NOPLUGIN},
        FailureCase{"no_plugin_for_content", "x.aaa", Kind::Text, "GIF89a", true, CPI_ERR_NOPLUGIN},
        FailureCase{"not_the_plugins_format", "x.aaa", Kind::Text, "GIF89a", false, CPI_ERR_FORMAT},
        FailureCase{"block_cannot_be_locked", "x.bad", Kind::Text, "AAA:x", false, CPI_ERR_MEMORY},
        FailureCase{"missing_file", "missing.aaa", Kind::Missing, "", false, CPI_ERR_FILEIO},
        FailureCase{"missing_file_by_content", "missing.aaa", Kind::Missing, "", true, CPI_ERR_FILEIO},
        FailureCase{"directory", "folder.aaa", Kind::Directory, "", false, CPI_ERR_FILEIO},
        FailureCase{"directory_by_content", "folder.aaa", Kind::Directory, "", true, CPI_ERR_FILEIO},
        FailureCase{"named_pipe", "pipe.aaa", Kind::NamedPipe, "", false, CPI_ERR_FILEIO},
        FailureCase{"named_pipe_by_content", "pipe.aaa", Kind::NamedPipe, "", true, CPI_ERR_FILEIO},
        FailureCase{"file_of_2_gib", "big.aaa", Kind::TooLarge, "", false, CPI_ERR_FILEIO},
        FailureCase{"locked_by_a_writer", "locked.aaa", Kind::LockedByAnother, "AAA:x", false, CPI_ERR_FILEIO},
        FailureCase{"plugin_lacks_getcomment", "x.nogc", Kind::Text, "AAA:x", false, CPI_ERR_PLUGIN}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Transfer, APluginFileRemovedSinceStartUpFailsOpenAndSave) {
    std::string copy = dir / "copy.cpi";
    WriteFile(copy, ReadFile(FixturePath("alpha")));
    CTessane local;
    ASSERT_TRUE(local.AddPlugin(copy));
    std::string path = file("pic.aaa", "AAA:kept");
    ASSERT_EQ(local.OpenFile(nullptr, path, false), CPI_OK);
    fs::remove(copy);
    EXPECT_EQ(local.OpenFile(nullptr, file("other.aaa", "AAA:other"), false), CPI_ERR_PLUGIN);
    EXPECT_EQ(local.SaveFile(nullptr, dir / "out.aaa", "new"), CPI_ERR_PLUGIN);
    EXPECT_FALSE(local.ConfigurePlugin(nullptr, 0, CPI_CONFIG_ABOUT));
    EXPECT_EQ(local.FileName, path);
    EXPECT_EQ(local.Comment, "kept");
    EXPECT_FALSE(local.Dll.IsLoaded());
}

// ---- Saving ----------------------------------------------------------------------------

struct SaveCase {
    const char* name;
    std::string comment;
    std::string passed; // the text WriteComment receives
    friend void PrintTo(const SaveCase& c, std::ostream* os) { *os << c.name; }
};

class TransferSave : public Transfer, public testing::WithParamInterface<SaveCase> {};

TEST_P(TransferSave, PassesTheTextAndItsLengthInBytes) {
    const SaveCase& c = GetParam();
    openFirstFile();
    FixtureLog log;
    std::string target = dir / "target.aaa";
    ASSERT_EQ(host.SaveFile(nullptr, target, c.comment), CPI_OK);
    std::string expectedCall = "WriteComment 17 " + std::to_string(c.passed.size()) + " terminated [" + c.passed + "]";
    EXPECT_EQ(log.LinesStartingWith("WriteComment"), std::vector<std::string>{expectedCall});
    EXPECT_EQ(ReadFile(target), "AAA:" + c.passed);
    expectFirstFileCurrent();
    EXPECT_FALSE(host.Dll.IsLoaded());
}

INSTANTIATE_TEST_SUITE_P(
    Comments, TransferSave,
    testing::Values(SaveCase{"plain", "new text", "new text"}, SaveCase{"empty", "", ""},
                    SaveCase{"utf8", "\xe3\x82\xb3\xe3\x83\xa1\xe3\x83\xb3\xe3\x83\x88", // four kana, 12 bytes
                             "\xe3\x82\xb3\xe3\x83\xa1\xe3\x83\xb3\xe3\x83\x88"},
                    SaveCase{"zero_byte_ends_the_text", std::string("ab\0cd", 5), "ab"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Transfer, SaveReadsTheCurrentFileAsItIsOnDiskNow) {
    openFirstFile();
    WriteFile(firstFile, "AAA:changed since opening"); // 25 bytes
    FixtureLog log;
    ASSERT_EQ(host.SaveFile(nullptr, dir / "target.aaa", "x"), CPI_OK);
    EXPECT_EQ(log.LinesStartingWith("WriteComment"), std::vector<std::string>{"WriteComment 25 1 terminated [x]"});
}

TEST_F(Transfer, SaveFailuresReportTheirCodeAndChangeNothing) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        int32_t expected;
    };
    const Case cases[] = {
        {"plugin_refuses_write",
         [&] { ASSERT_EQ(host.OpenFile(nullptr, file("x.wfail", "AAA:x"), false), CPI_OK); }, CPI_ERR_WRITE},
        {"current_file_removed",
         [&] {
             openFirstFile();
             fs::remove(firstFile);
         },
         CPI_ERR_FILEIO},
        {"current_file_grew_to_2_gib",
         [&] {
             openFirstFile();
             tooLargeFile("first.aaa");
         },
         CPI_ERR_FILEIO},
        {"no_current_file", [&] { host.CloseFile(); }, CPI_ERR_NOPLUGIN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.arrange();
        std::string fileName = host.FileName, comment = host.Comment;
        int32_t index = host.PluginIndex;
        FixtureLog log;
        std::string target = dir / (std::string(c.name) + ".out");
        EXPECT_EQ(host.SaveFile(nullptr, target, "new"), c.expected);
        EXPECT_FALSE(fs::exists(target));
        EXPECT_EQ(host.FileName, fileName);
        EXPECT_EQ(host.Comment, comment);
        EXPECT_EQ(host.PluginIndex, index);
        EXPECT_FALSE(host.Dll.IsLoaded());
        if (c.expected != CPI_ERR_WRITE) {
            EXPECT_TRUE(log.LinesStartingWith("WriteComment").empty());
        }
    }
}

// ---- Configuring ------------------------------------------------------------------------

TEST_F(Transfer, ConfigurePluginAsksFlagsThenCallsAndKeepsTheModule) {
    FixtureLog log;
    int ownerWindow = 0;
    EXPECT_TRUE(host.ConfigurePlugin(&ownerWindow, kAlpha, CPI_CONFIG_SETTINGS));
    EXPECT_EQ(log.LinesStartingWith("ConfigurationDlg"),
              (std::vector<std::string>{"ConfigurationDlg null 2", "ConfigurationDlg owner 1"}));
    EXPECT_TRUE(host.Dll.IsLoaded());
    EXPECT_TRUE(IsModuleLoaded(FixturePath("alpha")));

    EXPECT_FALSE(host.ConfigurePlugin(&ownerWindow, kJpegish, CPI_CONFIG_SETTINGS)) << "not offered";
    EXPECT_FALSE(IsModuleLoaded(FixturePath("alpha"))) << "the next load frees the module kept";
}

TEST_F(Transfer, ConfigurePluginRefusesAnInvalidIndexWithoutLoading) {
    for (int32_t index : {-1, 5, INT32_MIN}) {
        SCOPED_TRACE(index);
        EXPECT_FALSE(host.ConfigurePlugin(nullptr, index, CPI_CONFIG_ABOUT));
        EXPECT_FALSE(host.Dll.IsLoaded());
    }
}
