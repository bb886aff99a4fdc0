// A second opinion from giflib: files it encodes keep every frame's pixels
// after the plug-in writes a comment, and giflib reads that comment back.
#include <gtest/gtest.h>

#include <gif_lib.h>

#include <array>
#include <functional>
#include <optional>

#include "gif_fixtures.h"
#include "gif_module.h"

using namespace giftest;

namespace {

struct Frame {
    int left, top, width, height;
    Bytes pixels;                            // row by row, top to bottom
    std::vector<std::array<int, 3>> palette; // local table, or the global one
    bool operator==(const Frame&) const = default;
};

struct Decoded {
    bool ok = false;
    std::vector<Frame> frames;
    std::optional<std::string> lastComment;
};

// ---- Encoding with giflib ----------------------------------------------------

int AppendToBytes(GifFileType* gif, const GifByteType* data, int n) {
    static_cast<Bytes*>(gif->UserData)->insert(static_cast<Bytes*>(gif->UserData)->end(), data, data + n);
    return n;
}

std::vector<GifColorType> Palette(int count) {
    std::vector<GifColorType> colors(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        colors[static_cast<size_t>(i)] = {static_cast<GifByteType>(i * 37),
                                          static_cast<GifByteType>(255 - i * 11),
                                          static_cast<GifByteType>(i * 91)};
    return colors;
}

struct MapObject {
    explicit MapObject(int count) {
        std::vector<GifColorType> colors = Palette(count);
        map = GifMakeMapObject(count, colors.data());
    }
    ~MapObject() { GifFreeMapObject(map); }
    ColorMapObject* map;
};

// Writes one frame; an interlaced frame's rows go out in the four-pass order.
bool PutFrame(GifFileType* gif, const Frame& frame, bool interlaced, ColorMapObject* localMap) {
    if (EGifPutImageDesc(gif, frame.left, frame.top, frame.width, frame.height, interlaced, localMap) !=
        GIF_OK)
        return false;
    std::vector<int> rows;
    if (interlaced) {
        const int offsets[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int y = offsets[pass]; y < frame.height; y += steps[pass])
                rows.push_back(y);
    } else {
        for (int y = 0; y < frame.height; ++y)
            rows.push_back(y);
    }
    for (int y : rows) {
        Bytes row(frame.pixels.begin() + y * frame.width, frame.pixels.begin() + (y + 1) * frame.width);
        if (EGifPutLine(gif, row.data(), frame.width) != GIF_OK)
            return false;
    }
    return true;
}

Frame MakeFrame(int left, int top, int width, int height, int colors, int seed) {
    Frame frame{left, top, width, height, Bytes(static_cast<size_t>(width * height)), {}};
    for (size_t i = 0; i < frame.pixels.size(); ++i)
        frame.pixels[i] =
            static_cast<unsigned char>((i * 7 + static_cast<size_t>(seed) * 3 + i / 5) % colors);
    for (const GifColorType& c : Palette(colors))
        frame.palette.push_back({c.Red, c.Green, c.Blue});
    return frame;
}

struct Sample {
    const char* name;
    Bytes file;
    std::vector<Frame> frames;
    std::optional<std::string> comment; // the comment giflib put in, if any
};

std::ostream& operator<<(std::ostream& out, const Sample& s) {
    return out << s.name;
}

// Builds a file with encode(gif) between the screen descriptor and the close.
Bytes Encode(int width, int height, int globalColors, const std::function<bool(GifFileType*)>& encode) {
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, AppendToBytes, &error);
    if (gif == nullptr)
        return {};
    EGifSetGifVersion(gif, true);
    MapObject global(globalColors);
    bool ok = EGifPutScreenDesc(gif, width, height, 8, 0, global.map) == GIF_OK && encode(gif);
    if (EGifCloseFile(gif, &error) != GIF_OK || !ok)
        return {};
    return out;
}

Sample Animated() {
    std::vector<Frame> frames = {MakeFrame(0, 0, 8, 6, 4, 1), MakeFrame(0, 0, 8, 6, 4, 2),
                                 MakeFrame(2, 1, 5, 4, 4, 3)};
    const std::string comment = "made with giflib, " + std::string(300, '#');
    Bytes file = Encode(8, 6, 4, [&](GifFileType* gif) {
        const unsigned char loop[] = {0x01, 0x00, 0x00};
        bool ok = EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
                  EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") == GIF_OK &&
                  EGifPutExtensionBlock(gif, 3, loop) == GIF_OK && EGifPutExtensionTrailer(gif) == GIF_OK &&
                  EGifPutComment(gif, comment.c_str()) == GIF_OK;
        for (const Frame& frame : frames) {
            GraphicsControlBlock control{DISPOSE_BACKGROUND, false, 10, NO_TRANSPARENT_COLOR};
            GifByteType extension[4];
            EGifGCBToExtension(&control, extension);
            ok = ok && EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_OK &&
                 PutFrame(gif, frame, false, nullptr);
        }
        return ok;
    });
    return {"Animated", file, frames, comment};
}

Sample LocalColorTable() {
    Frame withLocal = MakeFrame(0, 0, 9, 7, 8, 4);
    Frame withGlobal = MakeFrame(3, 2, 4, 3, 2, 5);
    // The frame with the local table comes last: giflib 5.2 loses its copy of
    // a local table when a later frame has none.
    Bytes file = Encode(9, 7, 2, [&](GifFileType* gif) {
        MapObject local(8);
        return PutFrame(gif, withGlobal, false, nullptr) && PutFrame(gif, withLocal, false, local.map);
    });
    return {"LocalColorTable", file, {withGlobal, withLocal}, std::nullopt};
}

Sample Interlaced() {
    Frame frame = MakeFrame(0, 0, 11, 13, 16, 6);
    Bytes file = Encode(11, 13, 16, [&](GifFileType* gif) { return PutFrame(gif, frame, true, nullptr); });
    return {"Interlaced", file, {frame}, std::nullopt};
}

// ---- Decoding with giflib ----------------------------------------------------

struct ReadCursor {
    const Bytes* bytes;
    size_t at;
};

int ReadFromBytes(GifFileType* gif, GifByteType* data, int n) {
    auto* cursor = static_cast<ReadCursor*>(gif->UserData);
    size_t count = std::min(static_cast<size_t>(n), cursor->bytes->size() - cursor->at);
    std::copy_n(cursor->bytes->begin() + static_cast<std::ptrdiff_t>(cursor->at), count, data);
    cursor->at += count;
    return static_cast<int>(count);
}

void CollectComments(int count, const ExtensionBlock* blocks, std::optional<std::string>& last) {
    bool inComment = false;
    for (int i = 0; i < count; ++i) {
        const ExtensionBlock& block = blocks[i];
        if (block.Function == COMMENT_EXT_FUNC_CODE) {
            last =
                std::string(reinterpret_cast<const char*>(block.Bytes), static_cast<size_t>(block.ByteCount));
            inComment = true;
        } else if (block.Function == CONTINUE_EXT_FUNC_CODE && inComment) {
            last->append(reinterpret_cast<const char*>(block.Bytes), static_cast<size_t>(block.ByteCount));
        } else {
            inComment = false;
        }
    }
}

Decoded Decode(const Bytes& file) {
    Decoded decoded;
    ReadCursor cursor{&file, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&cursor, ReadFromBytes, &error);
    if (gif == nullptr)
        return decoded;
    decoded.ok = DGifSlurp(gif) == GIF_OK;
    for (int i = 0; decoded.ok && i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        const GifImageDesc& desc = image.ImageDesc;
        Frame frame{desc.Left,
                    desc.Top,
                    desc.Width,
                    desc.Height,
                    Bytes(image.RasterBits, image.RasterBits + desc.Width * desc.Height),
                    {}};
        const ColorMapObject* map = desc.ColorMap != nullptr ? desc.ColorMap : gif->SColorMap;
        for (int c = 0; map != nullptr && c < map->ColorCount; ++c)
            frame.palette.push_back({map->Colors[c].Red, map->Colors[c].Green, map->Colors[c].Blue});
        decoded.frames.push_back(frame);
        CollectComments(image.ExtensionBlockCount, image.ExtensionBlocks, decoded.lastComment);
    }
    CollectComments(gif->ExtensionBlockCount, gif->ExtensionBlocks, decoded.lastComment);
    DGifCloseFile(gif, &error);
    return decoded;
}

// ---- The tests ---------------------------------------------------------------

class GifSecondOpinion : public ::testing::TestWithParam<Sample> {
protected:
    static void SetUpTestSuite() { gif = new GifModule(); }
    static void TearDownTestSuite() {
        delete gif;
        gif = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(gif->Complete()); }
    static GifModule* gif;
};
GifModule* GifSecondOpinion::gif = nullptr;

std::string BinaryComment() {
    std::string text = "\x83\x52\x83\x81\x83\x93\x83\x67 コメント\r\n";
    for (int i = 0; i < 600; ++i)
        text.push_back(static_cast<char>(1 + i % 255));
    return text;
}

TEST_P(GifSecondOpinion, FramesSurviveAndGiflibReadsTheNewComment) {
    const Sample& sample = GetParam();
    ASSERT_FALSE(sample.file.empty()) << "giflib could not encode the sample";
    Decoded before = Decode(sample.file);
    ASSERT_TRUE(before.ok);
    ASSERT_EQ(before.frames, sample.frames);
    EXPECT_EQ(before.lastComment, sample.comment);

    // The plug-in reads what giflib wrote.
    ReadResult read = ReadWith(*gif, sample.file);
    ASSERT_EQ(read.result, CPI_OK);
    EXPECT_EQ(read.hasComment, sample.comment.has_value());
    if (sample.comment) {
        EXPECT_EQ(read.comment, *sample.comment);
    }

    TempFile withComment, withoutComment;
    const std::string text = BinaryComment();
    ASSERT_EQ(WriteWith(*gif, withComment.Path(), sample.file, text), CPI_OK);
    Decoded after = Decode(ReadFile(withComment.Path()));
    ASSERT_TRUE(after.ok);
    EXPECT_EQ(after.frames, before.frames);
    EXPECT_EQ(after.lastComment, text);

    // Removing the comment again leaves a file giflib decodes alike, without one.
    ASSERT_EQ(WriteWith(*gif, withoutComment.Path(), ReadFile(withComment.Path()), ""), CPI_OK);
    Decoded removed = Decode(ReadFile(withoutComment.Path()));
    ASSERT_TRUE(removed.ok);
    EXPECT_EQ(removed.frames, before.frames);
    if (!sample.comment) {
        EXPECT_EQ(ReadFile(withoutComment.Path()), sample.file);
    }
}

INSTANTIATE_TEST_SUITE_P(Giflib, GifSecondOpinion,
                         ::testing::Values(Animated(), LocalColorTable(), Interlaced()),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
