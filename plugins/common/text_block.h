// Text blocks handed from a plug-in to the host.
#pragma once

#include <cstddef>
#include <cstdint>

#include "cpi.h"

// Allocates a movable, zero-filled local block of bytes bytes, stores its
// handle through handle at once and returns the block locked. Returns null
// (and leaves *handle null) when the block cannot be made or locked. The
// caller fills the block and unlocks it; on success the host owns it.
void* AllocTextBlock(HLOCAL* handle, size_t bytes);

// Makes a block holding length bytes of text and a zero byte, unlocked, and
// stores it through handle. Returns CPI_OK or CPI_ERR_MEMORY (handle null).
int32_t MakeTextBlock(HLOCAL* handle, const char* text, size_t length);
