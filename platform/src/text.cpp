// ANSI lower-casing: ASCII letters only, so multi-byte characters pass unchanged.
#include "tessane/platform.h"

extern "C" DWORD CharLowerBuffA(char* text, DWORD length) {
    if (text == nullptr)
        return 0;
    for (DWORD i = 0; i < length; ++i) {
        if (text[i] >= 'A' && text[i] <= 'Z')
            text[i] = static_cast<char>(text[i] - 'A' + 'a');
    }
    return length;
}
