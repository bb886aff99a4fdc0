// libjpeg's opinion of what the plug-in reads and writes: real encoder output
// is described correctly, and writing a comment leaves every pixel as it was.
#include <gtest/gtest.h>

#include <string>

#include "jpeg_module.h"
#include "libjpeg_codec.h"

using namespace jpegtest;

namespace {

struct CodecCase {
    const char* name;
    JpegKind kind;
    std::string infoHead; // the information text's first line
};

void PrintTo(const CodecCase& c, std::ostream* os) { *os << c.name; }

class LibjpegSecondOpinionTest : public ::testing::TestWithParam<CodecCase> {};

TEST_P(LibjpegSecondOpinionTest, DescribesTheEncodedFile) {
    Bytes image = EncodeJpeg(161, 97, GetParam().kind);
    ASSERT_EQ(Plugin().IsSupported(image.data(), static_cast<int32_t>(image.size())), 0);
    CommentResult r = GetCommentOf(image);
    ASSERT_EQ(r.result, CPI_OK);
    EXPECT_FALSE(r.hasComment);
    EXPECT_EQ(r.info, GetParam().infoHead + "\r\nPixel Size : 161 x 97\r\nFile Size  : " +
                          std::to_string(image.size()) + " byte");
}

TEST_P(LibjpegSecondOpinionTest, WrittenCommentKeepsEveryPixel) {
    Bytes original = EncodeJpeg(161, 97, GetParam().kind);
    DecodedJpeg before;
    std::string error;
    ASSERT_TRUE(DecodeJpeg(original, &before, &error)) << error;

    Bytes text;
    for (int i = 0; i < 600; ++i) // every byte value, zero and 0xFF included
        text.push_back(static_cast<unsigned char>(i * 7));
    Bytes withComment;
    ASSERT_EQ(WriteCommentOf(original, text, &withComment), CPI_OK);
    DecodedJpeg after;
    ASSERT_TRUE(DecodeJpeg(withComment, &after, &error)) << error;
    EXPECT_EQ(after.width, before.width);
    EXPECT_EQ(after.height, before.height);
    EXPECT_TRUE(after.pixels == before.pixels) << "pixels changed";
    ASSERT_EQ(after.comments.size(), 1u);
    EXPECT_EQ(after.comments[0], text);

    Bytes replaced;
    ASSERT_EQ(WriteCommentOf(withComment, FromText("second"), &replaced), CPI_OK);
    ASSERT_TRUE(DecodeJpeg(replaced, &after, &error)) << error;
    EXPECT_TRUE(after.pixels == before.pixels) << "pixels changed";
    ASSERT_EQ(after.comments.size(), 1u);
    EXPECT_EQ(after.comments[0], FromText("second"));

    Bytes cleared;
    ASSERT_EQ(WriteCommentOf(replaced, {}, &cleared), CPI_OK);
    EXPECT_EQ(cleared, original);
}

INSTANTIATE_TEST_SUITE_P(Kinds, LibjpegSecondOpinionTest,
                         ::testing::Values(CodecCase{"baseline", JpegKind::Baseline, "JPEG(JFIF) Image"},
                                           CodecCase{"progressive", JpegKind::Progressive,
                                                     "Progressive JPEG(JFIF) Image"},
                                           CodecCase{"exif", JpegKind::Exif, "JPEG(Exif) Image"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
