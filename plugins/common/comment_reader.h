// The per-call reader over one file image that every comment plug-in builds on.
#pragma once

#include <cstdint>

class CCommentReader {
public:
    // image and size are the host's; the reader never frees or changes them.
    CCommentReader(const unsigned char* image, int32_t size);
    virtual ~CCommentReader();
    CCommentReader(const CCommentReader&) = delete;
    CCommentReader& operator=(const CCommentReader&) = delete;

    // Copies min(commentLength, capacity - 1) bytes of the recorded comment into
    // buffer, stores a zero byte after them and returns the count. Returns 0
    // (buffer untouched) when no comment is recorded or capacity is below 1.
    int32_t CopyComment(char* buffer, int32_t capacity) const;

    int32_t Width() const { return width; }
    int32_t Height() const { return height; }
    int32_t CommentLength() const { return commentLength; } // -1 when none recorded
    const unsigned char* CommentText() const { return commentText; }

protected:
    // Releases any earlier text and makes room for a comment of length bytes
    // plus a zero byte (already stored). Returns the buffer to fill, or null
    // when it cannot be allocated (no comment is recorded then).
    unsigned char* NewComment(int32_t length);

    const unsigned char* image;
    int32_t size;
    int32_t commentLength = -1;
    unsigned char* commentText = nullptr;
    int32_t width = 0;
    int32_t height = 0;
};
