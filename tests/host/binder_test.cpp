// CTessaneDLL: module residency, binding by name and the text-block handover.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "host_test_support.h"
#include "tessane_dll.h"

using namespace hosttest;

namespace {

const unsigned char* bytes(const std::string& text) { return reinterpret_cast<const unsigned char*>(text.data()); }

int32_t sizeOf(const std::string& text) { return static_cast<int32_t>(text.size()); }

} // namespace

TEST(BinderModule, UnloadTwiceAndDestructionFreeTheModuleOnce) {
    const std::string path = FixturePath("alpha");
    // Our own reference: a second FreeLibrary by the binder would drop it.
    void* ours = dlopen(path.c_str(), RTLD_NOW);
    ASSERT_NE(ours, nullptr);
    {
        CTessaneDLL dll;
        ASSERT_TRUE(dll.Load(path));
        dll.Unload();
        dll.Unload();
        EXPECT_EQ(dll.Module, nullptr);
        EXPECT_TRUE(IsModuleLoaded(path));
        ASSERT_TRUE(dll.Load(path));
        dll.Unload();
    } // destruction after Unload
    EXPECT_TRUE(IsModuleLoaded(path));
    dlclose(ours);
    EXPECT_FALSE(IsModuleLoaded(path));
}

TEST(BinderModule, LoadingASecondModuleFreesTheFirst) {
    const std::string first = FixturePath("alpha");
    const std::string second = FixturePath("jpegish");
    {
        CTessaneDLL dll;
        ASSERT_TRUE(dll.Load(first));
        EXPECT_TRUE(IsModuleLoaded(first));
        ASSERT_TRUE(dll.Load(second));
        EXPECT_FALSE(IsModuleLoaded(first));
        EXPECT_TRUE(IsModuleLoaded(second));
    }
    EXPECT_FALSE(IsModuleLoaded(second)); // destruction frees the module held
}

TEST(BinderModule, AFailedLoadStillFreesTheModuleHeld) {
    TempDir dir;
    const std::string notALibrary = dir / "text.cpi";
    WriteFile(notALibrary, "this is not a shared library\n");
    const std::string held = FixturePath("alpha");
    for (const std::string& path : {notALibrary, dir / "missing.cpi", std::string()}) {
        SCOPED_TRACE(path);
        CTessaneDLL dll;
        ASSERT_TRUE(dll.Load(held));
        EXPECT_FALSE(dll.Load(path));
        EXPECT_EQ(dll.Module, nullptr);
        EXPECT_FALSE(IsModuleLoaded(held));
    }
}

struct BindCase {
    const char* fixture;
    bool getPluginInfo;   // BindGetPluginInfo: present and "CPI1"
    int32_t flags;        // BindConfigurationDlg
    bool getComment;      // BindGetComment
    friend void PrintTo(const BindCase& c, std::ostream* os) { *os << c.fixture; }
};

class BinderBind : public testing::TestWithParam<BindCase> {};

TEST_P(BinderBind, BindsByNameAndChecksVersionAndFlags) {
    const BindCase& c = GetParam();
    CTessaneDLL dll;
    ASSERT_TRUE(dll.Load(FixturePath(c.fixture)));
    EXPECT_EQ(dll.BindGetPluginInfo(), c.getPluginInfo);
    EXPECT_EQ(dll.BindConfigurationDlg(), c.flags);
    EXPECT_EQ(dll.BindGetComment(), c.getComment);
    EXPECT_EQ(dll.GetCommentProc != nullptr, c.getComment);
    EXPECT_TRUE(dll.BindWriteComment());
}

INSTANTIATE_TEST_SUITE_P(Fixtures, BinderBind,
                         testing::Values(BindCase{"alpha", true, 17, true}, BindCase{"version_lower", false, 17, true},
                                         BindCase{"version_long", false, 17, true},
                                         BindCase{"version_empty", false, 17, true},
                                         BindCase{"flags_zero", true, 0, true}, BindCase{"no_config", true, 0, true},
                                         BindCase{"no_getcomment", true, 17, false}),
                         [](const auto& info) { return std::string(info.param.fixture); });

TEST(BinderCalls, UnknownInfoIndexGivesAnEmptyText) {
    CTessaneDLL dll;
    ASSERT_TRUE(dll.Load(FixturePath("no_typename")));
    ASSERT_TRUE(dll.BindGetPluginInfo());
    EXPECT_EQ(dll.CallGetPluginInfo(CPI_INFO_TYPENAME), "");
    EXPECT_EQ(dll.CallGetPluginInfo(4), "");
    EXPECT_EQ(dll.CallGetPluginInfo(0xFFFFFFFFu), "");
}

// The blocks a plug-in hands over are locked, copied and freed by the host.
TEST(BinderCalls, GetCommentTakesAndFreesBothBlocks) {
    FixtureLog log;
    CTessaneDLL dll;
    ASSERT_TRUE(dll.Load(FixturePath("alpha")));
    ASSERT_TRUE(dll.BindGetComment());
    const std::string image = "AAA:a comment";
    std::string comment, info;
    ASSERT_EQ(dll.CallGetComment(nullptr, bytes(image), sizeOf(image), comment, info), CPI_OK);
    EXPECT_EQ(comment, "a comment");
    EXPECT_EQ(info, "Fixture image\r\n13 bytes");
    BlockHandles blocks = LastBlocks(log);
    ASSERT_NE(blocks.comment, nullptr);
    ASSERT_NE(blocks.info, nullptr);
    EXPECT_EQ(LocalLock(blocks.comment), nullptr) << "comment block not freed";
    EXPECT_EQ(LocalLock(blocks.info), nullptr) << "info block not freed";
}

TEST(BinderCalls, GetCommentLeavesTheStringsOnFailureOrNullBlock) {
    CTessaneDLL dll;
    ASSERT_TRUE(dll.Load(FixturePath("alpha")));
    ASSERT_TRUE(dll.BindGetComment());

    std::string comment = "old comment", info = "old info";
    const std::string foreign = "GIF89a";
    EXPECT_EQ(dll.CallGetComment(nullptr, bytes(foreign), sizeOf(foreign), comment, info), CPI_ERR_FORMAT);
    EXPECT_EQ(comment, "old comment");
    EXPECT_EQ(info, "old info");

    const std::string noComment = "AAA:"; // the fixture leaves the comment handle null
    EXPECT_EQ(dll.CallGetComment(nullptr, bytes(noComment), sizeOf(noComment), comment, info), CPI_OK);
    EXPECT_EQ(comment, "old comment");
    EXPECT_EQ(info, "Fixture image\r\n4 bytes");
}

TEST(BinderCalls, ABlockThatCannotBeLockedGivesMemoryErrorAndFreesTheOther) {
    FixtureLog log;
    CTessaneDLL dll;
    ASSERT_TRUE(dll.Load(FixturePath("bad_block")));
    ASSERT_TRUE(dll.BindGetComment());
    const std::string image = "AAA:x";
    std::string comment = "old comment", info = "old info";
    EXPECT_EQ(dll.CallGetComment(nullptr, bytes(image), sizeOf(image), comment, info), CPI_ERR_MEMORY);
    EXPECT_EQ(comment, "old comment");
    EXPECT_EQ(info, "old info");
    BlockHandles blocks = LastBlocks(log);
    ASSERT_NE(blocks.info, nullptr);
    EXPECT_EQ(LocalLock(blocks.info), nullptr) << "info block not freed";
}
