// libjpeg as a second opinion: makes real JPEG files and decodes them.
#pragma once

#include <string>
#include <vector>

#include "jpeg_fixtures.h"

namespace jpegtest {

enum class JpegKind { Baseline, Progressive, Exif };

// A width x height RGB image of smooth gradients and noise, compressed by
// libjpeg: JFIF baseline, JFIF progressive, or baseline with an Exif APP1
// segment as its first segment (and no JFIF APP0).
Bytes EncodeJpeg(int width, int height, JpegKind kind);

struct DecodedJpeg {
    int width = 0;
    int height = 0;
    Bytes pixels;               // RGB, row after row
    std::vector<Bytes> comments; // every COM segment's contents, in file order
};

// Decodes image; false (with a message in *error) when libjpeg refuses it.
bool DecodeJpeg(const Bytes& image, DecodedJpeg* decoded, std::string* error);

} // namespace jpegtest
