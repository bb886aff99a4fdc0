// Directory search. Placeholder until the real search lands: finds nothing.
#include "tessane/platform.h"

extern "C" {
int32_t FindFirst(const char*, int32_t, TSearchRec* rec) {
    if (rec)
        rec->FindHandle = nullptr;
    return -1;
}
int32_t FindNext(TSearchRec*) { return -1; }
void FindClose(TSearchRec*) {}
}
