// Small GIF streams built from commented parts, shared by the gif tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace giftest {

using Bytes = std::vector<unsigned char>;

inline Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

inline Bytes ToBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

inline const Bytes kHeader89a = {'G', 'I', 'F', '8', '9', 'a'};
inline const Bytes kHeader87a = {'G', 'I', 'F', '8', '7', 'a'};

// Logical screen 3 x 2, no global colour table (packed 0x00), background 0, aspect 0.
inline const Bytes kScreenNoTable = {0x03, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00};
// Logical screen 3 x 2, global colour table of 2 entries (packed 0x80), then the table.
inline const Bytes kScreenTable2 = {0x03, 0x00, 0x02, 0x00, 0x80, 0x00, 0x00, //
                                    0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF};

// Graphic control extension: 0x21 0xF9, block of 4 (flags, delay 10, transparent 0), terminator.
inline const Bytes kGraphicControl = {0x21, 0xF9, 0x04, 0x00, 0x0A, 0x00, 0x00, 0x00};
// Application extension: 0x21 0xFF, block of 11 ("NETSCAPE2.0"), block of 3 (loop forever), terminator.
inline const Bytes kApplication = {0x21, 0xFF, 0x0B, 'N', 'E',  'T',  'S',  'C',  'A', 'P',
                                   'E',  '2',  '.',  '0', 0x03, 0x01, 0x00, 0x00, 0x00};
// Plain text extension: 0x21 0x01, block of 12 (grid and cell data), block of 2 ("hi"), terminator.
inline const Bytes kPlainText = {0x21, 0x01, 0x0C, 0, 0, 0, 0, 8, 0, 8, 0, 1, 1, 0, 1, 0x02, 'h', 'i', 0x00};
// Image 0,0 3 x 2, no local table; LZW code size 2, one data sub-block of 2, terminator.
inline const Bytes kImage = {0x2C, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x02, 0x00, 0x00, //
                             0x02, 0x02, 0x4C, 0x01, 0x00};
// Image 0,0 3 x 2 with a local colour table of 4 entries (packed 0x81); LZW code size 2, data, terminator.
inline const Bytes kImageLocalTable = {0x2C, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x02, 0x00, 0x81,         //
                                       0,    0,    0,    255,  0,    0,    0,    255,  0,    0,    0, 255, //
                                       0x02, 0x02, 0x4C, 0x01, 0x00};
inline const Bytes kTrailer = {0x3B};

// A comment extension 0x21 0xFE holding text in sub-blocks of up to 255 bytes.
inline Bytes CommentExtension(const std::string& text) {
    Bytes block = {0x21, 0xFE};
    for (size_t at = 0; at < text.size(); at += 255) {
        std::string piece = text.substr(at, 255);
        block.push_back(static_cast<unsigned char>(piece.size()));
        block.insert(block.end(), piece.begin(), piece.end());
    }
    block.push_back(0x00);
    return block;
}

// The smallest complete GIF89a: header, screen without table, one image, trailer.
inline Bytes Minimal89a() {
    return Cat({kHeader89a, kScreenNoTable, kImage, kTrailer});
}

} // namespace giftest
