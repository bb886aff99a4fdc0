// Writes a plug-in's output file: created or truncated, written in full, closed.
#pragma once

#include <cstddef>

class CFileWriter {
public:
    CFileWriter() = default;
    ~CFileWriter(); // closes the file if still open
    CFileWriter(const CFileWriter&) = delete;
    CFileWriter& operator=(const CFileWriter&) = delete;

    // Creates fileName for writing, replacing any file of that name.
    bool Create(const char* fileName);
    // Writes all n bytes; false on any failure (the file stays open).
    bool Write(const void* data, size_t n);
    // Flushes and closes; false when the close reports an error.
    bool Close();

private:
    int fd = -1;
};
