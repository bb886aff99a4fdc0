// The jpeg plug-in through its five exports, loaded from bin/jpeg.cpi.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "jpeg_fixtures.h"
#include "jpeg_module.h"
#include "scripted_ui.h"

using namespace jpegtest;

namespace {

const char kDescription[] = "JPEG(JFIF/Exif) Comment Plug-In ver.1.20 (C) Tessane project";

// ---- GetPluginInfo -------------------------------------------------------------

struct InfoCase {
    uint32_t index;
    int32_t size;
    std::string text;
};

void PrintTo(const InfoCase& c, std::ostream* os) { *os << c.index << "/" << c.size; }

class GetPluginInfoTest : public ::testing::TestWithParam<InfoCase> {};

TEST_P(GetPluginInfoTest, CopiesAtMostSizeMinusTwoCharacters) {
    const InfoCase& c = GetParam();
    char buffer[CPI_INFO_CAPACITY + 1];
    std::memset(buffer, 'x', sizeof buffer);
    int32_t result = Plugin().GetPluginInfo(c.index, buffer, c.size);
    EXPECT_EQ(result, static_cast<int32_t>(c.text.size()));
    EXPECT_EQ(std::string(buffer), c.text);
    EXPECT_EQ(buffer[c.size], '\0');
}

INSTANTIATE_TEST_SUITE_P(Texts, GetPluginInfoTest,
                         ::testing::Values(InfoCase{0, 64, "CPI1"}, InfoCase{1, 64, kDescription},
                                           InfoCase{1, 10, "JPEG(JFI"}, InfoCase{2, 64, "*.jpg;*.jpeg"},
                                           InfoCase{3, 64, "JPEG Image"}, InfoCase{3, 2, ""}));

TEST(GetPluginInfoTest, UnknownIndexLeavesTheBufferAlone) {
    for (uint32_t index : {4u, 0x80000000u, 0xFFFFFFFFu}) {
        char buffer[CPI_INFO_CAPACITY + 1];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(Plugin().GetPluginInfo(index, buffer, CPI_INFO_CAPACITY), 0);
        EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(sizeof buffer, 'x'));
    }
}

TEST(GetPluginInfoTest, DescriptionArrivesWhole) {
    EXPECT_EQ(std::string(kDescription).rfind("JPEG(JFIF/Exif) Comment Plug-In ver.1.20", 0), 0u);
    EXPECT_LE(std::strlen(kDescription), 62u);
}

// ---- ConfigurationDlg ------------------------------------------------------------

TEST(ConfigurationDlgTest, OffersTheAboutBoxOnly) {
    tsntest::ScriptedUi ui;
    EXPECT_EQ(Plugin().ConfigurationDlg(nullptr, CPI_CONFIG_FLAGS), CPI_FLAG_ABOUT);
    EXPECT_EQ(Plugin().ConfigurationDlg(nullptr, CPI_CONFIG_SETTINGS), CPI_ERR_PLUGIN);
    EXPECT_EQ(Plugin().ConfigurationDlg(nullptr, 3), CPI_ERR_PLUGIN);
    EXPECT_EQ(Plugin().ConfigurationDlg(nullptr, -1), CPI_ERR_PLUGIN);
    EXPECT_TRUE(ui.MessageBoxes().empty());
}

TEST(ConfigurationDlgTest, AboutBoxShowsTheDescription) {
    tsntest::ScriptedUi ui;
    int owner = 0;
    EXPECT_EQ(Plugin().ConfigurationDlg(&owner, CPI_CONFIG_ABOUT), CPI_OK);
    ASSERT_EQ(ui.MessageBoxes().size(), 1u);
    const auto& box = ui.MessageBoxes()[0];
    EXPECT_EQ(box.owner, &owner);
    EXPECT_EQ(box.text, kDescription);
    EXPECT_EQ(box.caption, "About");
    EXPECT_EQ(box.style, MB_OK | MB_ICONINFORMATION);
}

// ---- IsSupported -------------------------------------------------------------------

TEST(IsSupportedTest, AnswersZeroForJfifAndExifOnly) {
    Bytes jfif = BaselineJfif();
    Bytes exif = Join({Soi(), App1Exif(500), Eoi()});
    Bytes gif = FromText("GIF89a\x10\x00\x10\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff\x3b");
    Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0, 0, 0, 1, 0, 0, 0, 1};
    Bytes dqtFirst = Join({Soi(), Dqt(), App0Jfif()});
    Bytes short19(jfif.begin(), jfif.begin() + 19);
    auto ask = [](const Bytes& b) { return Plugin().IsSupported(b.data(), static_cast<int32_t>(b.size())); };
    EXPECT_EQ(ask(jfif), 0);
    EXPECT_EQ(ask(exif), 0);
    EXPECT_EQ(ask(gif), -1);
    EXPECT_EQ(ask(png), -1);
    EXPECT_EQ(ask(dqtFirst), -1);
    EXPECT_EQ(ask(short19), -1);
    EXPECT_EQ(Plugin().IsSupported(nullptr, 0), -1);
}

// ---- GetComment --------------------------------------------------------------------

TEST(GetCommentTest, DescribesAnExifBaselineFile) {
    // 2 + (828 + 2) + DQT 69 + SOF0 19 + SOS 14 + data 14 + EOI 2 = 950 bytes
    Bytes image = Join({Soi(), App1Exif(828), Dqt(), Frame(0xC0, 640, 480), Sos(), EntropyData(), Eoi()});
    ASSERT_EQ(image.size(), 950u);
    CommentResult r = GetCommentOf(image);
    EXPECT_EQ(r.result, CPI_OK);
    EXPECT_FALSE(r.hasComment) << "no COM segment: the comment handle stays null";
    EXPECT_EQ(r.info, "JPEG(Exif) Image\r\nPixel Size : 640 x 480\r\nFile Size  : 950 byte");
}

TEST(GetCommentTest, DescribesAProgressiveJfifFile) {
    Bytes image = Join({Soi(), App0Jfif(), Com("hi"), Frame(0xC2, 1024, 768), Sos(), EntropyData(), Eoi()});
    CommentResult r = GetCommentOf(image);
    EXPECT_EQ(r.result, CPI_OK);
    EXPECT_EQ(r.comment, FromText("hi"));
    EXPECT_EQ(r.info, "Progressive JPEG(JFIF) Image\r\nPixel Size : 1024 x 768\r\nFile Size  : " +
                          std::to_string(image.size()) + " byte");
}

TEST(GetCommentTest, UnknownFrameTypeGivesZeroSize) {
    Bytes image = Join({Soi(), App0Jfif(), Frame(0xC1, 10, 10), Eoi()}); // 41 bytes
    EXPECT_EQ(GetCommentOf(image).info, "JPEG(JFIF) Image\r\nPixel Size : 0 x 0\r\nFile Size  : 41 byte");
}

TEST(GetCommentTest, EmptyCommentSegmentGivesABlockOfOneZeroByte) {
    CommentResult r = GetCommentOf(Join({Soi(), App0Jfif(), Com(""), Eoi()}), 0);
    EXPECT_EQ(r.result, CPI_OK);
    EXPECT_TRUE(r.hasComment);
    EXPECT_TRUE(r.comment.empty());
}

TEST(GetCommentTest, BlockHoldsZeroBytesInsideTheComment) {
    std::string text("one\0two", 7);
    CommentResult r = GetCommentOf(Join({Soi(), App0Jfif(), Com(text), Eoi()}), 7);
    EXPECT_EQ(r.comment, FromText(text));
}

TEST(GetCommentTest, OtherFormatsAreRefusedWithoutHandles) {
    Bytes dqtFirst = Join({Soi(), Dqt(), App0Jfif(), Eoi()});
    HLOCAL comment = nullptr;
    HLOCAL info = nullptr;
    EXPECT_EQ(Plugin().GetComment(nullptr, dqtFirst.data(), static_cast<int32_t>(dqtFirst.size()), &comment, &info),
              CPI_ERR_FORMAT);
    EXPECT_EQ(comment, nullptr);
    EXPECT_EQ(info, nullptr);
    EXPECT_EQ(Plugin().GetComment(nullptr, nullptr, 0, &comment, &info), CPI_ERR_FORMAT);
}

// ---- WriteComment --------------------------------------------------------------------

struct WriteCase {
    const char* name;
    Bytes image;
    std::string text;
    Bytes expected;
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class WriteCommentTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteCommentTest, ReplacesOnlyTheLastCommentSegment) {
    const WriteCase& c = GetParam();
    Bytes written;
    ASSERT_EQ(WriteCommentOf(c.image, FromText(c.text), &written), CPI_OK);
    EXPECT_EQ(written, c.expected);
}

Bytes Head() { return Join({Soi(), App0Jfif()}); }
Bytes Body() { return Join({Dqt(), Frame(0xC0, 640, 480), Dht(), Sos(), EntropyData(), Eoi()}); }

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteCommentTest,
    ::testing::Values(
        // no COM: the new one goes at offset 20, right after APP0
        WriteCase{"insert_after_app0", BaselineJfif(), "Hello", Join({Head(), Com("Hello"), Body()})},
        WriteCase{"insert_after_exif_app1", Join({Soi(), App1Exif(500), Body()}), "x",
                  Join({Soi(), App1Exif(500), Com("x"), Body()})},
        WriteCase{"insert_after_thumbnail", Join({Soi(), App0Jfif(2, 2), Body()}), "t",
                  Join({Soi(), App0Jfif(2, 2), Com("t"), Body()})},
        WriteCase{"replace_one", Join({Head(), Dqt(), Com("old text"), Body()}), "new",
                  Join({Head(), Dqt(), Com("new"), Body()})},
        WriteCase{"remove_one", Join({Head(), Com("old"), Body()}), "", Join({Head(), Body()})},
        WriteCase{"empty_text_without_comment_changes_nothing", BaselineJfif(), "", BaselineJfif()},
        WriteCase{"replace_second_of_two", Join({Head(), Com("first"), Dqt(), Com("second"), Body()}), "third",
                  Join({Head(), Com("first"), Dqt(), Com("third"), Body()})},
        WriteCase{"clear_second_of_two", Join({Head(), Com("first"), Dqt(), Com("second"), Body()}), "",
                  Join({Head(), Com("first"), Dqt(), Body()})},
        WriteCase{"replace_after_eoi", Join({Head(), Body(), Com("tail")}), "new tail",
                  Join({Head(), Body(), Com("new tail")})},
        // an image cut short inside its scan data is copied as it is
        WriteCase{"truncated_scan_kept", Join({Head(), Dqt(), Sos(), {0x12, 0xFF}}), "c",
                  Join({Head(), Com("c"), Dqt(), Sos(), {0x12, 0xFF}})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WriteCommentTest, ClearingTheSecondOfTwoCommentsRevealsTheFirst) {
    Bytes written;
    ASSERT_EQ(WriteCommentOf(Join({Head(), Com("first"), Com("second"), Body()}), {}, &written), CPI_OK);
    EXPECT_EQ(GetCommentOf(written).comment, FromText("first"));
}

TEST(WriteCommentTest, LongTextsAreCutToOneSegment) {
    for (size_t length : {65533u, 65534u, 70000u}) {
        SCOPED_TRACE(length);
        Bytes text(length);
        for (size_t i = 0; i < length; ++i)
            text[i] = static_cast<unsigned char>('A' + i % 26);
        Bytes written;
        ASSERT_EQ(WriteCommentOf(BaselineJfif(), text, &written), CPI_OK);
        ASSERT_EQ(written.size(), BaselineJfif().size() + 4 + 65533);
        EXPECT_EQ(written[22], 0xFF); // S = 65535
        EXPECT_EQ(written[23], 0xFF);
        text.resize(65533);
        EXPECT_EQ(GetCommentOf(written, 65533).comment, text);
    }
}

TEST(WriteCommentTest, OtherFormatsCreateNoFile) {
    Bytes jfif19 = BaselineJfif();
    jfif19.resize(19);
    for (const Bytes& image : {Join({Soi(), Dqt(), App0Jfif(), Eoi()}), FromText("GIF89a and some more bytes"), jfif19}) {
        Bytes written;
        EXPECT_EQ(WriteCommentOf(image, FromText("x"), &written), CPI_ERR_WRITE);
        EXPECT_FALSE(FileExists(TempDirectory() + "/out.jpg"));
    }
}

// A first segment whose length field points past the end, or is below its own
// two bytes, leaves no sound place for the comment: the writer refuses instead
// of copying bytes that are not there or splitting the segment's header.
class BrokenFirstSegmentTest : public ::testing::TestWithParam<int> {};

TEST_P(BrokenFirstSegmentTest, IsRefusedWithoutAFile) {
    Bytes image = Join({Soi(), App0Jfif(), Com("old"), Eoi()});
    image[4] = static_cast<unsigned char>(GetParam() >> 8); // APP0 length field
    image[5] = static_cast<unsigned char>(GetParam() & 0xFF);
    Bytes written;
    EXPECT_EQ(WriteCommentOf(image, FromText("x"), &written), CPI_ERR_WRITE);
    EXPECT_FALSE(FileExists(TempDirectory() + "/out.jpg"));
    CommentResult r = GetCommentOf(image);
    EXPECT_EQ(r.result, CPI_OK) << "reading it is still fine";
    EXPECT_FALSE(r.hasComment);
}

INSTANTIATE_TEST_SUITE_P(LengthFields, BrokenFirstSegmentTest, ::testing::Values(0x0110, 0xFFFF, 0, 1));

TEST(WriteCommentTest, UncreatableFileIsAWriteError) {
    Bytes image = BaselineJfif();
    std::string path = TempDirectory() + "/missing-dir/out.jpg";
    EXPECT_EQ(Plugin().WriteComment(nullptr, path.c_str(), image.data(), static_cast<int32_t>(image.size()), "x", 1),
              CPI_ERR_WRITE);
}

TEST(WriteCommentTest, ArbitraryBytesRoundTripExactly) {
    std::mt19937 rng(99);
    std::uniform_int_distribution<int> byte(0, 255);
    Bytes image = Join({Head(), Com("start"), Body()});
    for (size_t length : {1u, 2u, 255u, 256u, 257u, 4096u, 65533u}) {
        Bytes text(length);
        for (auto& b : text)
            b = static_cast<unsigned char>(byte(rng));
        Bytes written;
        ASSERT_EQ(WriteCommentOf(image, text, &written), CPI_OK);
        CommentResult r = GetCommentOf(written, static_cast<int32_t>(length));
        EXPECT_EQ(r.comment, text) << length;
        image = written; // the next text replaces this one
    }
    EXPECT_EQ(GetCommentOf(image).result, CPI_OK);
}

// Every cut of a valid file: both functions stay inside the (exactly sized)
// image, and a file written from a cut image carries the new comment.
TEST(WriteCommentTest, ImageCutShortAnywhereIsHandledSafely) {
    Bytes whole = Join({Head(), Com("comment"), Body(), Com("trailer")});
    for (size_t cut = 0; cut <= whole.size(); ++cut) {
        SCOPED_TRACE(cut);
        Bytes image(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
        image.shrink_to_fit();
        CommentResult r = GetCommentOf(image);
        EXPECT_EQ(r.result, cut < 20 ? CPI_ERR_FORMAT : CPI_OK);
        Bytes written;
        int32_t result = WriteCommentOf(image, FromText("new"), &written);
        EXPECT_EQ(result, cut < 20 ? CPI_ERR_WRITE : CPI_OK);
        if (result == CPI_OK) {
            EXPECT_EQ(GetCommentOf(written).comment, FromText("new"));
        }
    }
}

} // namespace
