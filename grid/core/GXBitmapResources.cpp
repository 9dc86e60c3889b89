#include "grid/core/GXBitmapResources.h"

#include "framework/drawing/Dib.h"
#include "grid/core/GXColor.h"

#include <map>
#include <mutex>

namespace {

struct Key {
    unsigned id;
    std::string name;
    friend auto operator<=>(const Key&, const Key&) = default;
};

struct Registry {
    std::mutex lock;
    std::map<Key, std::vector<std::uint8_t>> blocks;
};

Registry& TheRegistry() {
    static Registry r;
    return r;
}

Key KeyOf(const GXResourceName& n) {
    return n.name.empty() ? Key{n.id, {}} : Key{0, n.name};
}

}  // namespace

bool GXRegisterBitmapResource(const GXResourceName& name, std::span<const std::uint8_t> block) {
    if (!fw::Dib::Parse(block))
        return false;
    Registry& r = TheRegistry();
    std::lock_guard guard(r.lock);
    r.blocks[KeyOf(name)] = std::vector<std::uint8_t>(block.begin(), block.end());
    return true;
}

void GXRemoveBitmapResources() {
    Registry& r = TheRegistry();
    std::lock_guard guard(r.lock);
    r.blocks.clear();
}

std::optional<std::vector<std::uint8_t>> GXLoadDIBResource(const GXResourceName& name) {
    Registry& r = TheRegistry();
    std::lock_guard guard(r.lock);
    auto it = r.blocks.find(KeyOf(name));
    if (it == r.blocks.end())
        return std::nullopt;
    return it->second;
}

fw::Bitmap GXLoadSysColorBitmap(const GXResourceName& name) {
    const auto block = GXLoadDIBResource(name);
    if (!block)
        return {};
    auto parsed = fw::Dib::Parse(*block);
    if (!parsed)
        return {};
    QImage image = parsed.dib.ToImage().convertToFormat(QImage::Format_RGB32);
    const struct {
        fw::ColorRef fixed;
        int sysIndex;
    } map[] = {{fw::Rgb(192, 192, 192), fw::COLOR_BTNFACE},
               {fw::Rgb(128, 128, 128), fw::COLOR_BTNSHADOW},
               {fw::Rgb(255, 255, 255), fw::COLOR_BTNHIGHLIGHT}};
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const fw::ColorRef c = fw::FromPixel(row[x]);
            for (const auto& m : map) {
                if (c == m.fixed) {
                    row[x] = fw::ToPixel(GXGetSysColor(m.sysIndex));
                    break;
                }
            }
        }
    }
    return fw::Bitmap::FromImage(image);
}
