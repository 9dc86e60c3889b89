#include "grid/core/CGXColumnStyleCache.h"

namespace {

// The caches open on this thread, innermost first through their outer links.
thread_local CGXColumnStyleCache* innermost = nullptr;

}  // namespace

CGXColumnStyleCache::CGXColumnStyleCache(const CGXGridCore* grid) : grid_(grid), outer_(innermost) {
    innermost = this;
}

CGXColumnStyleCache::~CGXColumnStyleCache() {
    innermost = outer_;
}

CGXColumnStyleCache* CGXColumnStyleCache::Of(const CGXGridCore* grid) {
    for (CGXColumnStyleCache* c = innermost; c; c = c->outer_)
        if (c->grid_ == grid)
            return c;
    return nullptr;
}

CGXColumnStyleCache::Entry& CGXColumnStyleCache::At(ROWCOL col) {
    if (columns_.size() <= col)
        columns_.resize(static_cast<std::size_t>(col) + 1);
    return columns_[col];
}
