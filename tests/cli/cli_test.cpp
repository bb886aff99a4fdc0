// tessane-cli as a user runs it: a child process in a private copy of the
// program directory (its own plug-ins and settings file), with its own
// temporary directory so that a stray temporary file shows.
#include <filesystem>

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>

#include "cli_settings.h"
#include "comment_text.h"
#include "json_bytes.h"
#include "message_table.h"
#include "sample_images.h"
#include "test_files.h"

namespace {

using namespace clitest;
namespace fs = std::filesystem;

struct Result {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string Message(int id) {
    return tessane::MessageText(id).toStdString();
}

size_t CountLines(const std::string& text) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

class CliTest : public testing::Test {
protected:
    void SetUp() override {
        for (const std::string& dir : {programDir, filesDir, tempDir})
            fs::create_directory(dir);
        const std::string bin = BinDir();
        for (const char* name : {"tessane-cli", "libtessane_platform.so", "gif.cpi", "jpeg.cpi"})
            LinkOrCopy(bin + "/" + name, programDir + "/" + name);
        LinkOrCopy(std::string(TSN_CLI_FIXTURE_DIR) + "/fixture.cpi", programDir + "/fixture.cpi");
    }

    static void LinkOrCopy(const std::string& from, const std::string& to) {
        std::error_code error;
        fs::create_hard_link(from, to, error);
        if (error)
            fs::copy_file(from, to);
    }

    Result Run(const std::vector<std::string>& args, const std::string& input = {}) {
        QProcess process;
        process.setProgram(QString::fromStdString(programDir + "/tessane-cli"));
        QStringList arguments;
        for (const std::string& arg : args)
            arguments << QString::fromStdString(arg);
        process.setArguments(arguments);
        process.setWorkingDirectory(QString::fromStdString(filesDir));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TMPDIR", QString::fromStdString(tempDir));
        process.setProcessEnvironment(environment);
        process.start();
        EXPECT_TRUE(process.waitForStarted());
        process.write(input.data(), static_cast<qint64>(input.size()));
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(300000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        return {process.exitCode(), process.readAllStandardOutput().toStdString(),
                process.readAllStandardError().toStdString()};
    }

    std::string File(const std::string& name) const { return filesDir + "/" + name; }
    void Settings(const std::string& ini) { WriteFile(programDir + "/tessane.ini", ini); }
    std::string CommentOf(const std::string& name) {
        Result r = Run({"get", name});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return r.out;
    }

    ScratchDir root;
    std::string programDir = root / "bin";
    std::string filesDir = root / "files";
    std::string tempDir = root / "tmp";
};

// ---- Usage ----------------------------------------------------------------

class UsageErrorTest : public CliTest, public testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(UsageErrorTest, ExitsWithTwoAndTouchesNothing) {
    WriteFile(File("a.jpg"), TinyJpeg());
    WriteFile(File("zero.txt"), std::string("a\0b", 3));
    Result r = Run(GetParam());
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_FALSE(r.err.empty());
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(ReadFile(File("a.jpg")), TinyJpeg());
}

INSTANTIATE_TEST_SUITE_P(
    Commands, UsageErrorTest,
    testing::Values(std::vector<std::string>{}, std::vector<std::string>{"frobnicate"},
                    std::vector<std::string>{"show"}, std::vector<std::string>{"show", "--bogus", "a.jpg"},
                    std::vector<std::string>{"get", "a.jpg", "a.jpg"},
                    std::vector<std::string>{"set", "a.jpg"},
                    std::vector<std::string>{"set", "a.jpg", "--text", "x", "--stdin"},
                    std::vector<std::string>{"set", "--text", "x"},
                    std::vector<std::string>{"set", "a.jpg", "--text-file", "zero.txt"}));

TEST_F(CliTest, HelpAndVersion) {
    Result help = Run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* command : {"plugins", "show", "get", "set", "clear"})
        EXPECT_NE(help.out.find(command), std::string::npos) << command;
    Result version = Run({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "tessane-cli " TSN_VERSION "\n");
}

TEST_F(CliTest, PluginsJsonListsEveryAcceptedPlugin) {
    Result r = Run({"plugins", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const QJsonArray plugins = QJsonDocument::fromJson(QByteArray::fromStdString(r.out))["plugins"].toArray();
    std::map<std::string, std::pair<std::string, int>> byType;
    for (const QJsonValue& plugin : plugins)
        byType[plugin["type"].toString().toStdString()] = {plugin["filter"].toString().toStdString(),
                                                           plugin["flags"].toInt()};
    EXPECT_EQ(byType["GIF Image"], std::make_pair(std::string("*.gif"), 17));
    EXPECT_EQ(byType["JPEG Image"], std::make_pair(std::string("*.jpg;*.jpeg"), 1));
    EXPECT_EQ(byType["Fixture Image"], std::make_pair(std::string("*.fxt"), 1));
}

TEST_F(CliTest, NoPluginIsMessageFifty) {
    for (const char* name : {"gif.cpi", "jpeg.cpi", "fixture.cpi"})
        fs::remove(programDir + "/" + name);
    Result r = Run({"plugins"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(Message(50).substr(0, Message(50).find('\n'))), std::string::npos) << r.err;
}

// ---- Round trips through the real plug-ins ---------------------------------

struct RoundTripCase {
    const char* name;
    std::string extension;
    std::string image;
    std::string source; // --text, --text-file or --stdin
    friend void PrintTo(const RoundTripCase& c, std::ostream* os) { *os << c.name; }
};

class RoundTripTest : public CliTest, public testing::WithParamInterface<RoundTripCase> {};

// The comment comes back byte for byte, and clearing it gives back the file
// the plug-in started from: nothing else in the file was changed.
TEST_P(RoundTripTest, SetThenGetGivesTheBytesSetAndClearRestoresTheFile) {
    const std::string name = "photo" + GetParam().extension;
    WriteFile(File(name), GetParam().image);
    const std::string source = GetParam().source;
    const std::string comment = source == "--text" ? "Gr\xC3\xBC\xC3\x9F"
                                                     "e, \xE5\x86\x99\xE7\x9C\x9F"
                                                   : "caf\xE9\r\nline two\r\n\x82\xA0 end";
    std::vector<std::string> args{"set", name, "--no-backup", source};
    std::string input;
    if (source == "--text") {
        args.push_back(comment);
    } else if (source == "--text-file") {
        WriteFile(File("comment.txt"), comment);
        args.push_back("comment.txt");
    } else {
        input = comment;
    }

    Result set = Run(args, input);
    ASSERT_EQ(set.exitCode, 0) << set.err;
    EXPECT_EQ(CommentOf(name), comment);

    Result clear = Run({"clear", name, "--no-backup"});
    ASSERT_EQ(clear.exitCode, 0) << clear.err;
    EXPECT_EQ(ReadFile(File(name)), GetParam().image);
    EXPECT_TRUE(ListDir(tempDir).empty());
}

INSTANTIATE_TEST_SUITE_P(FormatsAndSources, RoundTripTest,
                         testing::Values(RoundTripCase{"gif_text", ".gif", TinyGif(), "--text"},
                                         RoundTripCase{"gif_file", ".gif", TinyGif(), "--text-file"},
                                         RoundTripCase{"gif_stdin", ".gif", TinyGif(), "--stdin"},
                                         RoundTripCase{"jpeg_text", ".jpg", TinyJpeg(), "--text"},
                                         RoundTripCase{"jpeg_file", ".jpg", TinyJpeg(), "--text-file"},
                                         RoundTripCase{"jpeg_stdin", ".jpg", TinyJpeg(), "--stdin"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliTest, ShowJsonCarriesACommentThatIsNotUtf8Losslessly) {
    const std::string comment = "caf\xE9 \x82\xA0";
    WriteFile(File("a.jpg"), TinyJpeg());
    ASSERT_EQ(Run({"set", "a.jpg", "--stdin"}, comment).exitCode, 0);
    WriteFile(File("b.gif"), TinyGif());
    ASSERT_EQ(Run({"set", "b.gif", "--text", "plain"}).exitCode, 0);

    Result r = Run({"show", "--json", "a.jpg", "b.gif"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const QJsonArray files = QJsonDocument::fromJson(QByteArray::fromStdString(r.out))["files"].toArray();
    ASSERT_EQ(files.size(), 2);
    EXPECT_EQ(files[0]["file"].toString(), "a.jpg");
    EXPECT_EQ(files[0]["type"].toString(), "JPEG Image");
    EXPECT_EQ(QByteArray::fromBase64(files[0]["commentBase64"].toString().toLatin1()).toStdString(), comment);
    EXPECT_TRUE(files[0]["description"].toString().startsWith("JPEG(JFIF) Image\r\n"));
    EXPECT_EQ(files[1]["comment"].toString(), "plain");
    EXPECT_FALSE(files[1].toObject().contains("commentBase64"));
}

TEST_F(CliTest, ShowTextListsTheDescriptionAndEveryCommentLine) {
    WriteFile(File("a.gif"), TinyGif());
    ASSERT_EQ(Run({"set", "a.gif", "--stdin"}, "one\r\ntwo").exitCode, 0);
    Result r = Run({"show", "a.gif"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "a.gif:\n"
                     "  GIF89a Image\n"
                     "  Pixel Size : 1 x 1 (2 color)\n"
                     "  File Size  : 47 byte\n" // 35 bytes and a 12-byte comment extension
                     "  Comment    : one\n"
                     "               two\n");
}

// A Shift-JIS comment is shown as readable text, and get still gives its bytes.
TEST_F(CliTest, ShowDecodesAShiftJisCommentAndGetKeepsItsBytes) {
    const std::string sjis = "\x8D\xF7\x82\xCC\x89\xD4"; // "桜の花" in Shift-JIS
    WriteFile(File("a.jpg"), TinyJpeg());
    ASSERT_EQ(Run({"set", "a.jpg", "--stdin"}, sjis).exitCode, 0);
    EXPECT_NE(Run({"show", "a.jpg"}).out.find("  Comment    : \u685C\u306E\u82B1\n"), std::string::npos);
    EXPECT_EQ(Run({"get", "a.jpg"}).out, sjis);
    const QJsonObject entry =
        QJsonDocument::fromJson(QByteArray::fromStdString(Run({"show", "--json", "a.jpg"}).out))["files"][0]
            .toObject();
    EXPECT_EQ(entry["comment"].toString(), QString::fromUtf8("\u685C\u306E\u82B1"));
    EXPECT_EQ(entry["commentEncoding"].toString(), "Shift_JIS");
    EXPECT_EQ(QByteArray::fromBase64(entry["commentBase64"].toString().toLatin1()).toStdString(), sjis);
}

struct CommentTextCase {
    const char* name;
    std::string bytes;
    std::string utf8;
    std::string encoding;
};

class CommentTextTest : public testing::TestWithParam<CommentTextCase> {};

TEST_P(CommentTextTest, DecodesLikeTheEditor) {
    const tessane::cli::CommentText text = tessane::cli::CommentAsUtf8(GetParam().bytes);
    EXPECT_EQ(text.utf8, GetParam().utf8);
    EXPECT_EQ(text.encoding, GetParam().encoding);
    EXPECT_EQ(tessane::cli::IsValidUtf8(GetParam().bytes), GetParam().encoding == "UTF-8");
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, CommentTextTest,
    testing::Values(CommentTextCase{"empty", "", "", "UTF-8"},
                    CommentTextCase{"utf8", "\xE6\xA1\x9C", "\xE6\xA1\x9C", "UTF-8"},
                    CommentTextCase{"shift_jis", "\x8D\xF7", "\xE6\xA1\x9C", "Shift_JIS"},
                    CommentTextCase{"half_width_katakana", "\xB1", "\xEF\xBD\xB1", "Shift_JIS"},
                    CommentTextCase{"utf8_surrogate_is_not_utf8", "\xED\xA0\x80", "\xED\xA0\x80", ""},
                    CommentTextCase{"cut_lead_byte", "a\x82", "a\x82", ""},
                    CommentTextCase{"overlong_utf8_is_katakana", "\xC0\xAF", "\xEF\xBE\x80\xEF\xBD\xAF", "Shift_JIS"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Failures -----------------------------------------------------------------

TEST_F(CliTest, EachFailedFileGetsOneErrorLineAndTheOthersAreDone) {
    WriteFile(File("good.jpg"), TinyJpeg());
    WriteFile(File("notes.txt"), "text");
    Result r = Run({"set", "good.jpg", "missing.jpg", "notes.txt", "--text", "hi"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(CountLines(r.err), 2u) << r.err;
    EXPECT_NE(r.err.find("missing.jpg: " + Message(44)), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("notes.txt: " + Message(40)), std::string::npos) << r.err;
    EXPECT_EQ(CommentOf("good.jpg"), "hi");

    Result show = Run({"show", "good.jpg", "missing.jpg"});
    EXPECT_EQ(show.exitCode, 1);
    EXPECT_NE(show.out.find("good.jpg:"), std::string::npos);
    EXPECT_EQ(CountLines(show.err), 1u) << show.err;
}

TEST_F(CliTest, Gif87aRefusalShowsThePluginsWarningAndFails) {
    Settings("[gif.cpi]\n87a=0\n");
    WriteFile(File("old.gif"), TinyGif("87a"));
    Result r = Run({"set", "old.gif", "--text", "x"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("GIF87a"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("old.gif: " + Message(46)), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(File("old.gif")), TinyGif("87a"));
    EXPECT_EQ(ListDir(filesDir).size(), 1u);
    EXPECT_TRUE(ListDir(tempDir).empty());
}

TEST_F(CliTest, CommentLongerThanTheFormatHoldsFailsAndLeavesTheFile) {
    WriteFile(File("a.jpg"), TinyJpeg());
    WriteFile(File("long.txt"), std::string(70000, 'x'));
    Result r = Run({"set", "a.jpg", "--text-file", "long.txt"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("a.jpg: " + Message(42)), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(File("a.jpg")), TinyJpeg());
    EXPECT_FALSE(fs::exists(File("a.jp_")));
}

struct RefusalCase {
    const char* comment;
    int messageId;
    const char* alsoShown;
    friend void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.comment; }
};

class FixtureRefusalTest : public CliTest, public testing::WithParamInterface<RefusalCase> {};

TEST_P(FixtureRefusalTest, IsAFailedFileWithItsMessage) {
    WriteFile(File("doc.fxt"), "FXT1old");
    Result r = Run({"set", "doc.fxt", "--text", GetParam().comment});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("doc.fxt: " + Message(GetParam().messageId)), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(GetParam().alsoShown), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(File("doc.fxt")), "FXT1old");
    EXPECT_EQ(ListDir(filesDir).size(), 1u);
    EXPECT_TRUE(ListDir(tempDir).empty());
}

INSTANTIATE_TEST_SUITE_P(Codes, FixtureRefusalTest,
                         testing::Values(RefusalCase{"refuse", 42, "doc.fxt"},
                                         RefusalCase{"cancel", 46,
                                                     "Fixture: The fixture declines to write."}));

// ---- Settings ---------------------------------------------------------------

struct SettingsCase {
    const char* name;
    std::string ini;
    std::vector<std::string> flags;
    bool backupExpected; // for the by-content cases: whether the file opens
    friend void PrintTo(const SettingsCase& c, std::ostream* os) { *os << c.name; }
};

class BackupSettingTest : public CliTest, public testing::WithParamInterface<SettingsCase> {};

TEST_P(BackupSettingTest, DecidesWhetherABackupIsMade) {
    Settings(GetParam().ini);
    WriteFile(File("a.jpg"), TinyJpeg());
    std::vector<std::string> args{"set", "a.jpg", "--text", "new"};
    args.insert(args.end(), GetParam().flags.begin(), GetParam().flags.end());
    Result r = Run(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(fs::exists(File("a.jp_")), GetParam().backupExpected);
}

INSTANTIATE_TEST_SUITE_P(Values, BackupSettingTest,
                         testing::Values(SettingsCase{"no_file", "", {}, true},
                                         SettingsCase{"zero", "[Option]\nBackup=0\n", {}, false},
                                         SettingsCase{"two", "[Option]\nBackup=2\n", {}, true},
                                         SettingsCase{"word", "[Option]\nBackup=yes\n", {}, true},
                                         SettingsCase{"hex_zero", "[Option]\nBackup=$0\n", {}, false},
                                         SettingsCase{"hex_0x10", "[option]\nbackup=0x10\n", {}, true},
                                         SettingsCase{"flag_on", "[Option]\nBackup=0\n", {"--backup"}, true},
                                         SettingsCase{"flag_off", "", {"--no-backup"}, false}),
                         [](const auto& info) { return std::string(info.param.name); });

class ByContentSettingTest : public CliTest, public testing::WithParamInterface<SettingsCase> {};

// A JPEG file named .gif opens only when its contents decide.
TEST_P(ByContentSettingTest, DecidesHowThePluginIsChosen) {
    Settings(GetParam().ini);
    WriteFile(File("pic.gif"), TinyJpeg());
    std::vector<std::string> args{"show", "pic.gif"};
    args.insert(args.end(), GetParam().flags.begin(), GetParam().flags.end());
    Result r = Run(args);
    EXPECT_EQ(r.exitCode, GetParam().backupExpected ? 0 : 1) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Values, ByContentSettingTest,
    testing::Values(SettingsCase{"default", "", {}, false},
                    SettingsCase{"setting_on", "[Option]\nNotExt=1\n", {}, true},
                    SettingsCase{"flag_overrides", "[Option]\nNotExt=1\n", {"--by-extension"}, false},
                    SettingsCase{"flag_on", "", {"--by-content"}, true}),
    [](const auto& info) { return std::string(info.param.name); });

struct IntegerCase {
    std::string text;
    std::optional<long long> value;
    friend void PrintTo(const IntegerCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }
};

class ProfileIntegerTest : public testing::TestWithParam<IntegerCase> {};

TEST_P(ProfileIntegerTest, ParsesDecimalAndHexOnly) {
    EXPECT_EQ(tessane::cli::ParseProfileInteger(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Values, ProfileIntegerTest,
                         testing::Values(IntegerCase{"1", 1}, IntegerCase{" 0 ", 0}, IntegerCase{"-3", -3},
                                         IntegerCase{"$1F", 31}, IntegerCase{"0x10", 16},
                                         IntegerCase{"0XfF", 255}, IntegerCase{"", std::nullopt},
                                         IntegerCase{"yes", std::nullopt}, IntegerCase{"12abc", std::nullopt},
                                         IntegerCase{"0x", std::nullopt}, IntegerCase{"$", std::nullopt},
                                         IntegerCase{"--1", std::nullopt},
                                         IntegerCase{"99999999999999999999", std::nullopt}));

// ---- JSON byte strings ----------------------------------------------------------

class JsonBytesTest : public testing::TestWithParam<std::string> {};

// Text that is UTF-8 stays text; anything else also comes as base64 of its bytes.
TEST_P(JsonBytesTest, InvalidUtf8AlsoComesAsBase64) {
    const std::string bytes = GetParam();
    nlohmann::json object = nlohmann::json::object();
    tessane::cli::PutBytes(object, "comment", bytes);
    const QByteArray raw = QByteArray::fromStdString(bytes);
    if (raw.isValidUtf8()) {
        EXPECT_EQ(object["comment"], bytes);
        EXPECT_FALSE(object.contains("commentBase64"));
    } else {
        EXPECT_EQ(object["commentBase64"], raw.toBase64().toStdString());
    }
    EXPECT_NO_THROW((void)tessane::cli::DumpJson(object));
}

INSTANTIATE_TEST_SUITE_P(Bytes, JsonBytesTest,
                         testing::Values("", "plain", "\xE5\x86\x99", "\xFF", "a\xFF", "ab\xFF", "abc\xFF",
                                         std::string("nul\0inside", 10), "\xC3", "\xED\xA0\x80"));

// ---- Many files -----------------------------------------------------------------

// A thousand files in one run: every one is shown, and the run ends cleanly
// (under the sanitizers a leak would make the exit status non-zero).
TEST_F(CliTest, ShowsAThousandFilesInOneRun) {
    std::vector<std::string> args{"show"};
    for (int i = 0; i < 1000; ++i) {
        const std::string name = "f" + std::to_string(i) + (i % 2 ? ".jpg" : ".gif");
        WriteFile(File(name), i % 2 ? TinyJpeg() : TinyGif());
        args.push_back(name);
    }
    Result r = Run(args);
    ASSERT_EQ(r.exitCode, 0) << r.err.substr(0, 2000);
    size_t comments = 0;
    for (size_t at = r.out.find("Comment    :"); at != std::string::npos;
         at = r.out.find("Comment    :", at + 1))
        ++comments;
    EXPECT_EQ(comments, 1000u);
}

} // namespace
