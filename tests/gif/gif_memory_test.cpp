// Out of memory inside the plug-in: the exports (linked in directly) fail with
// -4, hand out no handle and leave no block behind. The platform's LocalAlloc
// and LocalFree are wrapped here to fail on demand and count live blocks, and
// the nothrow new that the reader uses for the comment text can be made to fail.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <new>

#include "cpi.h"
#include "gif_fixtures.h"

using namespace giftest;

namespace {
int allocationsBeforeFailure = -1; // -1: never fail
int liveBlocks = 0;
bool failCommentText = false;

template <typename Function> Function Real(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}
} // namespace

extern "C" HLOCAL LocalAlloc(UINT flags, size_t bytes) {
    static auto real = Real<HLOCAL (*)(UINT, size_t)>("LocalAlloc");
    if (allocationsBeforeFailure == 0)
        return nullptr;
    if (allocationsBeforeFailure > 0)
        --allocationsBeforeFailure;
    HLOCAL block = real(flags, bytes);
    if (block != nullptr)
        ++liveBlocks;
    return block;
}

extern "C" HLOCAL LocalFree(HLOCAL block) {
    static auto real = Real<HLOCAL (*)(HLOCAL)>("LocalFree");
    HLOCAL result = real(block);
    if (block != nullptr && result == nullptr)
        --liveBlocks;
    return result;
}

void* operator new[](size_t bytes, const std::nothrow_t&) noexcept {
    if (failCommentText)
        return nullptr;
    return std::malloc(bytes == 0 ? 1 : bytes);
}
// The other array forms are replaced alike, so every new[] and delete[] pair up.
void* operator new[](size_t bytes) {
    if (void* p = std::malloc(bytes == 0 ? 1 : bytes))
        return p;
    throw std::bad_alloc();
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p, size_t) noexcept {
    std::free(p);
}

namespace {

class GifOutOfMemory : public ::testing::Test {
protected:
    void TearDown() override {
        allocationsBeforeFailure = -1;
        failCommentText = false;
        EXPECT_EQ(liveBlocks, 0) << "a block was left behind";
        liveBlocks = 0;
    }
    int32_t Read(const Bytes& image) {
        return GetComment(nullptr, image.data(), static_cast<int32_t>(image.size()), &comment, &info);
    }
    HLOCAL comment = nullptr;
    HLOCAL info = nullptr;
};

const Bytes kWithComment = Cat({kHeader89a, kScreenNoTable, CommentExtension("text"), kTrailer});

struct FailureCase {
    const char* name;
    Bytes image;
    int allocationsBeforeFailure;
};

std::ostream& operator<<(std::ostream& out, const FailureCase& c) {
    return out << c.name;
}

class GifBlockFailure : public GifOutOfMemory, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(GifBlockFailure, GetCommentFailsWithoutHandingOutOrLeavingABlock) {
    allocationsBeforeFailure = GetParam().allocationsBeforeFailure;
    EXPECT_EQ(Read(GetParam().image), CPI_ERR_MEMORY);
    EXPECT_EQ(comment, nullptr);
    EXPECT_EQ(info, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Blocks, GifBlockFailure,
                         ::testing::Values(FailureCase{"CommentBlock", kWithComment, 0},
                                           FailureCase{"InfoBlockAfterCommentBlock", kWithComment, 1},
                                           FailureCase{"InfoBlockWithoutComment", Minimal89a(), 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GifOutOfMemory, BothBlocksBelongToTheHostOnSuccess) {
    ASSERT_EQ(Read(kWithComment), CPI_OK);
    EXPECT_EQ(liveBlocks, 2);
    LocalFree(comment);
    LocalFree(info);
}

TEST_F(GifOutOfMemory, CommentTextThatCannotBeAllocatedFailsBothCalls) {
    failCommentText = true;
    EXPECT_EQ(Read(kWithComment), CPI_ERR_MEMORY);
    EXPECT_EQ(comment, nullptr);
    EXPECT_EQ(info, nullptr);
    Bytes image = kWithComment;
    const char* fileName = "/nonexistent-dir/never-created.gif";
    EXPECT_EQ(WriteComment(nullptr, fileName, image.data(), static_cast<int32_t>(image.size()), "x", 1),
              CPI_ERR_MEMORY);
}

} // namespace
