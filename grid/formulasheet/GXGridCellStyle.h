// A grid style kept inside an engine cell: the engine sees only the opaque cell style, the
// formula sheet reaches the grid style through it.
#pragma once

#include "grid/core/CGXStyle.h"
#include "grid/formula/EngineCell.h"

#include <memory>

class GXGridCellStyle : public formula::GXCellStyle {
public:
    explicit GXGridCellStyle(std::unique_ptr<CGXStyle> style) : style_(std::move(style)) {}
    std::unique_ptr<formula::GXCellStyle> Clone() const override {
        return std::make_unique<GXGridCellStyle>(style_->Clone());
    }
    // Numbers keep the engine's own text: the grid formats them by the style when it draws
    // (value type number), so formatting here as well would format twice.

    CGXStyle& Style() { return *style_; }
    const CGXStyle& Style() const { return *style_; }

private:
    std::unique_ptr<CGXStyle> style_;
};

// The grid style of an engine cell, or null.
CGXStyle* GXCellGridStyle(const formula::GXEngineCell& cell);
