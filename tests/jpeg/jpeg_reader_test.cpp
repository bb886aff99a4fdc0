// CJpegReader: the signature test and the marker walk over crafted streams.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "jpeg_fixtures.h"
#include "jpeg_reader.h"

using namespace jpegtest;

namespace {

// What a walk learned about an image.
struct WalkFacts {
    int32_t result = 0;
    int32_t commentPos = 0;
    int32_t commentBlockLength = 0;
    int32_t commentLength = -1;
    std::string text;
    int32_t width = 0;
    int32_t height = 0;
    int32_t progressive = 0;

    bool operator==(const WalkFacts&) const = default;
};

void PrintTo(const WalkFacts& f, std::ostream* os) {
    *os << "{result " << f.result << ", pos " << f.commentPos << ", block " << f.commentBlockLength << ", length "
        << f.commentLength << ", text \"" << f.text << "\", " << f.width << " x " << f.height << ", progressive "
        << f.progressive << "}";
}

WalkFacts ScanFacts(const unsigned char* image, int32_t size) {
    CJpegReader reader(image, size);
    WalkFacts facts;
    facts.result = reader.Scan();
    facts.commentPos = reader.CommentPos();
    facts.commentBlockLength = reader.CommentBlockLength();
    facts.commentLength = reader.CommentLength();
    if (reader.CommentText() != nullptr)
        facts.text.assign(reinterpret_cast<const char*>(reader.CommentText()),
                          static_cast<size_t>(reader.CommentLength()));
    facts.width = reader.Width();
    facts.height = reader.Height();
    facts.progressive = reader.Progressive();
    return facts;
}

WalkFacts ScanFacts(const Bytes& image) { return ScanFacts(image.data(), static_cast<int32_t>(image.size())); }

// A copy of exactly the first n bytes in a heap block of its own, so that
// AddressSanitizer reports any read past them.
std::unique_ptr<unsigned char[]> ExactCopy(const Bytes& image, size_t n) {
    std::unique_ptr<unsigned char[]> copy(new unsigned char[n == 0 ? 1 : n]);
    if (n != 0)
        std::memcpy(copy.get(), image.data(), n);
    return copy;
}

// ---- CheckSignature ----------------------------------------------------------

struct SignatureCase {
    const char* name;
    Bytes image;
    int32_t expected;
};

void PrintTo(const SignatureCase& c, std::ostream* os) { *os << c.name; }

class CheckSignatureTest : public ::testing::TestWithParam<SignatureCase> {};

TEST_P(CheckSignatureTest, JudgesTheFirstSegmentOnly) {
    const SignatureCase& c = GetParam();
    auto exact = ExactCopy(c.image, c.image.size());
    CJpegReader reader(exact.get(), static_cast<int32_t>(c.image.size()));
    EXPECT_EQ(reader.CheckSignature(), c.expected);
}

Bytes Padded(Bytes image, size_t size) {
    image.resize(size, 0);
    return image;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckSignatureTest,
    ::testing::Values(
        SignatureCase{"jfif", BaselineJfif(), CJpegReader::kJfif},
        SignatureCase{"exif", Join({Soi(), App1Exif(500), Eoi()}), CJpegReader::kExif},
        // 19 bytes: too short even though the first 12 bytes are a JFIF start
        SignatureCase{"jfif_19_bytes", Padded(Join({Soi(), App0Jfif()}), 19), CJpegReader::kNotHandled},
        SignatureCase{"jfif_20_bytes", Padded(Join({Soi(), App0Jfif()}), 20), CJpegReader::kJfif},
        // the first 12 bytes decide from 20 on, whatever the length field says
        SignatureCase{"jfif_length_unchecked",
                      Padded({0xFF, 0xD8, 0xFF, 0xE0, 0xFF, 0xFF, 'J', 'F', 'I', 'F', 0, 0}, 20), CJpegReader::kJfif},
        SignatureCase{"app0_jfxx", Join({Soi(), App0("JFXX", 8), App0Jfif()}), CJpegReader::kNotHandled},
        // APP0 "JFIF" without its terminating zero byte
        SignatureCase{"app0_jfif_unterminated", Padded({0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 'X'}, 24),
                      CJpegReader::kNotHandled},
        // APP1 "Exif", one zero byte and then a non-zero byte
        SignatureCase{"exif_second_byte_nonzero",
                      Padded({0xFF, 0xD8, 0xFF, 0xE1, 0, 30, 'E', 'x', 'i', 'f', 0, 1}, 32),
                      CJpegReader::kNotHandled},
        SignatureCase{"dqt_first", Join({Soi(), Dqt(), App0Jfif()}), CJpegReader::kNotHandled},
        SignatureCase{"jfif_then_exif", Join({Soi(), App0Jfif(), App1Exif(40), Eoi()}), CJpegReader::kJfif},
        SignatureCase{"no_soi", Padded({0xFF, 0xD9, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0}, 30),
                      CJpegReader::kNotHandled},
        SignatureCase{"gif", Padded(FromText("GIF89a"), 40), CJpegReader::kNotHandled},
        SignatureCase{"empty", Bytes{}, CJpegReader::kNotHandled}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CheckSignatureTest, NullImageIsNotHandled) {
    CJpegReader reader(nullptr, 100);
    EXPECT_EQ(reader.CheckSignature(), CJpegReader::kNotHandled);
    EXPECT_EQ(reader.Scan(), CJpegReader::kNotHandled);
}

// ---- Scan --------------------------------------------------------------------

struct ScanCase {
    const char* name;
    Bytes image;
    WalkFacts expected;
};

void PrintTo(const ScanCase& c, std::ostream* os) { *os << c.name; }

class ScanTest : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanTest, RecordsTheLastCommentAndTheFrameSize) {
    const ScanCase& c = GetParam();
    auto exact = ExactCopy(c.image, c.image.size());
    EXPECT_EQ(ScanFacts(exact.get(), static_cast<int32_t>(c.image.size())), c.expected);
}

// Every valid fixture cut short anywhere: no read past the cut (ASan), and any
// comment recorded is whole and lies inside the cut image.
TEST_P(ScanTest, ImageCutShortAnywhereIsWalkedSafely) {
    const ScanCase& c = GetParam();
    for (size_t cut = 0; cut < c.image.size(); ++cut) {
        SCOPED_TRACE(cut);
        auto exact = ExactCopy(c.image, cut);
        WalkFacts facts = ScanFacts(exact.get(), static_cast<int32_t>(cut));
        EXPECT_EQ(facts.result, cut < 20 ? 0 : c.expected.result);
        if (facts.commentLength >= 0) {
            ASSERT_LE(static_cast<size_t>(facts.commentPos + facts.commentBlockLength), cut);
            EXPECT_EQ(facts.text, std::string(reinterpret_cast<const char*>(exact.get()) + facts.commentPos + 4,
                                              static_cast<size_t>(facts.commentLength)));
        }
    }
}

constexpr int32_t J = CJpegReader::kJfif;
constexpr int32_t X = CJpegReader::kExif;

// Sizes for the offsets below: SOI 2 + APP0 18 = 20; DQT 69; SOFn 19; DHT 22; SOS 14; entropy data 14.
INSTANTIATE_TEST_SUITE_P(
    Cases, ScanTest,
    ::testing::Values(
        ScanCase{"jfif_no_comment", BaselineJfif(), {J, 20, 0, -1, "", 640, 480, 0}},
        ScanCase{"jfif_comment_after_app0",
                 Join({Soi(), App0Jfif(), Com("Hello"), Dqt(), Frame(0xC0, 640, 480), Sos(), EntropyData(), Eoi()}),
                 {J, 20, 9, 5, "Hello", 640, 480, 0}},
        // APP0 with a 2 x 1 thumbnail: length field 16 + 6
        ScanCase{"jfif_thumbnail_no_comment",
                 Join({Soi(), App0Jfif(2, 1), Dqt(), Frame(0xC0, 8, 8), Sos(), EntropyData(), Eoi()}),
                 {J, 26, 0, -1, "", 8, 8, 0}},
        ScanCase{"exif_500_no_comment",
                 Join({Soi(), App1Exif(500), Dqt(), Frame(0xC0, 640, 480), Sos(), EntropyData(), Eoi()}),
                 {X, 504, 0, -1, "", 640, 480, 0}},
        // COM length field 2: an empty comment, unlike no comment
        ScanCase{"com_length_2", Join({Soi(), App0Jfif(), Com(""), Frame(0xC0, 1, 1), Eoi()}),
                 {J, 20, 4, 0, "", 1, 1, 0}},
        // two COM segments: 20 + 9 + 69 = 98 for the second
        ScanCase{"two_comments",
                 Join({Soi(), App0Jfif(), Com("first"), Dqt(), Com("second"), Frame(0xC0, 2, 3), Eoi()}),
                 {J, 98, 10, 6, "second", 2, 3, 0}},
        // progressive: SOF2, a scan, COM, another scan; 20 + 19 + 14 + 14 = 67
        ScanCase{"comment_between_progressive_scans",
                 Join({Soi(), App0Jfif(), Frame(0xC2, 320, 200), Sos(), EntropyData(), Com("mid"), Sos(),
                       EntropyData(), Eoi()}),
                 {J, 67, 7, 3, "mid", 320, 200, 1}},
        // 20 + 69 + 19 + 14 + 14 + 2 = 138 for the COM after EOI
        ScanCase{"comment_after_eoi",
                 Join({Soi(), App0Jfif(), Dqt(), Frame(0xC0, 640, 480), Sos(), EntropyData(), Eoi(), Com("tail")}),
                 {J, 138, 8, 4, "tail", 640, 480, 0}},
        // the thumbnail's COM and 160 x 120 frame inside APP1 (length field 86) are never seen
        ScanCase{"comment_inside_exif_thumbnail",
                 Join({Soi(), App1ExifWithThumbnail(), Frame(0xC0, 640, 480), Sos(), EntropyData(), Eoi()}),
                 {X, 90, 0, -1, "", 640, 480, 0}},
        ScanCase{"sof1_only", Join({Soi(), App0Jfif(), Frame(0xC1, 640, 480), Sos(), EntropyData(), Eoi()}),
                 {J, 20, 0, -1, "", 0, 0, 0}},
        // the last SOF0/SOF2 stands; progressive is never reset
        ScanCase{"last_frame_header_wins",
                 Join({Soi(), App0Jfif(), Frame(0xC2, 10, 20), Frame(0xC0, 30, 40), Frame(0xC1, 50, 60), Eoi()}),
                 {J, 20, 0, -1, "", 30, 40, 1}},
        // fill bytes in front of a COM marker
        ScanCase{"fill_bytes_before_comment", Join({Soi(), App0Jfif(), {0xFF, 0xFF, 0xFF}, Com("x"), Eoi()}),
                 {J, 23, 5, 1, "x", 0, 0, 0}},
        ScanCase{"comment_with_zero_bytes", Join({Soi(), App0Jfif(), Com(std::string("a\0b", 3)), Eoi()}),
                 {J, 20, 7, 3, std::string("a\0b", 3), 0, 0, 0}},
        // malformed COM lengths 0 and 1: the walk ends there, nothing recorded
        ScanCase{"com_length_0", Join({Soi(), App0Jfif(), {0xFF, 0xFE, 0x00, 0x00}, Com("later"), Eoi()}),
                 {J, 20, 0, -1, "", 0, 0, 0}},
        ScanCase{"com_length_1_after_comment",
                 Join({Soi(), App0Jfif(), Com("kept"), {0xFF, 0xFE, 0x00, 0x01}, Com("later"), Eoi()}),
                 {J, 20, 8, 4, "kept", 0, 0, 0}},
        // a COM whose length runs past the end is dropped
        ScanCase{"comment_past_end", Join({Soi(), App0Jfif(), Com("whole"), {0xFF, 0xFE, 0x00, 0x40, 'a', 'b'}}),
                 {J, 20, 9, 5, "whole", 0, 0, 0}},
        // a 0xFF as the very last byte
        ScanCase{"lone_ff_at_end", Join({Soi(), App0Jfif(), Com("c"), {0x00, 0xFF}}), {J, 20, 5, 1, "c", 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- The fast walk against a byte-by-byte one ----------------------------------

// The walk taken one byte at a time, as the marker table reads, with the same
// rules for the end of the image and for lengths below 2.
WalkFacts ReferenceWalk(const Bytes& image) {
    WalkFacts facts;
    CJpegReader probe(image.data(), static_cast<int32_t>(image.size()));
    facts.result = probe.CheckSignature();
    if (facts.result == 0)
        return facts;
    const size_t size = image.size();
    auto u16 = [&](size_t at) { return static_cast<size_t>(image[at]) << 8 | image[at + 1]; };
    size_t pos = 0;
    while (pos < size) {
        if (image[pos] != 0xFF) {
            pos += 1;
            continue;
        }
        if (pos + 1 >= size)
            break;
        unsigned m = image[pos + 1];
        if (m == 0x00 || m == 0xFF || m == 0xDA || (m >= 0xD0 && m <= 0xD7)) {
            pos += 1;
            continue;
        }
        if (m == 0xD8 || m == 0xD9) {
            pos += 2;
            continue;
        }
        if (pos + 4 > size)
            break;
        size_t length = u16(pos + 2);
        if (length < 2 || pos + length + 2 > size)
            break;
        if (m == 0xFE) {
            facts.commentPos = static_cast<int32_t>(pos);
            facts.commentBlockLength = static_cast<int32_t>(length + 2);
            facts.commentLength = static_cast<int32_t>(length - 2);
            facts.text.assign(reinterpret_cast<const char*>(&image[pos + 4]), length - 2);
        }
        if ((m == 0xC0 || m == 0xC2) && length >= 7) {
            facts.height = static_cast<int32_t>(u16(pos + 5));
            facts.width = static_cast<int32_t>(u16(pos + 7));
        }
        if (m == 0xC2)
            facts.progressive = 1;
        pos += length + 2;
    }
    if (facts.commentPos == 0)
        facts.commentPos = static_cast<int32_t>(4 + u16(4));
    return facts;
}

// Random streams after a JFIF start, made of pieces that make markers
// common: segments with short (sometimes malformed or overlong) lengths and
// random contents, fill bytes, stuffed zeros, restart markers and loose bytes.
Bytes RandomStream(std::mt19937& rng, size_t length) {
    static const unsigned char kMarkers[] = {0xFE, 0xFE, 0xC0, 0xC2, 0xC1, 0xDA, 0xD0, 0xD8, 0xD9, 0xE1, 0xDB, 0x01};
    auto below = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    auto byte = [&] { return static_cast<unsigned char>(below(256)); };
    Bytes image = Join({Soi(), App0Jfif()});
    while (image.size() < length) {
        switch (below(6)) {
        case 0: { // a segment
            int field = below(10) == 0 ? below(4) : 2 + below(12); // now and then below 2
            image.insert(image.end(), {0xFF, kMarkers[below(sizeof kMarkers)], 0, static_cast<unsigned char>(field)});
            for (int i = 0; i < field - 2 + (below(8) == 0 ? below(5) - 2 : 0); ++i)
                image.push_back(below(6) == 0 ? 0xFF : byte());
            break;
        }
        case 1: // fill bytes
            image.insert(image.end(), static_cast<size_t>(1 + below(3)), 0xFF);
            break;
        case 2:
            image.insert(image.end(), {0xFF, 0x00});
            break;
        case 3:
            image.insert(image.end(), {0xFF, static_cast<unsigned char>(0xD0 + below(8))});
            break;
        default:
            for (int i = below(8); i >= 0; --i)
                image.push_back(byte());
        }
    }
    return image;
}

TEST(ScanEquivalenceTest, SkippingRunsMatchesTheByteByByteWalk) {
    std::mt19937 rng(20240611);
    int withComment = 0;
    int withFrame = 0;
    for (int round = 0; round < 3000; ++round) {
        Bytes image = RandomStream(rng, 20 + static_cast<size_t>(round % 300));
        SCOPED_TRACE(round);
        WalkFacts facts = ScanFacts(image);
        ASSERT_EQ(facts, ReferenceWalk(image));
        withComment += facts.commentLength >= 0;
        withFrame += facts.width != 0;
    }
    // The streams must really exercise the comment and frame paths.
    EXPECT_GT(withComment, 100);
    EXPECT_GT(withFrame, 100);
}

TEST(ScanEquivalenceTest, LongEntropyRunsMatchTheByteByByteWalk) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> any(0, 255);
    for (int round = 0; round < 20; ++round) {
        Bytes image = Join({Soi(), App0Jfif(), Frame(0xC0, 64, 48), Sos()});
        for (int i = 0; i < 20000; ++i)
            image.push_back(static_cast<unsigned char>(any(rng)));
        Bytes tail = Join({Eoi(), Com("end")});
        image.insert(image.end(), tail.begin(), tail.end());
        SCOPED_TRACE(round);
        ASSERT_EQ(ScanFacts(image), ReferenceWalk(image));
    }
}

} // namespace
