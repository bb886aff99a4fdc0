// The reader over one JPEG file image: one pass over the marker structure
// that finds the comment (COM) segment, the frame size and the progressive flag.
#pragma once

#include <cstdint>

#include "comment_reader.h"

class CJpegReader : public CCommentReader {
public:
    // Results of CheckSignature and Scan.
    static constexpr int32_t kNotHandled = 0;
    static constexpr int32_t kJfif = 1;
    static constexpr int32_t kExif = 2;
    static constexpr int32_t kNoMemory = -1; // Scan only

    // Fewer bytes than this are never handled, whatever they hold.
    static constexpr int32_t kMinimumSize = 20;

    CJpegReader(const unsigned char* image, int32_t size);

    // kJfif, kExif or kNotHandled from the first 12 bytes alone; changes nothing.
    int32_t CheckSignature() const;
    // CheckSignature and, when handled, the whole walk. Call at most once.
    int32_t Scan();

    int32_t Progressive() const { return progressive; }
    // Where the last COM segment begins, or where a new one goes when none was met.
    int32_t CommentPos() const { return commentPos; }
    // Bytes of the last COM segment, marker included; 0 when none was met.
    int32_t CommentBlockLength() const { return commentBlockLength; }

private:
    // What a marker step returns instead of a position when the walk must stop.
    static constexpr int32_t kEndWalk = -1;
    static constexpr int32_t kOutOfMemory = -2;

    int32_t NextMarker(int32_t pos) const;
    int32_t StepMarker(int32_t pos);
    int32_t SkipSegment(int32_t pos) const;
    int32_t SegmentLength(int32_t offset) const;
    int32_t Uint16At(int32_t offset) const;
    void ReadFrameHeader(int32_t offset, int32_t segmentLength);
    int32_t ReadCommentSegment(int32_t offset, int32_t segmentLength);
    void PlaceNewComment();

    int32_t commentPos = 0;
    int32_t commentBlockLength = 0;
    int32_t progressive = 0;
};
