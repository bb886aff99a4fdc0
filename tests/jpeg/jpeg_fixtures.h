// Small JPEG byte streams built field by field, for the jpeg plug-in's tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace jpegtest {

using Bytes = std::vector<unsigned char>;

// The pieces of a stream, concatenated in order.
Bytes Join(std::initializer_list<Bytes> parts);
Bytes FromText(const std::string& text);

// Segments. Each returns the marker and everything after it.
Bytes Soi();
Bytes Eoi();
Bytes App0Jfif(int thumbnailWidth = 0, int thumbnailHeight = 0); // length 16 + 3 * w * h
Bytes App0(const std::string& identifier, int payloadBytes);      // APP0 with another identifier
Bytes App1Exif(int lengthField, const Bytes& contents = {});      // padded to lengthField
Bytes Dqt();
Bytes Dht();
Bytes Frame(unsigned char marker, int width, int height); // SOFn, length 17
Bytes Sos();
Bytes EntropyData(); // stuffed 0xFF00 and a restart marker
Bytes Com(const std::string& text);
Bytes Segment(unsigned char marker, const Bytes& contents); // length = contents + 2

// An Exif APP1 segment carrying a small JPEG thumbnail (160 x 120) with its own COM "thumb".
Bytes App1ExifWithThumbnail();

// A complete baseline JFIF stream of 640 x 480 with no COM segment.
Bytes BaselineJfif();

} // namespace jpegtest
