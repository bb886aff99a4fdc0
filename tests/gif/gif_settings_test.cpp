// The "87a" setting in bin/tessane.ini: the GIF87a rewrite, its warning, the
// settings dialog and the about box, with a scripted UI recording the boxes.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "gif_fixtures.h"
#include "gif_module.h"
#include "scripted_ui.h"

using namespace giftest;
using tsntest::DialogAction;

namespace {

const std::string kWarningText = "GIF87aファイルには、コメントを保存出来ません。\n"
                                 "保存するには、設定でヘッダの書き換えを許可して下さい。";
HWND const kOwner = reinterpret_cast<HWND>(0x1234);

// Keeps bin/tessane.ini as it was found: saved at the start, put back at the end.
class GifSettings : public ::testing::Test {
protected:
    static void SetUpTestSuite() { gif = new GifModule(); }
    static void TearDownTestSuite() {
        delete gif;
        gif = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(gif->Complete());
        path = ProgramDirectory() + "tessane.ini";
        if (FileExists(path))
            saved = ReadFile(path);
    }
    void TearDown() override {
        std::filesystem::remove_all(path);
        if (saved) {
            std::ofstream out(path, std::ios::binary);
            out.write(reinterpret_cast<const char*>(saved->data()),
                      static_cast<std::streamsize>(saved->size()));
        }
    }

    // Sets the key, or removes it for null.
    void SetKey(const char* value) {
        if (value == nullptr && !FileExists(path))
            return;
        ASSERT_TRUE(WritePrivateProfileStringA("gif.cpi", "87a", value, path.c_str()));
    }
    std::string StoredKey() {
        char value[32];
        GetPrivateProfileStringA("gif.cpi", "87a", "<missing>", value, sizeof value, path.c_str());
        return value;
    }

    static GifModule* gif;
    std::string path;
    std::optional<Bytes> saved;
    tsntest::ScriptedUi ui;
};
GifModule* GifSettings::gif = nullptr;

// ---- Writing into a GIF87a file ------------------------------------------------

struct RewriteCase {
    const char* name;
    const char* key; // null: missing
    bool allowed;
};

std::ostream& operator<<(std::ostream& out, const RewriteCase& c) {
    return out << c.name;
}

class GifRewrite87a : public GifSettings, public ::testing::WithParamInterface<RewriteCase> {};

TEST_P(GifRewrite87a, RewritesTheHeaderOnlyWhenAllowed) {
    const RewriteCase& c = GetParam();
    SetKey(c.key);
    // A GIF87a file that already holds a comment extension: it is copied as it is.
    Bytes body = Cat({kScreenTable2, CommentExtension("old"), kImage});
    TempFile out;
    int32_t result = WriteWith(*gif, out.Path(), Cat({kHeader87a, body, kTrailer}), "new", kOwner);
    if (c.allowed) {
        EXPECT_EQ(result, CPI_OK);
        EXPECT_TRUE(ui.MessageBoxes().empty());
        EXPECT_EQ(ReadFile(out.Path()), Cat({kHeader89a, body, CommentExtension("new"), kTrailer}));
        return;
    }
    EXPECT_EQ(result, CPI_ERR_CANCEL);
    EXPECT_FALSE(FileExists(out.Path()));
    ASSERT_EQ(ui.MessageBoxes().size(), 1u);
    const tsntest::MessageBoxRecord& box = ui.MessageBoxes()[0];
    EXPECT_EQ(box.owner, kOwner);
    EXPECT_EQ(box.caption, "警告");
    EXPECT_EQ(box.text, kWarningText);
    EXPECT_EQ(box.style, MB_OK | MB_ICONEXCLAMATION);
}

INSTANTIATE_TEST_SUITE_P(Keys, GifRewrite87a,
                         ::testing::Values(RewriteCase{"Missing", nullptr, true},
                                           RewriteCase{"One", "1", true}, RewriteCase{"Zero", "0", false},
                                           RewriteCase{"Two", "2", false},
                                           RewriteCase{"NotANumber", "yes", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GifSettings, Gif89aIsWrittenWhateverTheSetting) {
    SetKey("0");
    TempFile out;
    EXPECT_EQ(WriteWith(*gif, out.Path(), Minimal89a(), "x", kOwner), CPI_OK);
    EXPECT_TRUE(ui.MessageBoxes().empty());
}

// ---- The settings dialog -------------------------------------------------------

struct DialogCase {
    const char* name;
    const char* key; // before
    std::vector<DialogAction> script;
    bool shownChecked;
    intptr_t result;
    const char* stored; // after
};

std::ostream& operator<<(std::ostream& out, const DialogCase& c) {
    return out << c.name;
}

class GifOptionDialog : public GifSettings, public ::testing::WithParamInterface<DialogCase> {};

TEST_P(GifOptionDialog, ShowsAndStoresTheSetting) {
    const DialogCase& c = GetParam();
    SetKey(c.key);
    ui.ScriptNextDialog(c.script);
    EXPECT_EQ(gif->ConfigurationDlg(kOwner, CPI_CONFIG_SETTINGS), 0);
    ASSERT_EQ(ui.Dialogs().size(), 1u);
    const tsntest::DialogRecord& dialog = ui.Dialogs()[0];
    EXPECT_EQ(dialog.owner, kOwner);
    EXPECT_EQ(dialog.caption, "GIF Option");
    EXPECT_EQ(dialog.itemIds, (std::vector<int>{1000, -1, IDOK, IDCANCEL}));
    EXPECT_EQ(dialog.checkedAfterInit.at(1000), c.shownChecked);
    EXPECT_EQ(dialog.result, c.result);
    EXPECT_EQ(StoredKey(), c.stored);
    EXPECT_TRUE(ui.MessageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, GifOptionDialog,
    ::testing::Values(
        DialogCase{"TwoShownUncheckedOkWritesZero", "2", {{DialogAction::Press, IDOK}}, false, IDOK, "0"},
        DialogCase{"MissingShownCheckedOkWritesOne", nullptr, {{DialogAction::Press, IDOK}}, true, IDOK, "1"},
        DialogCase{"UncheckThenOk",
                   "1",
                   {{DialogAction::Uncheck, 1000}, {DialogAction::Press, IDOK}},
                   true,
                   IDOK,
                   "0"},
        DialogCase{
            "CheckThenOk", "0", {{DialogAction::Check, 1000}, {DialogAction::Press, IDOK}}, false, IDOK, "1"},
        DialogCase{"CheckThenCancelSavesNothing",
                   "0",
                   {{DialogAction::Check, 1000}, {DialogAction::Press, IDCANCEL}},
                   false,
                   IDCANCEL,
                   "0"},
        DialogCase{"ClosedWithoutAButton", "1", {}, true, IDCANCEL, "1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GifSettings, DialogChangeTakesEffectAtTheNextSave) {
    SetKey("1");
    ui.ScriptNextDialog({{DialogAction::Uncheck, 1000}, {DialogAction::Press, IDOK}});
    ASSERT_EQ(gif->ConfigurationDlg(kOwner, CPI_CONFIG_SETTINGS), 0);
    TempFile out;
    EXPECT_EQ(WriteWith(*gif, out.Path(), Cat({kHeader87a, kScreenNoTable, kImage, kTrailer}), "x", kOwner),
              CPI_ERR_CANCEL);
}

TEST_F(GifSettings, ASettingThatCannotBeSavedIsReported) {
    SetKey(nullptr);
    std::filesystem::remove_all(path);
    std::filesystem::create_directory(path); // no file can be written under this name
    ui.ScriptNextDialog({{DialogAction::Uncheck, 1000}, {DialogAction::Press, IDOK}});
    EXPECT_EQ(gif->ConfigurationDlg(kOwner, CPI_CONFIG_SETTINGS), 0);
    ASSERT_EQ(ui.Dialogs().size(), 1u);
    EXPECT_EQ(ui.Dialogs()[0].result, IDOK);
    ASSERT_EQ(ui.MessageBoxes().size(), 1u);
    EXPECT_EQ(ui.MessageBoxes()[0].caption, "警告");
    EXPECT_NE(ui.MessageBoxes()[0].text.find(path), std::string::npos);
}

// ---- About box and flags ---------------------------------------------------------

TEST_F(GifSettings, AboutBoxBeginsWithTheDescription) {
    char description[CPI_INFO_CAPACITY + 1];
    gif->GetPluginInfo(CPI_INFO_DESCRIPTION, description, CPI_INFO_CAPACITY);
    EXPECT_EQ(gif->ConfigurationDlg(kOwner, CPI_CONFIG_ABOUT), 0);
    ASSERT_EQ(ui.MessageBoxes().size(), 1u);
    const tsntest::MessageBoxRecord& box = ui.MessageBoxes()[0];
    EXPECT_EQ(box.owner, kOwner);
    EXPECT_EQ(box.caption, "About");
    EXPECT_EQ(box.style, MB_OK | MB_ICONINFORMATION);
    EXPECT_EQ(box.text.rfind(std::string(description) + "\n", 0), 0u) << box.text;
}

TEST_F(GifSettings, FlagsAndUnknownFunctionsShowNothing) {
    EXPECT_EQ(gif->ConfigurationDlg(nullptr, CPI_CONFIG_FLAGS), CPI_FLAG_ABOUT | CPI_FLAG_SETTINGS);
    for (int32_t function : {3, -1, 100})
        EXPECT_EQ(gif->ConfigurationDlg(kOwner, function), CPI_ERR_PLUGIN) << function;
    EXPECT_TRUE(ui.MessageBoxes().empty());
    EXPECT_TRUE(ui.Dialogs().empty());
}

} // namespace
