#pragma once

#include <zstd.h>

// A thread's zstd contexts, kept for the thread's life: each is large to set up,
// and the log compresses a chunk's bytes and times every few kilobytes received.
// Each thread has its own, since a context serves one call at a time.
namespace ZstdContext {

ZSTD_CCtx *compressor();
ZSTD_DCtx *decompressor();

} // namespace ZstdContext
