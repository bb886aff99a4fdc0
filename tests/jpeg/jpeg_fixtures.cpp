#include "jpeg_fixtures.h"

namespace jpegtest {

namespace {

void PutUint16(Bytes& out, int value) {
    out.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
    out.push_back(static_cast<unsigned char>(value & 0xFF));
}

} // namespace

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

Bytes FromText(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes Soi() { return {0xFF, 0xD8}; }
Bytes Eoi() { return {0xFF, 0xD9}; }

Bytes Segment(unsigned char marker, const Bytes& contents) {
    Bytes out{0xFF, marker};
    PutUint16(out, static_cast<int>(contents.size()) + 2);
    out.insert(out.end(), contents.begin(), contents.end());
    return out;
}

Bytes App0Jfif(int thumbnailWidth, int thumbnailHeight) {
    Bytes contents = {'J', 'F', 'I', 'F', 0, // identifier
                      1, 2,                  // version 1.02
                      0, 0, 1, 0, 1,         // no units, density 1 x 1
                      static_cast<unsigned char>(thumbnailWidth), static_cast<unsigned char>(thumbnailHeight)};
    contents.resize(contents.size() + static_cast<size_t>(3 * thumbnailWidth * thumbnailHeight), 0x80); // RGB thumbnail
    return Segment(0xE0, contents);
}

Bytes App0(const std::string& identifier, int payloadBytes) {
    Bytes contents = FromText(identifier);
    contents.push_back(0);
    contents.resize(contents.size() + static_cast<size_t>(payloadBytes), 0x10);
    return Segment(0xE0, contents);
}

Bytes App1Exif(int lengthField, const Bytes& contents) {
    Bytes out{0xFF, 0xE1};
    PutUint16(out, lengthField);
    Bytes body = {'E', 'x', 'i', 'f', 0, 0, 'M', 'M', 0, 42, 0, 0, 0, 8}; // identifier, big-endian TIFF header
    body.insert(body.end(), contents.begin(), contents.end());
    body.resize(static_cast<size_t>(lengthField - 2), 0x00);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes Dqt() {
    Bytes contents{0x00}; // 8-bit table 0
    contents.resize(65, 0x01);
    return Segment(0xDB, contents);
}

Bytes Dht() {
    Bytes contents{0x00}; // DC table 0: one code of length 1 for value 0
    Bytes counts(16, 0);
    counts[0] = 1;
    contents.insert(contents.end(), counts.begin(), counts.end());
    contents.push_back(0x00);
    return Segment(0xC4, contents);
}

Bytes Frame(unsigned char marker, int width, int height) {
    Bytes contents{8}; // precision
    PutUint16(contents, height);
    PutUint16(contents, width);
    contents.insert(contents.end(), {3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1}); // three components
    return Segment(marker, contents);
}

Bytes Sos() { return Segment(0xDA, {3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0}); }

Bytes EntropyData() {
    return {0x12, 0x34, 0xFF, 0x00, // stuffed 0xFF
            0xFE, 0x00, 0x02,       // looks like a COM only to a walk that ignores the stuffing
            0x56, 0xFF, 0xD0,       // RST0
            0x78, 0xFF, 0x00, 0x9A};
}

Bytes Com(const std::string& text) { return Segment(0xFE, FromText(text)); }

Bytes App1ExifWithThumbnail() {
    Bytes thumbnail = Join({Soi(), Com("thumb"), Frame(0xC0, 160, 120), Sos(), EntropyData(), Eoi()});
    return App1Exif(static_cast<int>(14 + thumbnail.size() + 2 + 10), thumbnail);
}

Bytes BaselineJfif() {
    return Join({Soi(), App0Jfif(), Dqt(), Frame(0xC0, 640, 480), Dht(), Sos(), EntropyData(), Eoi()});
}

} // namespace jpegtest
