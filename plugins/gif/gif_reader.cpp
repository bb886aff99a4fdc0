#include "gif_reader.h"

#include <cstring>

namespace {
constexpr unsigned char kExtensionIntroducer = 0x21;
constexpr unsigned char kImageSeparator = 0x2C;
constexpr unsigned char kTrailer = 0x3B;
constexpr unsigned char kPlainTextLabel = 0x01;
constexpr unsigned char kGraphicControlLabel = 0xF9;
constexpr unsigned char kCommentLabel = 0xFE;
constexpr unsigned char kApplicationLabel = 0xFF;

constexpr int32_t kSignatureEnd = 6; // "GIF" and the version
constexpr int32_t kScreenDescriptorSize = 7;
constexpr int32_t kImageDescriptorSize = 9; // after the 0x2C: left, top, width, height, packed
constexpr unsigned kColorTableFlag = 0x80;

// Entries of the colour table announced by a packed byte: 2 to 256.
int32_t ColorTableEntries(unsigned packed) {
    return 2 << (packed & 0x07);
}
} // namespace

CGifReader::CGifReader(const unsigned char* image, int32_t size) : CCommentReader(image, size) {}

int32_t CGifReader::CheckSignature() const {
    if (image == nullptr || size < 8)
        return NotGif;
    if (std::memcmp(image, "GIF", 3) != 0)
        return NotGif;
    if (std::memcmp(image + 3, "87a", 3) == 0)
        return Gif87a;
    if (std::memcmp(image + 3, "89a", 3) == 0)
        return ScanTrailer;
    return NotGif;
}

int32_t CGifReader::Scan() {
    int32_t version = CheckSignature();
    if (version == NotGif)
        return NotGif;
    int32_t p = ReadScreenDescriptor(kSignatureEnd);
    if (version == Gif87a)
        return Gif87a; // a GIF87a stream is not walked
    int32_t blockStart = kSignatureEnd;
    for (;;) {
        if (p == OutOfMemory)
            return NoMemory;
        stopPos = p == PastEnd ? blockStart : p;
        if (!HasBytes(p, 1))
            return ScanDamaged;
        blockStart = p;
        switch (image[p]) {
        case kExtensionIntroducer:
            p = ReadExtension(p);
            break;
        case kImageSeparator:
            p = SkipImageData(SkipImageDescriptor(p + 1));
            break;
        case kTrailer:
            return ScanTrailer;
        default:
            return ScanDamaged; // a stray byte where a block must begin
        }
    }
}

// Reads only the bytes that are there: a file of 8 to 12 bytes gets its width
// (and height when present) but no colour count, and the walk ends there.
int32_t CGifReader::ReadScreenDescriptor(int32_t p) {
    if (HasBytes(p, 2))
        width = Word(p);
    if (HasBytes(p + 2, 2))
        height = Word(p + 2);
    if (!HasBytes(p, kScreenDescriptorSize))
        return PastEnd;
    unsigned packed = image[p + 4]; // then background colour index and aspect ratio, unread
    if (packed & kColorTableFlag)
        colorCount = ColorTableEntries(packed);
    return SkipColorTable(p + kScreenDescriptorSize, packed);
}

// p is at the introducer 0x21; the label follows it.
int32_t CGifReader::ReadExtension(int32_t p) {
    if (!HasBytes(p, 2))
        return PastEnd;
    switch (image[p + 1]) {
    case kPlainTextLabel:
    case kGraphicControlLabel:
    case kApplicationLabel:
        return SkipSubBlocks(p + 2); // the fixed first block is the chain's first sub-block
    case kCommentLabel:
        return ReadCommentExtension(p + 2);
    default:
        return PastEnd; // an unknown label ends the walk like a cut-off stream
    }
}

int32_t CGifReader::SkipSubBlocks(int32_t q) const {
    int32_t ignored = 0;
    return MeasureSubBlocks(q, &ignored);
}

// Sums the data bytes of the chain at q; returns the position after its
// terminator, or PastEnd when the chain runs past the end of the image.
int32_t CGifReader::MeasureSubBlocks(int32_t q, int32_t* dataLength) const {
    int32_t total = 0;
    for (;;) {
        if (!HasBytes(q, 1))
            return PastEnd;
        int32_t n = image[q];
        q += 1;
        if (n == 0)
            break;
        if (!HasBytes(q, n))
            return PastEnd;
        q += n;
        total += n; // never above size: every counted byte lies in the image
    }
    *dataLength = total;
    return q;
}

// Copies the data bytes of a chain already measured, back to back.
void CGifReader::CopySubBlocks(int32_t q, unsigned char* out) const {
    for (int32_t n = image[q]; n != 0; n = image[q]) {
        std::memcpy(out, image + q + 1, static_cast<size_t>(n));
        out += n;
        q += n + 1;
    }
}

// A comment extension is recorded only when its chain is complete: one cut
// off by the end of the image leaves the earlier comment (if any) in place,
// so a write never copies a tail that is not there.
int32_t CGifReader::ReadCommentExtension(int32_t q) {
    int32_t textLength = 0;
    int32_t end = MeasureSubBlocks(q, &textLength);
    if (end == PastEnd)
        return PastEnd;
    unsigned char* text = NewComment(textLength);
    if (text == nullptr) {
        commentPos = 0;
        commentBlockLength = 0;
        return OutOfMemory;
    }
    CopySubBlocks(q, text);
    commentPos = q - 2;
    commentBlockLength = end - commentPos;
    return end;
}

// q is right after the image separator 0x2C.
int32_t CGifReader::SkipImageDescriptor(int32_t q) const {
    if (!HasBytes(q, kImageDescriptorSize))
        return PastEnd;
    return SkipColorTable(q + kImageDescriptorSize, image[q + kImageDescriptorSize - 1]);
}

// q is at the LZW minimum code size byte; the data sub-blocks follow it.
int32_t CGifReader::SkipImageData(int32_t q) const {
    if (!HasBytes(q, 1))
        return PastEnd;
    return SkipSubBlocks(q + 1);
}

// Steps over the colour table that packed announces (if any) starting at q.
int32_t CGifReader::SkipColorTable(int32_t q, unsigned packed) const {
    if (!(packed & kColorTableFlag))
        return q;
    int32_t tableSize = 3 * ColorTableEntries(packed);
    if (!HasBytes(q, tableSize))
        return PastEnd;
    return q + tableSize;
}
