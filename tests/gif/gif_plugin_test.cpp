// The gif plug-in through its exports, loaded from bin/gif.cpi like the host does.
#include <gtest/gtest.h>

#include <cstring>

#include "gif_fixtures.h"
#include "gif_module.h"

using namespace giftest;

namespace {

class GifPlugin : public ::testing::Test {
protected:
    static void SetUpTestSuite() { gif = new GifModule(); }
    static void TearDownTestSuite() {
        delete gif;
        gif = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(gif->Complete()) << "bin/gif.cpi not loaded or incomplete"; }

    static GifModule* gif;
};
GifModule* GifPlugin::gif = nullptr;

// ---- GetPluginInfo ----------------------------------------------------------

struct InfoCase {
    uint32_t index;
    int32_t size;
    const char* text; // expected buffer text; null: buffer untouched
    int32_t result;
};

std::ostream& operator<<(std::ostream& out, const InfoCase& c) {
    return out << "index " << c.index << " size " << c.size;
}

class GifPluginInfo : public GifPlugin, public ::testing::WithParamInterface<InfoCase> {};

TEST_P(GifPluginInfo, CopiesTheTextAsTheHostExpects) {
    const InfoCase& c = GetParam();
    char buffer[CPI_INFO_CAPACITY + 1];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(gif->GetPluginInfo(c.index, buffer, c.size), c.result);
    if (c.text == nullptr) {
        EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(sizeof buffer, 'x'));
        return;
    }
    EXPECT_STREQ(buffer, c.text);
    EXPECT_EQ(buffer[c.size], '\0');
}

INSTANTIATE_TEST_SUITE_P(Indices, GifPluginInfo,
                         ::testing::Values(InfoCase{0, 64, "CPI1", 4}, InfoCase{2, 64, "*.gif", 5},
                                           InfoCase{3, 64, "GIF Image", 9}, InfoCase{0, 3, "C", 1},
                                           InfoCase{3, 5, "GIF", 3}, InfoCase{4, 64, nullptr, 0},
                                           InfoCase{0xFFFFFFFFu, 64, nullptr, 0}));

TEST_F(GifPlugin, DescriptionArrivesWholeInTheHostsBuffer) {
    char buffer[CPI_INFO_CAPACITY + 1];
    int32_t length = gif->GetPluginInfo(CPI_INFO_DESCRIPTION, buffer, CPI_INFO_CAPACITY);
    EXPECT_LE(length, 62);
    EXPECT_EQ(static_cast<size_t>(length), std::strlen(buffer));
    EXPECT_EQ(std::string(buffer).rfind("GIF89a Comment Plug-In ver.1.01", 0), 0u) << buffer;
}

// ---- IsSupported -------------------------------------------------------------

struct SupportCase {
    const char* name;
    Bytes bytes;
    int32_t result;
};

std::ostream& operator<<(std::ostream& out, const SupportCase& c) {
    return out << c.name;
}

class GifSupport : public GifPlugin, public ::testing::WithParamInterface<SupportCase> {};

TEST_P(GifSupport, AnswersFromTheSignature) {
    const SupportCase& c = GetParam();
    std::unique_ptr<unsigned char[]> copy(new unsigned char[c.bytes.size()]);
    std::copy(c.bytes.begin(), c.bytes.end(), copy.get());
    EXPECT_EQ(gif->IsSupported(copy.get(), static_cast<int32_t>(c.bytes.size())), c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Signatures, GifSupport,
    ::testing::Values(SupportCase{"Gif89a", Cat({kHeader89a, {0, 0}}), 0},
                      SupportCase{"Gif87a", Cat({kHeader87a, {0, 0}}), 0},
                      SupportCase{"SevenBytes", Cat({kHeader89a, kTrailer}), -1},
                      SupportCase{"Empty", {}, -1}, SupportCase{"OtherVersion", ToBytes("GIF90a\0\0"), -1},
                      SupportCase{"LowerCase", ToBytes("GIF89A\0\0"), -1},
                      SupportCase{"Jpeg", {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F'}, -1}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- GetComment --------------------------------------------------------------

std::string Info(const char* version, int w, int h, int colors, size_t fileSize) {
    return std::string(version) + " Image\r\nPixel Size : " + std::to_string(w) + " x " + std::to_string(h) +
           " (" + std::to_string(colors) + " color)\r\nFile Size  : " + std::to_string(fileSize) + " byte";
}

TEST_F(GifPlugin, GetCommentReturnsTheLastCommentAndTheFacts) {
    Bytes image = Cat({kHeader89a, kScreenTable2, CommentExtension("first"), kImage,
                       CommentExtension("\x82\xB1\x82\xF1\r\nsecond"), kTrailer});
    ReadResult read = ReadWith(*gif, image);
    ASSERT_EQ(read.result, CPI_OK);
    ASSERT_TRUE(read.hasComment);
    EXPECT_EQ(read.comment, "\x82\xB1\x82\xF1\r\nsecond");
    EXPECT_EQ(read.info, Info("GIF89a", 3, 2, 2, image.size()));
}

TEST_F(GifPlugin, GetCommentWithoutCommentLeavesTheHandleNull) {
    Bytes image = Minimal89a();
    ReadResult read = ReadWith(*gif, image);
    ASSERT_EQ(read.result, CPI_OK);
    EXPECT_FALSE(read.hasComment);
    EXPECT_EQ(read.info, Info("GIF89a", 3, 2, 0, image.size()));
}

TEST_F(GifPlugin, GetCommentOfAnEmptyCommentGivesAnEmptyBlock) {
    ReadResult read = ReadWith(*gif, Cat({kHeader89a, kScreenNoTable, {0x21, 0xFE, 0x00}, kTrailer}));
    ASSERT_EQ(read.result, CPI_OK);
    EXPECT_TRUE(read.hasComment);
    EXPECT_EQ(read.comment, "");
}

TEST_F(GifPlugin, GetCommentOfGif87aGivesNoCommentEvenWhenOneIsThere) {
    Bytes image = Cat({kHeader87a, kScreenTable2, CommentExtension("hidden"), kImage, kTrailer});
    ReadResult read = ReadWith(*gif, image);
    ASSERT_EQ(read.result, CPI_OK);
    EXPECT_FALSE(read.hasComment);
    EXPECT_EQ(read.info, Info("GIF87a", 3, 2, 2, image.size()));
}

TEST_F(GifPlugin, GetCommentOfADamagedStreamKeepsWhatCameBefore) {
    Bytes image = Cat({kHeader89a, kScreenNoTable, CommentExtension("kept"), {0x21, 0x02, 0x00}, kTrailer});
    ReadResult read = ReadWith(*gif, image);
    ASSERT_EQ(read.result, CPI_OK);
    EXPECT_EQ(read.comment, "kept");
    EXPECT_EQ(read.info, Info("GIF89a", 3, 2, 0, image.size()));
}

TEST_F(GifPlugin, GetCommentOfAnotherFormatMakesNoBlock) {
    Bytes image = ToBytes("GIF88a\x03\x00\x02\x00\x00\x00\x00;");
    HLOCAL comment = nullptr;
    HLOCAL info = nullptr;
    EXPECT_EQ(gif->GetComment(nullptr, image.data(), static_cast<int32_t>(image.size()), &comment, &info),
              CPI_ERR_FORMAT);
    EXPECT_EQ(comment, nullptr);
    EXPECT_EQ(info, nullptr);
}

// ---- WriteComment: the layout of the written file ----------------------------

struct WriteCase {
    const char* name;
    Bytes image;
    std::string text;
    Bytes expected;
};

std::ostream& operator<<(std::ostream& out, const WriteCase& c) {
    return out << c.name;
}

std::vector<WriteCase> WriteCases() {
    const Bytes head = Cat({kHeader89a, kScreenTable2, kGraphicControl, kImage});
    const std::string s300(300, 'x'), s254(254, 'y'), s255(255, 'z');
    return {
        {"InsertsBeforeTrailer", Cat({head, kTrailer}), "Hi",
         Cat({head, {0x21, 0xFE, 0x02, 'H', 'i', 0x00}, kTrailer})},
        {"ReplacesTheCommentInPlace", Cat({head, CommentExtension("old text"), kImage, kTrailer}), "new",
         Cat({head, CommentExtension("new"), kImage, kTrailer})},
        {"ReplacesOnlyTheLastComment",
         Cat({kHeader89a, kScreenNoTable, CommentExtension("A"), kImage, CommentExtension("B"), kTrailer}),
         "C",
         Cat({kHeader89a, kScreenNoTable, CommentExtension("A"), kImage, CommentExtension("C"), kTrailer})},
        {"EmptyTextRemovesTheComment", Cat({head, CommentExtension("gone"), kTrailer}), "",
         Cat({head, kTrailer})},
        {"EmptyTextWithoutCommentKeepsTheFile", Cat({head, kTrailer}), "", Cat({head, kTrailer})},
        {"BytesAfterTrailerGoBeforeTheLastByte", Cat({head, kTrailer, {0x0A, 0x0B}}), "c",
         Cat({head, kTrailer, {0x0A}, {0x21, 0xFE, 0x01, 'c', 0x00}, {0x0B}})},
        {"DamagedStreamIsSavedAllTheSame", Cat({head, {0x21, 0x02, 0x00}, kTrailer}), "d",
         Cat({head, {0x21, 0x02, 0x00}, {0x21, 0xFE, 0x01, 'd', 0x00}, kTrailer})},
        {"MissingTrailerAppendsAfterTheLastBlock", head, "t", Cat({head, {0x21, 0xFE, 0x01, 't', 0x00}})},
        {"CutImageDataGetsTheCommentBeforeItsLastByte", Cat({head, Bytes(kImage.begin(), kImage.end() - 1)}),
         "u", Cat({head, Bytes(kImage.begin(), kImage.end() - 2), {0x21, 0xFE, 0x01, 'u', 0x00}, {0x01}})},
        {"Text300Makes254And46", Cat({head, kTrailer}), s300,
         Cat({head, {0x21, 0xFE, 254}, Bytes(254, 'x'), {46}, Bytes(46, 'x'), {0x00}, kTrailer})},
        {"Text254MakesOneSubBlock", Cat({head, kTrailer}), s254,
         Cat({head, {0x21, 0xFE, 254}, Bytes(254, 'y'), {0x00}, kTrailer})},
        {"Text255Makes254And1", Cat({head, kTrailer}), s255,
         Cat({head, {0x21, 0xFE, 254}, Bytes(254, 'z'), {1, 'z', 0x00}, kTrailer})},
    };
}

class GifWrite : public GifPlugin, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(GifWrite, WritesTheExpectedBytes) {
    const WriteCase& c = GetParam();
    TempFile out;
    ASSERT_EQ(WriteWith(*gif, out.Path(), c.image, c.text), CPI_OK);
    EXPECT_EQ(ReadFile(out.Path()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Layouts, GifWrite, ::testing::ValuesIn(WriteCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// textLength is the host's promise; the writer ends at the NUL or at
// textLength, whichever comes first, and never loops on an empty piece.
struct LengthCase {
    const char* name;
    int32_t textLength;
    Bytes extension;
};

std::ostream& operator<<(std::ostream& out, const LengthCase& c) {
    return out << c.name;
}

class GifWriteLength : public GifPlugin, public ::testing::WithParamInterface<LengthCase> {};

TEST_P(GifWriteLength, EndsAtTheNulOrTheLengthWhicheverComesFirst) {
    const LengthCase& c = GetParam();
    Bytes image = Minimal89a();
    TempFile out;
    const char text[] = "abcdef";
    ASSERT_EQ(gif->WriteComment(nullptr, out.Path().c_str(), image.data(), static_cast<int32_t>(image.size()),
                                text, c.textLength),
              CPI_OK);
    Bytes expected = Minimal89a();
    expected.insert(expected.end() - 1, c.extension.begin(), c.extension.end());
    EXPECT_EQ(ReadFile(out.Path()), expected);
}

INSTANTIATE_TEST_SUITE_P(Lengths, GifWriteLength,
                         ::testing::Values(LengthCase{"Exact", 6, CommentExtension("abcdef")},
                                           LengthCase{"LongerThanTheText", 1000, CommentExtension("abcdef")},
                                           LengthCase{"ShorterThanTheText", 3, CommentExtension("abc")},
                                           LengthCase{"Negative", -1, {}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GifPlugin, WriteOfAnotherFormatCreatesNoFile) {
    TempFile out;
    EXPECT_EQ(WriteWith(*gif, out.Path(), ToBytes("GIF90a\x03\x00\x02\x00\x00\x00\x00;"), "x"),
              CPI_ERR_WRITE);
    EXPECT_FALSE(FileExists(out.Path()));
    EXPECT_EQ(WriteWith(*gif, out.Path(), Cat({kHeader89a, kTrailer}), "x"), CPI_ERR_WRITE);
    EXPECT_FALSE(FileExists(out.Path()));
}

TEST_F(GifPlugin, WriteToAFileThatCannotBeCreatedFails) {
    EXPECT_EQ(WriteWith(*gif, "/nonexistent-dir/out.gif", Minimal89a(), "x"), CPI_ERR_WRITE);
    EXPECT_EQ(WriteWith(*gif, "", Minimal89a(), "x"), CPI_ERR_WRITE);
}

TEST_F(GifPlugin, WriteReplacesAnExistingFile) {
    TempFile out;
    {
        std::ofstream old(out.Path(), std::ios::binary);
        old << std::string(5000, 'q');
    }
    ASSERT_EQ(WriteWith(*gif, out.Path(), Minimal89a(), ""), CPI_OK);
    EXPECT_EQ(ReadFile(out.Path()), Minimal89a());
}

// ---- Round trips ------------------------------------------------------------

struct RoundTripCase {
    const char* name;
    std::string text;
};

std::ostream& operator<<(std::ostream& out, const RoundTripCase& c) {
    return out << c.name;
}

class GifRoundTrip : public GifPlugin, public ::testing::WithParamInterface<RoundTripCase> {};

std::string EveryByteButNul() {
    std::string text;
    for (int b = 1; b < 256; ++b)
        text.push_back(static_cast<char>(b));
    return text;
}

TEST_P(GifRoundTrip, ReadsBackExactlyWhatWasWritten) {
    const std::string& text = GetParam().text;
    Bytes original = Cat({kHeader89a, kScreenTable2, CommentExtension("before"), kImageLocalTable, kTrailer});
    TempFile first, second;
    ASSERT_EQ(WriteWith(*gif, first.Path(), original, text), CPI_OK);
    ReadResult read = ReadWith(*gif, ReadFile(first.Path()));
    ASSERT_EQ(read.result, CPI_OK);
    EXPECT_EQ(read.comment, text);
    // Writing the same text again changes nothing.
    ASSERT_EQ(WriteWith(*gif, second.Path(), ReadFile(first.Path()), text), CPI_OK);
    EXPECT_EQ(ReadFile(second.Path()), ReadFile(first.Path()));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, GifRoundTrip,
    ::testing::Values(RoundTripCase{"ShiftJis",
                                    "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x83\x52\x83\x81\x83\x93\x83\x67"},
                      RoundTripCase{"Utf8", "日本語のコメント ✓"},
                      RoundTripCase{"ControlBytesAndCrLf", "\x01\x02\x1F\x7F\r\n\t\x1B[0m\r\n"},
                      RoundTripCase{"EveryByteButNul", EveryByteButNul()},
                      RoundTripCase{"PieceBoundary508", std::string(508, '\x81')},
                      RoundTripCase{"Long", std::string(100000, '\xE3')}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Cut files --------------------------------------------------------------

// Every prefix of every valid file, read and written: a clean result, no
// crash and no read past the end (the buffers are exactly the prefix).
TEST_F(GifPlugin, EveryPrefixOfAValidFileGivesACleanResult) {
    const std::vector<Bytes> files = {
        Minimal89a(),
        Cat({kHeader89a, kScreenTable2, kApplication, kGraphicControl, kImageLocalTable,
             CommentExtension("abc"), kPlainText, kTrailer}),
        Cat({kHeader89a, kScreenNoTable, CommentExtension(std::string(300, 'c')), kImage, kTrailer}),
    };
    TempFile out;
    for (const Bytes& file : files) {
        for (size_t cut = 0; cut <= file.size(); ++cut) {
            SCOPED_TRACE("cut at " + std::to_string(cut));
            Bytes prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut));
            ReadResult read = ReadWith(*gif, prefix);
            EXPECT_EQ(read.result, cut < 8 ? CPI_ERR_FORMAT : CPI_OK);
            int32_t written = WriteWith(*gif, out.Path(), prefix, "new");
            EXPECT_EQ(written, cut < 8 ? CPI_ERR_WRITE : CPI_OK);
            std::remove(out.Path().c_str());
        }
    }
}

} // namespace
