// The GetPluginInfo copy rule shared by the plug-ins.
#pragma once

#include <cstdint>

// buffer holds size + 1 bytes. Copies at most size - 2 characters of text and a
// zero byte, stores a zero byte at buffer[size] and returns the length now in
// the buffer. A null buffer or a negative size copies nothing and gives 0.
int32_t CopyPluginInfo(const char* text, char* buffer, int32_t size);
