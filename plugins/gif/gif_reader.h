// The walk over one GIF stream: signature, logical screen descriptor, blocks.
#pragma once

#include <cstdint>

#include "comment_reader.h"

class CGifReader : public CCommentReader {
public:
    // Results of CheckSignature and Scan.
    static constexpr int32_t ScanTrailer = 0;  // GIF89a walked up to its trailer
    static constexpr int32_t ScanDamaged = -1; // GIF89a with an unknown block, or ending early
    static constexpr int32_t NotGif = 1;       // fewer than 8 bytes or no GIF87a/GIF89a signature
    static constexpr int32_t NoMemory = 2;     // the comment text could not be allocated
    static constexpr int32_t Gif87a = 3;       // GIF87a: only header and screen descriptor read

    CGifReader(const unsigned char* image, int32_t size);

    // Looks at bytes 0 to 5 only: NotGif, Gif87a or ScanTrailer (GIF89a).
    int32_t CheckSignature() const;
    // Walks the stream once; the reader then holds the last complete comment
    // extension met (GIF89a only), the screen size and the colour count.
    int32_t Scan();

    int32_t ColorCount() const { return colorCount; }
    int32_t CommentPos() const { return commentPos; }
    int32_t CommentBlockLength() const { return commentBlockLength; }
    // Where the walk of a GIF89a stream stopped: the trailer, the block it
    // could not read, or size when the image ended between two blocks.
    int32_t StopPos() const { return stopPos; }

private:
    // Each step takes the position where its part of the stream begins and
    // returns the position after it, or one of these when it cannot.
    static constexpr int32_t PastEnd = -1;     // the part runs past the end of the image
    static constexpr int32_t OutOfMemory = -2; // the comment text could not be allocated

    int32_t ReadScreenDescriptor(int32_t p);
    int32_t ReadExtension(int32_t p);
    int32_t SkipSubBlocks(int32_t q) const;
    int32_t ReadCommentExtension(int32_t q);
    int32_t SkipImageDescriptor(int32_t q) const;
    int32_t SkipImageData(int32_t q) const;
    int32_t SkipColorTable(int32_t q, unsigned packed) const;
    int32_t MeasureSubBlocks(int32_t q, int32_t* dataLength) const;
    void CopySubBlocks(int32_t q, unsigned char* out) const;

    // True when n bytes starting at pos lie inside the image.
    bool HasBytes(int32_t pos, int32_t n) const { return pos >= 0 && n >= 0 && n <= size && pos <= size - n; }
    int32_t Word(int32_t pos) const { return image[pos] | (image[pos + 1] << 8); }

    int32_t commentPos = 0;         // introducer 0x21 of the recorded comment extension
    int32_t commentBlockLength = 0; // its bytes, introducer through terminator
    int32_t colorCount = 0;         // global colour table entries; 0 without one
    int32_t stopPos = 0;
};
