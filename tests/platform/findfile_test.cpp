// The directory search: which entries a mask and attribute set find, and in
// which order.
#include "temp_dir.h"

#include "tessane/platform.h"

#include <dirent.h>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int32_t kHostAttributes = faReadOnly | faHidden | faSysFile | faArchive; // 0x27, what the host asks

std::vector<std::string> search(const std::string& mask, int32_t attributes) {
    std::vector<std::string> names;
    TSearchRec rec{};
    for (int32_t status = FindFirst(mask.c_str(), attributes, &rec); status == 0; status = FindNext(&rec))
        names.push_back(rec.Name);
    FindClose(&rec);
    FindClose(&rec); // harmless twice
    return names;
}

std::vector<std::string> readdirOrder(const fs::path& directory) {
    std::vector<std::string> names;
    DIR* dir = opendir(directory.c_str());
    while (const dirent* entry = readdir(dir))
        names.push_back(entry->d_name);
    closedir(dir);
    return names;
}

// A directory holding every kind of entry a search must tell apart.
class DirectorySearch : public testing::Test {
protected:
    void SetUp() override {
        dir.Write("alpha.cpi", "12345");
        dir.Write("Beta.CPI", "");
        dir.Write(".hidden.cpi", "");
        dir.Write("notes.txt", "");
        dir.Write("noext", "");
        dir.Write("a.cpix", "");
        fs::create_directory(dir.Path() / "plugins.cpi");
        fs::create_symlink(dir.Path() / "alpha.cpi", dir.Path() / "link.cpi");
        fs::create_symlink(dir.Path() / "missing", dir.Path() / "dangling.cpi");
    }
    TempDir dir;
};

struct SearchCase {
    const char* mask;
    int32_t attributes;
    std::set<std::string> expected;
};

class DirectorySearchCases : public DirectorySearch, public testing::WithParamInterface<SearchCase> {};

TEST_P(DirectorySearchCases, FindsExactlyTheMatchingEntries) {
    const SearchCase& c = GetParam();
    std::vector<std::string> found = search(dir.File(c.mask), c.attributes);
    EXPECT_EQ(std::set<std::string>(found.begin(), found.end()), c.expected);
    EXPECT_EQ(found.size(), c.expected.size()) << "an entry was found twice";
}

INSTANTIATE_TEST_SUITE_P(
    MasksAndAttributes, DirectorySearchCases,
    testing::Values(
        SearchCase{"*.cpi", kHostAttributes, {"alpha.cpi", "Beta.CPI", ".hidden.cpi", "link.cpi"}},
        SearchCase{"*.cpi", 0, {"alpha.cpi", "Beta.CPI", "link.cpi"}},
        SearchCase{"*.CPI", faHidden, {"alpha.cpi", "Beta.CPI", ".hidden.cpi", "link.cpi"}},
        SearchCase{"*.cpi", faDirectory, {"alpha.cpi", "Beta.CPI", "link.cpi", "plugins.cpi"}},
        SearchCase{"?eta.cpi", 0, {"Beta.CPI"}},
        SearchCase{"a*", 0, {"alpha.cpi", "a.cpix"}},
        SearchCase{"*.*", 0, {"alpha.cpi", "Beta.CPI", "notes.txt", "noext", "a.cpix", "link.cpi"}},
        SearchCase{"*", faHidden,
                   {"alpha.cpi", "Beta.CPI", ".hidden.cpi", "notes.txt", "noext", "a.cpix", "link.cpi"}},
        SearchCase{"notes.txt", 0, {"notes.txt"}},
        SearchCase{"*.gif", kHostAttributes, {}}));

TEST_F(DirectorySearch, EntriesComeInReaddirOrder) {
    std::vector<std::string> expected;
    const std::set<std::string> matching{"alpha.cpi", "Beta.CPI", ".hidden.cpi", "link.cpi"};
    for (const std::string& name : readdirOrder(dir.Path())) {
        if (matching.count(name) != 0)
            expected.push_back(name);
    }
    EXPECT_EQ(search(dir.File("*.cpi"), kHostAttributes), expected);
}

TEST_F(DirectorySearch, RecordHoldsSizeAndAttributes) {
    TSearchRec rec{};
    ASSERT_EQ(FindFirst(dir.File("alpha.cpi").c_str(), 0, &rec), 0);
    EXPECT_STREQ(rec.Name, "alpha.cpi");
    EXPECT_EQ(rec.Size, 5);
    EXPECT_EQ(rec.Attr & (faDirectory | faHidden), 0);
    EXPECT_NE(FindNext(&rec), 0);
    FindClose(&rec);
}

TEST_F(DirectorySearch, NothingFoundNeedsNoClose) {
    TSearchRec rec{};
    EXPECT_NE(FindFirst(dir.File("*.gif").c_str(), kHostAttributes, &rec), 0);
    EXPECT_EQ(rec.FindHandle, nullptr);
    EXPECT_NE(FindNext(&rec), 0);
}

TEST(DirectorySearchErrors, MissingDirectoryOrNullArgumentsFail) {
    TempDir dir;
    TSearchRec rec{};
    EXPECT_NE(FindFirst(dir.File("missing/*.cpi").c_str(), kHostAttributes, &rec), 0);
    EXPECT_EQ(rec.FindHandle, nullptr);
    EXPECT_NE(FindFirst(nullptr, kHostAttributes, &rec), 0);
    EXPECT_NE(FindFirst("*.cpi", kHostAttributes, nullptr), 0);
    EXPECT_NE(FindNext(nullptr), 0);
    FindClose(nullptr);
}

} // namespace
