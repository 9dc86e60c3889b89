// Bitmaps shown in cells. CGXDIB holds one bitmap: a device bitmap or a packed DIB block.
// CGXDIBPool (one per process) resolves a cell value text that begins with "#BMP(" to a bitmap
// resource and keeps every block it loaded under its key.
#pragma once

#include "framework/drawing/DeviceContext.h"
#include "framework/drawing/Dib.h"
#include "framework/drawing/GdiObjects.h"
#include "framework/persist/RuntimeClass.h"
#include "grid/core/GXBitmapResources.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class CGXDIB {
public:
    enum HandleKind { kBitmap, kDibBlock };

    CGXDIB() = default;
    virtual ~CGXDIB() = default;

    // Keeps the DIB block (the old one is freed); colour count, width and height come from its
    // header. FALSE (and nothing kept) for a block that does not parse.
    bool Attach(const fw::Dib& block);
    bool Attach(const fw::Bitmap& bitmap);
    // Gives the DIB block up.
    fw::Dib Detach();
    void Clear();

    HandleKind GetKind() const { return kind_; }
    bool IsNull() const { return dib_.IsNull() && bitmap_.IsNull(); }
    const fw::Dib& GetDib() const { return dib_; }
    const fw::Bitmap& GetBitmap() const { return bitmap_; }
    int GetColorCount() const { return colors_; }
    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }

private:
    HandleKind kind_ = kBitmap;
    fw::Dib dib_;
    fw::Bitmap bitmap_;
    int colors_ = 0;
    int width_ = 0;
    int height_ = 0;
};

class CGXDIBPool {
public:
    CGXDIBPool() = default;
    virtual ~CGXDIBPool() = default;
    virtual void Serialize(fw::Archive&) {}
    // The bitmap a value text names ("#BMP(130)" or "#BMP("name")"), loaded once; null for a text
    // that names none or a resource that is missing.
    virtual const fw::Dib* LookupDIB(std::string_view valueText);
    // The key and resource of a value text; none when it names no bitmap.
    virtual std::optional<std::string> ParseBitmapKey(std::string_view valueText,
                                                      GXResourceName* resource = nullptr) const;
    virtual std::optional<fw::Dib> LoadDIB(const GXResourceName& resource) const;
    // "#BMP("n")" and "#BMP(n)".
    virtual std::string MakeQuotedValueText(unsigned n) const;
    virtual std::string MakeValueText(unsigned resourceId) const;

    // Draws the bitmap a value text names, unscaled and aligned by the DT_ flags (1 centre,
    // 2 right, 4 vertical centre, 8 bottom); FALSE when it names none.
    bool DrawDIB(fw::DeviceContext& dc, std::string_view valueText, const fw::Rect& rect,
                 unsigned alignment);

private:
    // A key whose loading failed is kept with no bitmap, so it is not tried again.
    std::map<std::string, std::unique_ptr<fw::Dib>> blocks_;
};

// The process-wide pool, created on first use.
CGXDIBPool& GXGetDIBPool();
