#pragma once

#include <zstd.h>

// The UI thread's zstd contexts, kept for the whole run: each is large to set up,
// and the log compresses a chunk's bytes and times every few kilobytes received.
namespace ZstdContext {

ZSTD_CCtx *compressor();
ZSTD_DCtx *decompressor();

} // namespace ZstdContext
