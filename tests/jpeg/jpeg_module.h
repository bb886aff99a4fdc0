// bin/jpeg.cpi loaded with the platform's LoadLibraryA and its exports bound by
// name, as the host does it; plus small file helpers for the writer's tests.
#pragma once

#include <string>

#include "cpi.h"
#include "jpeg_fixtures.h"
#include "loaded_plugin.h"

namespace jpegtest {

using JpegModule = tsntest::LoadedPlugin;

// The module, loaded once for the whole test run; fails the test when missing.
const JpegModule& Plugin();

// A fresh directory for this process's output files.
std::string TempDirectory();
// A file name in TempDirectory(), removed first if a file of that name exists.
std::string TempFile(const std::string& name);
bool FileExists(const std::string& path);
Bytes ReadFile(const std::string& path);

// The comment and information text GetComment hands back for image.
struct CommentResult {
    int32_t result = 0;
    bool hasComment = false;
    Bytes comment; // the block's bytes before its closing zero byte
    std::string info;
};
// expectedLength: the comment length the caller expects, so that the block is
// read in full even when it holds zero bytes (-1: up to the first zero byte).
CommentResult GetCommentOf(const Bytes& image, int32_t expectedLength = -1);

// Runs WriteComment over a copy of image; the written file's bytes land in *written.
int32_t WriteCommentOf(const Bytes& image, const Bytes& text, Bytes* written);

} // namespace jpegtest
