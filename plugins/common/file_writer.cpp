#include "file_writer.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

CFileWriter::~CFileWriter() {
    if (fd >= 0)
        ::close(fd);
}

bool CFileWriter::Create(const char* fileName) {
    if (fd >= 0 || fileName == nullptr || *fileName == '\0')
        return false;
    fd = ::open(fileName, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return fd >= 0;
}

bool CFileWriter::Write(const void* data, size_t n) {
    const auto* p = static_cast<const unsigned char*>(data);
    while (n > 0) {
        ssize_t written = ::write(fd, p, n);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += written;
        n -= static_cast<size_t>(written);
    }
    return true;
}

bool CFileWriter::Close() {
    if (fd < 0)
        return false;
    int result = ::close(fd);
    fd = -1;
    return result == 0;
}
