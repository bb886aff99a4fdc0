// CGifReader: the walk over crafted streams.
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "gif_fixtures.h"
#include "gif_reader.h"

using namespace giftest;

namespace {

struct ScanCase {
    const char* name;
    Bytes image;
    int32_t result;
    int32_t width = 3, height = 2, colorCount = 0;
    std::optional<std::string> comment = std::nullopt; // nullopt: none recorded
    int32_t commentPos = 0, commentBlockLength = 0;
};

std::ostream& operator<<(std::ostream& out, const ScanCase& c) {
    return out << c.name;
}

// Packed 0xF7: a global table of 256 entries, so the first block is at 13 + 768 = 781.
Bytes Table256Then(Bytes rest) {
    Bytes screen = {0x03, 0x00, 0x02, 0x00, 0xF7, 0x00, 0x00};
    return Cat({kHeader89a, screen, Bytes(768, 0x11), rest});
}

const Bytes kTwoSubBlocks = {0x21, 0xFE, 0x02, 'a', 'b', 0x02, 'c', 'd', 0x00}; // 9 bytes

ScanCase Comment(const char* name, Bytes image, int32_t result, std::string text, int32_t pos,
                 int32_t blockLength) {
    ScanCase c{name, std::move(image), result};
    c.comment = std::move(text);
    c.commentPos = pos;
    c.commentBlockLength = blockLength;
    return c;
}

std::vector<ScanCase> ScanCases() {
    return {
        {"Minimal89a", Minimal89a(), CGifReader::ScanTrailer},
        {"SevenBytesAreNoGif", Cat({kHeader89a, kTrailer}), CGifReader::NotGif, 0, 0},
        {"LowerCaseSignature", ToBytes("gif89a\x03\x00\x02\x00\x00\x00\x00;"), CGifReader::NotGif, 0, 0},
        {"UnknownVersion", ToBytes("GIF88a\x03\x00\x02\x00\x00\x00\x00;"), CGifReader::NotGif, 0, 0},
        {"Gif87aIsNotWalked", Cat({kHeader87a, kScreenTable2, CommentExtension("x"), kImage, kTrailer}),
         CGifReader::Gif87a, 3, 2, 2},
        {"Table256ResumesAt781", Table256Then(kTrailer), CGifReader::ScanTrailer, 3, 2, 256},
        {"GlobalTablePastEnd", Cat({kHeader89a, kScreenTable2}), CGifReader::ScanDamaged, 3, 2, 2},
        {"GlobalTableCut", Cat({kHeader89a, Bytes(kScreenTable2.begin(), kScreenTable2.end() - 1)}),
         CGifReader::ScanDamaged, 3, 2, 2},
        // 8 to 12 bytes: only the fields whose bytes are there are read.
        {"EightBytes", Cat({kHeader89a, {0x03, 0x00}}), CGifReader::ScanDamaged, 3, 0},
        {"TenBytes", Cat({kHeader89a, {0x03, 0x00, 0x02, 0x00}}), CGifReader::ScanDamaged},
        {"TwelveBytes87a", Cat({kHeader87a, {0x03, 0x00, 0x02, 0x00, 0x80, 0x00}}), CGifReader::Gif87a},
        {"ExtensionsAndLocalTable",
         Cat({kHeader89a, kScreenTable2, kApplication, kGraphicControl, kImageLocalTable, kPlainText,
              kTrailer}),
         CGifReader::ScanTrailer, 3, 2, 2},
        {"BytesAfterTrailer", Cat({Minimal89a(), {0x00, 0x21, 0x99}}), CGifReader::ScanTrailer},
        Comment("TwoSubBlocks", Cat({kHeader89a, kScreenNoTable, kTwoSubBlocks, kTrailer}),
                CGifReader::ScanTrailer, "abcd", 13, 9),
        Comment("EmptyComment", Cat({kHeader89a, kScreenNoTable, {0x21, 0xFE, 0x00}, kTrailer}),
                CGifReader::ScanTrailer, "", 13, 3),
        Comment(
            "LastCommentWins",
            Cat({kHeader89a, kScreenNoTable, CommentExtension("A"), kImage, CommentExtension("B"), kTrailer}),
            CGifReader::ScanTrailer, "B", 13 + 5 + 15, 5),
        Comment("BytesKeptAsTheyAre",
                Cat({kHeader89a, kScreenNoTable, CommentExtension(std::string("\0\xFF\r\n\x82\xA0", 6)),
                     kTrailer}),
                CGifReader::ScanTrailer, std::string("\0\xFF\r\n\x82\xA0", 6), 13, 10),
        Comment("UnknownLabelAfterComment",
                Cat({kHeader89a, kScreenNoTable, CommentExtension("kept"), {0x21, 0x02, 0x00}, kTrailer}),
                CGifReader::ScanDamaged, "kept", 13, 8),
        Comment("CutCommentLeavesEarlierOne",
                Cat({kHeader89a, kScreenNoTable, CommentExtension("one"), {0x21, 0xFE, 0x05, 't', 'w'}}),
                CGifReader::ScanDamaged, "one", 13, 7),
        {"CutCommentIsNotRecorded", Cat({kHeader89a, kScreenNoTable, {0x21, 0xFE, 0x02, 'a', 'b'}}),
         CGifReader::ScanDamaged},
        {"CutInImageData", Cat({kHeader89a, kScreenNoTable, Bytes(kImage.begin(), kImage.end() - 2)}),
         CGifReader::ScanDamaged},
        {"CutInLocalTable",
         Cat({kHeader89a, kScreenNoTable, Bytes(kImageLocalTable.begin(), kImageLocalTable.begin() + 15)}),
         CGifReader::ScanDamaged},
        {"StrayZeroBetweenBlocks",
         Cat({kHeader89a, kScreenNoTable, kGraphicControl, {0x00}, kImage, kTrailer}),
         CGifReader::ScanDamaged},
        {"NoTrailer", Cat({kHeader89a, kScreenNoTable, kImage}), CGifReader::ScanDamaged},
        {"IntroducerAtTheEnd", Cat({kHeader89a, kScreenNoTable, {0x21}}), CGifReader::ScanDamaged},
    };
}

// The image in a heap block of exactly its size, so ASan sees any read past it.
std::unique_ptr<unsigned char[]> ExactCopy(const Bytes& bytes, size_t size) {
    std::unique_ptr<unsigned char[]> copy(new unsigned char[size]);
    std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size), copy.get());
    return copy;
}

class GifScan : public ::testing::TestWithParam<ScanCase> {};

TEST_P(GifScan, RecordsWhatTheStreamHolds) {
    const ScanCase& c = GetParam();
    auto image = ExactCopy(c.image, c.image.size());
    CGifReader reader(image.get(), static_cast<int32_t>(c.image.size()));
    EXPECT_EQ(reader.Scan(), c.result);
    EXPECT_EQ(reader.Width(), c.width);
    EXPECT_EQ(reader.Height(), c.height);
    EXPECT_EQ(reader.ColorCount(), c.colorCount);
    if (!c.comment) {
        EXPECT_EQ(reader.CommentLength(), -1);
        EXPECT_EQ(reader.CommentPos(), 0);
        return;
    }
    ASSERT_EQ(reader.CommentLength(), static_cast<int32_t>(c.comment->size()));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(reader.CommentText()), c.comment->size()),
              *c.comment);
    EXPECT_EQ(reader.CommentText()[c.comment->size()], '\0');
    EXPECT_EQ(reader.CommentPos(), c.commentPos);
    EXPECT_EQ(reader.CommentBlockLength(), c.commentBlockLength);
}

INSTANTIATE_TEST_SUITE_P(Streams, GifScan, ::testing::ValuesIn(ScanCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Every prefix of every stream gives a clean result, and a recorded comment
// extension lies wholly inside the prefix.
TEST(GifScanCut, EveryPrefixEndsCleanly) {
    for (const ScanCase& c : ScanCases()) {
        for (size_t cut = 0; cut <= c.image.size(); ++cut) {
            SCOPED_TRACE(std::string(c.name) + " cut at " + std::to_string(cut));
            auto image = ExactCopy(c.image, cut);
            CGifReader reader(image.get(), static_cast<int32_t>(cut));
            int32_t result = reader.Scan();
            EXPECT_NE(result, CGifReader::NoMemory);
            if (cut < 8) {
                EXPECT_EQ(result, CGifReader::NotGif);
            }
            if (reader.CommentLength() >= 0) {
                EXPECT_LE(reader.CommentPos() + reader.CommentBlockLength(), static_cast<int32_t>(cut));
            }
        }
    }
}

// Where the walk stopped decides where a new comment may go in a stream
// without its trailer.
TEST(GifScanStop, NamesTheBlockWhereTheWalkStopped) {
    const Bytes head = Cat({kHeader89a, kScreenNoTable, kImage}); // blocks end at 28
    const std::vector<std::pair<Bytes, int32_t>> cases = {
        {Cat({head, kTrailer}), 28},                                // the trailer
        {head, 28},                                                 // ended between blocks
        {Cat({head, {0x21, 0x02, 0x00}, kTrailer}), 28},            // the unknown extension
        {Cat({head, Bytes(kImage.begin(), kImage.end() - 1)}), 28}, // the cut image
        {Cat({head, {0x00}}), 28},                                  // the stray byte
        {Cat({kHeader89a, {0x03, 0x00}}), 6},                       // the cut screen descriptor
    };
    for (const auto& [image, stop] : cases) {
        CGifReader reader(image.data(), static_cast<int32_t>(image.size()));
        reader.Scan();
        EXPECT_EQ(reader.StopPos(), stop) << "image of " << image.size() << " bytes";
    }
}

TEST(GifSignature, LooksAtTheFirstSixBytesOnly) {
    // Eight bytes are enough; nothing after the version is looked at.
    Bytes eight = Cat({kHeader89a, {0xEE, 0xEE}});
    EXPECT_EQ(CGifReader(eight.data(), 8).CheckSignature(), CGifReader::ScanTrailer);
    Bytes old = Cat({kHeader87a, {0xEE, 0xEE}});
    EXPECT_EQ(CGifReader(old.data(), 8).CheckSignature(), CGifReader::Gif87a);
    EXPECT_EQ(CGifReader(eight.data(), 7).CheckSignature(), CGifReader::NotGif);
    EXPECT_EQ(CGifReader(nullptr, 0).CheckSignature(), CGifReader::NotGif);
    EXPECT_EQ(CGifReader(eight.data(), -5).CheckSignature(), CGifReader::NotGif);
}

TEST(GifCopyComment, CutsToCapacityAndTerminates) {
    Bytes image = Cat({kHeader89a, kScreenNoTable, CommentExtension("hello"), kTrailer});
    CGifReader reader(image.data(), static_cast<int32_t>(image.size()));
    ASSERT_EQ(reader.Scan(), CGifReader::ScanTrailer);
    char buffer[8] = "xxxxxxx";
    EXPECT_EQ(reader.CopyComment(buffer, 3), 2);
    EXPECT_STREQ(buffer, "he");
    EXPECT_EQ(reader.CopyComment(buffer, 6), 5);
    EXPECT_STREQ(buffer, "hello");
}

} // namespace
