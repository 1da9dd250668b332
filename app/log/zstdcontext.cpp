#include "zstdcontext.h"

#include <memory>

namespace ZstdContext {

ZSTD_CCtx *compressor()
{
    thread_local const std::unique_ptr<ZSTD_CCtx, size_t (*)(ZSTD_CCtx *)> context(ZSTD_createCCtx(), ZSTD_freeCCtx);
    return context.get();
}

ZSTD_DCtx *decompressor()
{
    thread_local const std::unique_ptr<ZSTD_DCtx, size_t (*)(ZSTD_DCtx *)> context(ZSTD_createDCtx(), ZSTD_freeDCtx);
    return context.get();
}

} // namespace ZstdContext
