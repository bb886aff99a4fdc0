#include "comment_reader.h"

#include <cstring>
#include <new>

CCommentReader::CCommentReader(const unsigned char* image, int32_t size)
    : image(image), size(size < 0 ? 0 : size) {}

CCommentReader::~CCommentReader() { delete[] commentText; }

int32_t CCommentReader::CopyComment(char* buffer, int32_t capacity) const {
    if (commentText == nullptr || commentLength < 0 || buffer == nullptr || capacity < 1)
        return 0;
    int32_t n = commentLength < capacity - 1 ? commentLength : capacity - 1;
    std::memcpy(buffer, commentText, static_cast<size_t>(n));
    buffer[n] = '\0';
    return n;
}

unsigned char* CCommentReader::NewComment(int32_t length) {
    delete[] commentText;
    commentText = nullptr;
    commentLength = -1;
    if (length < 0)
        return nullptr;
    commentText = new (std::nothrow) unsigned char[static_cast<size_t>(length) + 1];
    if (commentText == nullptr)
        return nullptr;
    commentText[length] = '\0';
    commentLength = length;
    return commentText;
}
