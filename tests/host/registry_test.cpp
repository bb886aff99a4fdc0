// CTessane registry: which plug-in files are accepted, what is recorded, in
// which order the plug-in is asked, and the getters' answers.
#include <climits>
#include <gtest/gtest.h>

#include "host_test_support.h"
#include "tessane_data.h"

using namespace hosttest;

namespace {

// The names FindFirst/FindNext return for dir, in their order.
std::vector<std::string> searchOrder(const std::string& dir) {
    std::vector<std::string> names;
    TSearchRec rec{};
    const std::string mask = dir + "/*.cpi";
    if (FindFirst(mask.c_str(), faReadOnly | faHidden | faSysFile | faArchive, &rec) == 0) {
        do {
            names.push_back(rec.Name);
        } while (FindNext(&rec) == 0);
    }
    FindClose(&rec);
    return names;
}

} // namespace

struct RegistryCase {
    const char* fixture;
    bool accepted;
    const char* description;
    const char* filter;
    const char* typeName;
    int32_t flags;
    friend void PrintTo(const RegistryCase& c, std::ostream* os) { *os << c.fixture; }
};

class RegistryAccept : public testing::TestWithParam<RegistryCase> {};

TEST_P(RegistryAccept, LoadPluginsAcceptsAndRecords) {
    const RegistryCase& c = GetParam();
    CTessane host;
    EXPECT_EQ(host.LoadPlugins(FixtureDir(c.fixture), "*.cpi"), c.accepted);
    if (!c.accepted) {
        EXPECT_EQ(host.PluginCount(), 0);
        EXPECT_FALSE(host.Dll.IsLoaded()) << "a refused plug-in stays loaded";
        return;
    }
    ASSERT_EQ(host.PluginCount(), 1);
    const TPluginList& record = host.Plugins[0];
    EXPECT_EQ(record.Path, FixturePath(c.fixture));
    EXPECT_EQ(record.Description, c.description);
    EXPECT_EQ(record.Filter, c.filter);
    EXPECT_EQ(record.TypeName, c.typeName);
    EXPECT_EQ(record.Flags, c.flags);
    EXPECT_TRUE(host.Dll.IsLoaded()) << "an accepted plug-in stays loaded until the next load";
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, RegistryAccept,
    testing::Values(
        RegistryCase{"alpha", true, "Fixture plug-in 1.0", "*.aaa;*.alpha", "Alpha Image", 17},
        RegistryCase{"jpegish", true, "Fixture plug-in 1.0", "*.jpg;*.jpeg", "Jay Image", 1}, // filter in capitals
        RegistryCase{"long_description", true, "Fixture plug-in with a description of sixty-three characters..",
                     "*.aaa;*.alpha", "Alpha Image", 17}, // 63 characters arrive as 62
        RegistryCase{"no_typename", true, "Fixture plug-in 1.0", "*.aaa;*.alpha", "", 17},
        RegistryCase{"no_getcomment", true, "Fixture plug-in 1.0", "*.nogc", "Alpha Image", 17},
        RegistryCase{"version_lower", false, "", "", "", 0}, RegistryCase{"version_long", false, "", "", "", 0},
        RegistryCase{"version_empty", false, "", "", "", 0}, RegistryCase{"flags_zero", false, "", "", "", 0}, RegistryCase{"no_config", false, "", "", "", 0}),
    [](const auto& info) { return std::string(info.param.fixture); });

TEST(Registry, AsksVersionAndFlagsBeforeTheTextsAndFlagsLast) {
    FixtureLog log;
    CTessane host;
    ASSERT_TRUE(host.AddPlugin(FixturePath("alpha")));
    std::vector<std::string> expected = {"load",
                                         "GetPluginInfo 0",
                                         "ConfigurationDlg null 2",
                                         "GetPluginInfo 1",
                                         "GetPluginInfo 2",
                                         "GetPluginInfo 3",
                                         "ConfigurationDlg null 2"};
    EXPECT_EQ(log.Lines(), expected);
}

TEST(Registry, ANonLibraryBetweenTwoPluginsIsSkippedAndOrderKept) {
    TempDir dir;
    for (const char* name : {"one.cpi", "two.cpi", "three.cpi"})
        WriteFile(dir / name, "");
    std::vector<std::string> order = searchOrder(dir.Path().string());
    ASSERT_EQ(order.size(), 3u) << "the directory search finds the three files";
    // Fill the files in place, so the file system keeps its order.
    WriteFile(dir / order[0], ReadFile(FixturePath("alpha")));
    WriteFile(dir / order[1], "not a library\n");
    WriteFile(dir / order[2], ReadFile(FixturePath("jpegish")));

    CTessane host;
    EXPECT_TRUE(host.LoadPlugins(dir.Path().string() + "/", "*.cpi"));
    ASSERT_EQ(host.PluginCount(), 2);
    EXPECT_EQ(host.Plugins[0].Path, dir / order[0]);
    EXPECT_EQ(host.Plugins[0].TypeName, "Alpha Image");
    EXPECT_EQ(host.Plugins[1].Path, dir / order[2]);
    EXPECT_EQ(host.Plugins[1].TypeName, "Jay Image");
}

TEST(Registry, FindsHiddenPluginFilesAndTakesADirectoryWithoutSlash) {
    TempDir dir;
    WriteFile(dir / ".hidden.cpi", ReadFile(FixturePath("alpha")));
    CTessane host;
    EXPECT_TRUE(host.LoadPlugins(dir.Path().string(), "*.cpi"));
    ASSERT_EQ(host.PluginCount(), 1);
    EXPECT_EQ(host.Plugins[0].Path, dir / ".hidden.cpi");
}

TEST(Registry, NothingAcceptedGivesFalse) {
    TempDir dir;
    CTessane host;
    EXPECT_FALSE(host.LoadPlugins(dir.Path().string() + "/", "*.cpi")) << "empty directory";
    EXPECT_FALSE(host.LoadPlugins(dir / "missing/", "*.cpi")) << "missing directory";
    WriteFile(dir / "text.cpi", "not a library\n");
    EXPECT_FALSE(host.LoadPlugins(dir.Path().string() + "/", "*.cpi")) << "only a non-library";
    EXPECT_EQ(host.PluginCount(), 0);
}

TEST(Registry, InvalidIndicesGiveEmptyAnswers) {
    CTessane host;
    ASSERT_TRUE(host.AddPlugin(FixturePath("alpha")));
    ASSERT_TRUE(host.AddPlugin(FixturePath("jpegish")));
    for (int32_t index : {2, -1, INT32_MIN, INT32_MAX}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(host.PluginDescription(index), "");
        EXPECT_EQ(host.PluginFilter(index), "");
        EXPECT_EQ(host.PluginTypeName(index), "");
        EXPECT_EQ(host.PluginFlags(index), 0);
    }
    EXPECT_EQ(host.PluginTypeName(1), "Jay Image");
    EXPECT_EQ(host.PluginFilter(1), "*.jpg;*.jpeg");
    EXPECT_EQ(host.PluginFlags(0), 17);
}
