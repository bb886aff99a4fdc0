// Tiny, complete image files for the save tests, byte by byte.
#pragma once

#include <string>

namespace clitest {

// A 1 x 1 GIF89a image without a comment extension; version "87a" gives the
// same image as GIF87a.
inline std::string TinyGif(const char* version = "89a") {
    const unsigned char body[] = {
        0x01, 0x00, 0x01, 0x00,             // logical screen 1 x 1
        0x80, 0x00, 0x00,                   // global colour table of 2 entries, background 0, aspect 0
        0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, // colours: black, white
        0x2C, 0x00, 0x00, 0x00, 0x00,       // image descriptor at 0, 0
        0x01, 0x00, 0x01, 0x00, 0x00,       // 1 x 1, no local colour table
        0x02, 0x02, 0x44, 0x01, 0x00,       // LZW minimum code size 2, one 2-byte sub-block, terminator
        0x3B,                               // trailer
    };
    return std::string("GIF") + version + std::string(reinterpret_cast<const char*>(body), sizeof body);
}

// A 1 x 1 grey-scale baseline JFIF image without a COM segment.
inline std::string TinyJpeg() {
    std::string s;
    auto bytes = [&s](std::initializer_list<unsigned char> list) {
        for (unsigned char b : list)
            s.push_back(static_cast<char>(b));
    };
    bytes({0xFF, 0xD8});                                     // SOI
    bytes({0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00, // APP0, length 16, "JFIF"
           0x01, 0x01, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00});
    bytes({0xFF, 0xDB, 0x00, 0x43, 0x00});                       // DQT, length 67, table 0
    s.append(64, '\x01');                                        //   64 quantisation values
    bytes({0xFF, 0xC0, 0x00, 0x0B, 0x08, 0x00, 0x01, 0x00, 0x01, // SOF0, length 11, 8 bits, 1 x 1
           0x01, 0x01, 0x11, 0x00});                             //   1 component, 1x1 sampling, table 0
    for (unsigned char tableClass : {0x00, 0x10}) {              // DHT DC 0, then AC 0
        bytes({0xFF, 0xC4, 0x00, 0x14, tableClass, 0x01});       //   length 20, one code of length 1
        s.append(15, '\0');                                      //   no codes of lengths 2 to 16
        bytes({0x00});                                           //   its symbol
    }
    bytes({0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3F, 0x00}); // SOS, 1 component
    bytes({0x00});                                                       // entropy-coded data
    bytes({0xFF, 0xD9});                                                 // EOI
    return s;
}

} // namespace clitest
