#include "jpeg_reader.h"

#include <cstring>

namespace {

constexpr unsigned char kMarkerPrefix = 0xFF;

// Second bytes of the markers the walk treats specially.
constexpr unsigned char kStuffedZero = 0x00;
constexpr unsigned char kSof0 = 0xC0;
constexpr unsigned char kSof2 = 0xC2;
constexpr unsigned char kRst0 = 0xD0;
constexpr unsigned char kRst7 = 0xD7;
constexpr unsigned char kSoi = 0xD8;
constexpr unsigned char kEoi = 0xD9;
constexpr unsigned char kSos = 0xDA;
constexpr unsigned char kApp0 = 0xE0;
constexpr unsigned char kApp1 = 0xE1;
constexpr unsigned char kCom = 0xFE;
constexpr unsigned char kFill = 0xFF;

// A frame header needs its length field, precision, height and width: 9 bytes
// counted from the marker.
constexpr int32_t kFrameHeaderBytes = 9;
// Marker and length field in front of a segment's contents.
constexpr int32_t kSegmentHeaderBytes = 4;
// Where the first segment's length field lies, right after SOI and its marker.
constexpr int32_t kFirstLengthOffset = 4;

} // namespace

CJpegReader::CJpegReader(const unsigned char* image, int32_t size)
    : CCommentReader(image, image == nullptr ? 0 : size) {}

int32_t CJpegReader::CheckSignature() const {
    if (size < kMinimumSize)
        return kNotHandled;
    const unsigned char* p = image;
    if (p[0] != kMarkerPrefix || p[1] != kSoi || p[2] != kMarkerPrefix)
        return kNotHandled;
    if (p[3] == kApp0 && std::memcmp(p + 6, "JFIF", 5) == 0) // identifier and its zero byte
        return kJfif;
    if (p[3] == kApp1 && std::memcmp(p + 6, "Exif\0", 6) == 0) // identifier and two zero bytes
        return kExif;
    return kNotHandled;
}

int32_t CJpegReader::Scan() {
    int32_t result = CheckSignature();
    if (result == kNotHandled)
        return kNotHandled;
    int32_t pos = 0;
    while (pos < size) {
        pos = NextMarker(pos);
        if (pos >= size)
            break;
        pos = StepMarker(pos);
        if (pos == kOutOfMemory)
            return kNoMemory;
        if (pos == kEndWalk)
            break;
    }
    PlaceNewComment();
    return result;
}

// The first 0xFF at or after pos, or size when there is none. Everything that
// is not 0xFF steps by one byte in the walk, so a whole run of such bytes
// (the bulk of entropy-coded data) is passed in one search.
int32_t CJpegReader::NextMarker(int32_t pos) const {
    const void* found = std::memchr(image + pos, kMarkerPrefix, static_cast<size_t>(size - pos));
    if (found == nullptr)
        return size;
    return static_cast<int32_t>(static_cast<const unsigned char*>(found) - image);
}

// One step from the 0xFF at pos: the position of what follows, or kEndWalk /
// kOutOfMemory.
int32_t CJpegReader::StepMarker(int32_t pos) {
    if (pos > size - 2)
        return kEndWalk; // a 0xFF as the image's last byte
    unsigned char m = image[pos + 1];
    if (m == kStuffedZero || m == kFill || m == kSos || (m >= kRst0 && m <= kRst7))
        return pos + 1; // fill bytes step one at a time onto the marker that follows
    if (m == kSoi || m == kEoi)
        return pos + 2;
    int32_t length = SegmentLength(pos);
    if (length == kEndWalk)
        return kEndWalk;
    if (m == kCom)
        return ReadCommentSegment(pos, length);
    if (m == kSof0 || m == kSof2) {
        ReadFrameHeader(pos, length);
        if (m == kSof2)
            progressive = 1;
    }
    return pos + length;
}

// The whole size of the segment at offset (its length field + 2), or kEndWalk
// when that cannot be walked over: the length field lies past the end, the
// segment would run past the end (an image cut short: the partial segment is
// dropped), or the length is below its own two bytes. Such a length is
// malformed and nothing after it can be trusted to be a marker, so the walk
// ends there too.
int32_t CJpegReader::SegmentLength(int32_t offset) const {
    if (kSegmentHeaderBytes > size || offset > size - kSegmentHeaderBytes)
        return kEndWalk;
    int32_t field = Uint16At(offset + 2);
    if (field < 2)
        return kEndWalk;
    int32_t whole = field + 2;
    if (whole > size - offset)
        return kEndWalk;
    return whole;
}

// The big-endian 16-bit value at offset; the caller has checked both bytes.
int32_t CJpegReader::Uint16At(int32_t offset) const {
    return (static_cast<int32_t>(image[offset]) << 8) | image[offset + 1];
}

// Height and width from the frame header at offset, a segment of
// segmentLength bytes inside the image. A header too short to hold them
// leaves the size as it was.
void CJpegReader::ReadFrameHeader(int32_t offset, int32_t segmentLength) {
    if (segmentLength < kFrameHeaderBytes)
        return;
    height = Uint16At(offset + 5);
    width = Uint16At(offset + 7);
}

// Records the COM segment at offset (segmentLength bytes inside the image) as
// the comment, releasing any earlier one. Returns the position after it, or
// kOutOfMemory.
int32_t CJpegReader::ReadCommentSegment(int32_t offset, int32_t segmentLength) {
    int32_t textLength = segmentLength - kSegmentHeaderBytes;
    unsigned char* text = NewComment(textLength);
    if (text == nullptr)
        return kOutOfMemory;
    std::memcpy(text, image + offset + kSegmentHeaderBytes, static_cast<size_t>(textLength));
    commentPos = offset;
    commentBlockLength = segmentLength;
    return offset + segmentLength;
}

// With no COM segment met, a new one goes right after the first segment (the
// JFIF APP0 or Exif APP1 segment). That place may lie past the end of an image
// cut short; the writer checks it.
void CJpegReader::PlaceNewComment() {
    if (commentPos == 0)
        commentPos = kFirstLengthOffset + Uint16At(kFirstLengthOffset);
}
