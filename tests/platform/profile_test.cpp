// Private-profile settings: reading by the Windows rules, and writes that
// change exactly one thing and keep every other byte of the file.
#include "temp_dir.h"

#include "tessane/platform.h"

#include <filesystem>
#include <string>
#include <sys/stat.h>

namespace {

// A settings file with a bit of everything a hand-edited file holds.
constexpr const char* kSettings =
    "; settings of the editor\n"
    "[Option]\n"
    "Backup=2\n"
    "Answer=yes\n"
    "  Padded =  7  \n"
    "Units=12px\n"
    "Minus=-5\n"
    "Empty=\n"
    "Quoted=\" two words \"\n"
    "Huge=99999999999\n"
    "\n"
    "[Author]\n"
    "Name=Hanako\n";

struct ReadCase {
    const char* section;
    const char* key;
    const char* expectedText; // with default "def"
    UINT expectedInt;         // with default 99
};

class ProfileRead : public testing::TestWithParam<ReadCase> {
protected:
    void SetUp() override { dir.Write("tessane.ini", kSettings); }
    TempDir dir;
};

TEST_P(ProfileRead, GivesValueOrDefault) {
    const ReadCase& c = GetParam();
    const std::string file = dir.File("tessane.ini");
    char buffer[64] = "garbage";
    DWORD length = GetPrivateProfileStringA(c.section, c.key, "def", buffer, sizeof buffer, file.c_str());
    EXPECT_STREQ(buffer, c.expectedText);
    EXPECT_EQ(length, std::string(c.expectedText).size());
    EXPECT_EQ(GetPrivateProfileIntA(c.section, c.key, 99, file.c_str()), c.expectedInt);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileRead,
    testing::Values(ReadCase{"Option", "Backup", "2", 2}, ReadCase{"Option", "Answer", "yes", 0},
                    ReadCase{"Option", "Padded", "7", 7}, ReadCase{"oPTION", "bACKUP", "2", 2},
                    ReadCase{" Option ", " Backup ", "2", 2}, ReadCase{"Option", "Units", "12px", 12},
                    ReadCase{"Option", "Minus", "-5", 0}, ReadCase{"Option", "Empty", "", 99},
                    ReadCase{"Option", "Quoted", " two words ", 0}, ReadCase{"Option", "Huge", "99999999999", INT32_MAX},
                    ReadCase{"Option", "Missing", "def", 99}, ReadCase{"Missing", "Backup", "def", 99},
                    ReadCase{"Author", "Backup", "def", 99}, ReadCase{"Author", "Name", "Hanako", 0},
                    ReadCase{nullptr, "Backup", "def", 99}, ReadCase{"Option", nullptr, "def", 99}));

TEST(ProfileReadFile, MissingFileGivesDefaults) {
    TempDir dir;
    const std::string file = dir.File("absent.ini");
    char buffer[8];
    EXPECT_EQ(GetPrivateProfileIntA("Option", "Backup", -3, file.c_str()), static_cast<UINT>(-3));
    EXPECT_EQ(GetPrivateProfileStringA("Option", "Backup", nullptr, buffer, sizeof buffer, file.c_str()), 0u);
    EXPECT_STREQ(buffer, "");
}

TEST(ProfileReadFile, LongValueIsCutToTheBuffer) {
    TempDir dir;
    dir.Write("t.ini", "[S]\r\nK=abcdefgh\r\n");
    char buffer[5];
    EXPECT_EQ(GetPrivateProfileStringA("S", "K", "", buffer, sizeof buffer, dir.File("t.ini").c_str()), 4u);
    EXPECT_STREQ(buffer, "abcd");
    EXPECT_EQ(GetPrivateProfileStringA("S", "missing", "long default", buffer, sizeof buffer, dir.File("t.ini").c_str()),
              4u);
    EXPECT_STREQ(buffer, "long");
}

struct WriteCase {
    const char* name;
    const char* before; // null: no file
    const char* section;
    const char* key;
    const char* value;
    const char* after;
};

class ProfileWrite : public testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWrite, ChangesOnlyWhatIsAsked) {
    const WriteCase& c = GetParam();
    TempDir dir;
    if (c.before)
        dir.Write("tessane.ini", c.before);
    EXPECT_EQ(WritePrivateProfileStringA(c.section, c.key, c.value, dir.File("tessane.ini").c_str()), TRUE);
    EXPECT_EQ(dir.Read("tessane.ini"), c.after);
    // Nothing but the settings file is left in the directory.
    size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        entries += entry.path().filename() == "tessane.ini" ? 1 : 100;
    EXPECT_EQ(entries, c.after[0] != '\0' || c.before ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileWrite,
    testing::Values(
        WriteCase{"NewFile", nullptr, "Option", "Backup", "1", "[Option]\nBackup=1\n"},
        WriteCase{"ReplaceKeepsSpellingAndSpacing", "; c\n[option]\n  BACKUP = 0  \nX=1\n", "Option", "Backup", "1",
                  "; c\n[option]\n  BACKUP = 1\nX=1\n"},
        WriteCase{"NewKeyEndsItsSectionBeforeBlankLines",
                  "[Option]\r\nBackup=1\r\n\r\n; about the author\r\n[Author]\r\nName=A\r\n", "Option", "Wrap", "0",
                  "[Option]\r\nBackup=1\r\nWrap=0\r\n\r\n; about the author\r\n[Author]\r\nName=A\r\n"},
        WriteCase{"NewKeyInLastSectionWithoutFinalNewline", "[A]\r\nx=1", "a", "y", "2", "[A]\r\nx=1\r\ny=2\r\n"},
        WriteCase{"NewSectionAppendedAfterABlankLine", "; only a comment\n[Edit]\nFont=x", "gif.cpi", "Convert", "1",
                  "; only a comment\n[Edit]\nFont=x\n\n[gif.cpi]\nConvert=1\n"},
        WriteCase{"ValueWithEdgeBlanksIsQuoted", nullptr, "Author", "Name", " Taro ", "[Author]\nName=\" Taro \"\n"},
        WriteCase{"DeleteKeyKeepsTheRest", "[A]\nk=1\n; note\nK=dup\nj=2\n[B]\nk=3\n", "a", "K", nullptr,
                  "[A]\n; note\nj=2\n[B]\nk=3\n"},
        WriteCase{"DeleteSectionUpToTheNextOne", "; top\n[A]\nk=1\n\n[B]\nk=2\n[a]\nk=3\n", "A", nullptr, nullptr,
                  "; top\n[B]\nk=2\n"},
        WriteCase{"DeleteInMissingFileCreatesNothing", nullptr, "A", "k", nullptr, ""},
        WriteCase{"UnchangedValueLeavesTheFileAlone", "[A]\nk=1", "A", "k", "1", "[A]\nk=1"}),
    [](const testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

TEST(ProfileWriteFile, RoundTripThroughAFileWithForeignSectionsAndComments) {
    TempDir dir;
    const std::string foreign = "; written by hand\r\n[Other]\r\nKey = value ; not a comment\r\n\r\n";
    dir.Write("t.ini", foreign);
    const std::string file = dir.File("t.ini");
    ASSERT_EQ(WritePrivateProfileStringA("gif.cpi", "Convert", "1", file.c_str()), TRUE);
    ASSERT_EQ(WritePrivateProfileStringA("GIF.CPI", "convert", "0", file.c_str()), TRUE);
    EXPECT_EQ(GetPrivateProfileIntA("gif.cpi", "Convert", 7, file.c_str()), 0u);
    ASSERT_EQ(WritePrivateProfileStringA("Author", "Name", "\"quoted\"", file.c_str()), TRUE);
    char buffer[32];
    GetPrivateProfileStringA("author", "name", "", buffer, sizeof buffer, file.c_str());
    EXPECT_STREQ(buffer, "\"quoted\"");
    EXPECT_EQ(dir.Read("t.ini").substr(0, foreign.size()), foreign);
}

TEST(ProfileWriteFile, KeepsPermissionBits) {
    TempDir dir;
    dir.Write("t.ini", "[A]\nk=1\n");
    const std::string file = dir.File("t.ini");
    ASSERT_EQ(chmod(file.c_str(), 0640), 0);
    ASSERT_EQ(WritePrivateProfileStringA("A", "k", "2", file.c_str()), TRUE);
    struct stat info {};
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(ProfileWriteFile, WritesThroughASymbolicLink) {
    TempDir dir;
    dir.Write("real.ini", "[A]\nk=1\n");
    std::filesystem::create_symlink(dir.File("real.ini"), dir.File("link.ini"));
    ASSERT_EQ(WritePrivateProfileStringA("A", "k", "2", dir.File("link.ini").c_str()), TRUE);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.ini")));
    EXPECT_EQ(dir.Read("real.ini"), "[A]\nk=2\n");
}

struct RefusedCase {
    const char* section;
    const char* key;
    const char* value;
};

class ProfileWriteRefused : public testing::TestWithParam<RefusedCase> {};

// Text that would change the file's structure is refused, and the file stays.
TEST_P(ProfileWriteRefused, LeavesTheFileUntouched) {
    const RefusedCase& c = GetParam();
    TempDir dir;
    dir.Write("t.ini", "[A]\nk=1\n");
    EXPECT_EQ(WritePrivateProfileStringA(c.section, c.key, c.value, dir.File("t.ini").c_str()), FALSE);
    EXPECT_EQ(dir.Read("t.ini"), "[A]\nk=1\n");
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileWriteRefused,
                         testing::Values(RefusedCase{"A", "k", "1\n[B]"}, RefusedCase{"A", "k\r", "1"},
                                         RefusedCase{"A", "k=j", "1"}, RefusedCase{"A", "", "1"},
                                         RefusedCase{"A", "[B]", "1"}, RefusedCase{"A]", "k", "1"},
                                         RefusedCase{nullptr, "k", "1"}));

TEST(ProfileWriteFile, UnwritableDirectoryFailsAndKeepsTheFile) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes anywhere";
    TempDir dir;
    dir.Write("t.ini", "[A]\nk=1\n");
    ASSERT_EQ(chmod(dir.Path().c_str(), 0555), 0);
    EXPECT_EQ(WritePrivateProfileStringA("A", "k", "2", dir.File("t.ini").c_str()), FALSE);
    chmod(dir.Path().c_str(), 0755);
    EXPECT_EQ(dir.Read("t.ini"), "[A]\nk=1\n");
}

} // namespace
