// Modules: loading, binding by name, and module file names.
#include "temp_dir.h"

#include "tessane/platform.h"

#include <cstring>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string programDirectory() {
    char path[4096];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return fs::path(std::string(path, length)).parent_path().string();
}

std::string fixturePath() { return programDirectory() + "/" + TSN_FIXTURE_MODULE; }

TEST(Modules, ProgramFileNameIsTheRunningExecutable) {
    char path[4096];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    EXPECT_EQ(std::string(path), fs::canonical("/proc/self/exe").string());
    EXPECT_EQ(length, std::strlen(path));
}

TEST(Modules, FileNameIsCutToTheBufferAndReportsItsSize) {
    char full[4096];
    GetModuleFileNameA(nullptr, full, sizeof full);
    char small[6];
    std::memset(small, 'x', sizeof small);
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), sizeof small);
    EXPECT_EQ(std::string(small), std::string(full, sizeof small - 1));
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, 0), 0u);
    EXPECT_EQ(GetModuleFileNameA(nullptr, nullptr, 10), 0u);
}

TEST(Modules, LoadsBindsAndNamesALibrary) {
    HMODULE module = LoadLibraryA(fixturePath().c_str());
    ASSERT_NE(module, nullptr);
    auto answer = reinterpret_cast<int32_t (*)(void)>(GetProcAddress(module, "TsnFixtureAnswer"));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    char path[4096];
    GetModuleFileNameA(module, path, sizeof path);
    EXPECT_EQ(fs::canonical(path), fs::canonical(fixturePath()));
    EXPECT_EQ(FreeLibrary(module), TRUE);
}

// dlsym also searches a library's dependencies; a module binds only its own exports.
TEST(Modules, MissingExportOrDependencySymbolGivesNull) {
    HMODULE module = LoadLibraryA(fixturePath().c_str());
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(GetProcAddress(module, "GetComment"), nullptr);
    EXPECT_EQ(GetProcAddress(module, "LocalAlloc"), nullptr); // from the platform library
    EXPECT_EQ(GetProcAddress(module, "malloc"), nullptr);     // from the C library
    EXPECT_EQ(GetProcAddress(module, nullptr), nullptr);
    FreeLibrary(module);
}

TEST(Modules, BlockMadeInALibraryIsReadAndFreedByTheProgram) {
    HMODULE module = LoadLibraryA(fixturePath().c_str());
    ASSERT_NE(module, nullptr);
    auto makeBlock = reinterpret_cast<HLOCAL (*)(void)>(GetProcAddress(module, "TsnFixtureMakeBlock"));
    ASSERT_NE(makeBlock, nullptr);
    HLOCAL block = makeBlock();
    FreeLibrary(module);
    const char* text = static_cast<const char*>(LocalLock(block));
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "made in the fixture");
    LocalUnlock(block);
    EXPECT_EQ(LocalFree(block), nullptr);
}

TEST(Modules, WhatIsNoLibraryDoesNotLoad) {
    TempDir dir;
    dir.Write("fake.cpi", "This is a text file, not a library.\n");
    EXPECT_EQ(LoadLibraryA(dir.File("fake.cpi").c_str()), nullptr);
    EXPECT_EQ(LoadLibraryA(dir.File("missing.cpi").c_str()), nullptr);
    EXPECT_EQ(LoadLibraryA(""), nullptr);
    EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
    EXPECT_EQ(FreeLibrary(nullptr), FALSE);
}

} // namespace
