// Device context: construction, surface, selected tools, modes, saved states, mapping and
// clipping. Drawing lives in DcShapes.cpp, DcText.cpp and DcBlit.cpp.
#include "framework/drawing/DcImpl.h"

#include <QPageLayout>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace fw {

namespace {

int g_screenDpi = 96;

// a * b / c rounded half away from zero, as the mapping of coordinates rounds.
int MulDivRound(std::int64_t a, std::int64_t b, std::int64_t c) {
    if (c == 0)
        return 0;
    std::int64_t n = a * b;
    bool neg = (n < 0) != (c < 0);
    std::int64_t q = (std::llabs(n) + std::llabs(c) / 2) / std::llabs(c);
    return static_cast<int>(neg ? -q : q);
}

QImage::Format kSurfaceFormat = QImage::Format_RGB32;

}  // namespace

int ScreenDpi() {
    return g_screenDpi;
}
void SetScreenDpi(int dpi) {
    g_screenDpi = dpi > 0 ? dpi : 96;
}

// ---------------------------------------------------------------- Impl: surface

bool DeviceContext::Impl::HasSurface() const {
    if (kind == Kind::Printer)
        return printer && docStarted;
    return IsImage() && !image->isNull();
}

QRect DeviceContext::Impl::Bounds() const {
    if (kind == Kind::Printer)
        return printer ? QRect(0, 0, printer->width(), printer->height()) : QRect();
    return image ? image->rect() : QRect();
}

QPainter* DeviceContext::Impl::Painter() {
    if (!HasSurface())
        return nullptr;
    if (!painter) {
        if (kind == Kind::Printer)
            return nullptr;  // begun by StartDoc
        painter.emplace();
        if (!painter->begin(image)) {
            painter.reset();
            return nullptr;
        }
        clipApplied = false;
    }
    return &*painter;
}

void DeviceContext::Impl::EndPainter() {
    if (kind == Kind::Printer)
        return;
    if (painter) {
        painter->end();
        painter.reset();
    }
}

void DeviceContext::Impl::MarkDirty(const QRect& r) {
    if (kind == Kind::Image)
        dirty |= r.intersected(VisibleRegion().boundingRect());
}

QRegion DeviceContext::Impl::VisibleRegion() const {
    QRegion v(Bounds());
    if (baseClip)
        v &= *baseClip;
    if (st.clip)
        v &= *st.clip;
    return v;
}

QPainter* DeviceContext::Impl::PainterForDrawing() {
    QPainter* p = Painter();
    if (!p)
        return nullptr;
    if (!clipApplied) {
        p->setClipRegion(VisibleRegion());
        clipApplied = true;
    }
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->setRenderHint(QPainter::Antialiasing, false);
    p->setPen(Qt::NoPen);
    p->setBrush(Qt::NoBrush);
    p->setBrushOrigin(0, 0);
    p->resetTransform();
    return p;
}

ColorRef DeviceContext::Impl::Surface(ColorRef c) const {
    c &= 0xFFFFFF;
    if (!Mono())
        return c;
    int lum = (RedOf(c) * 30 + GreenOf(c) * 59 + BlueOf(c) * 11) / 100;
    return lum >= 128 ? 0xFFFFFF : 0;
}

const QFont& DeviceContext::Impl::Font() const {
    if (!realized) {
        Size v = EffectiveVpExt();
        double sx = static_cast<double>(std::abs(v.cx)) / std::abs(st.winExt.cx);
        double sy = static_cast<double>(std::abs(v.cy)) / std::abs(st.winExt.cy);
        const bool mono = Mono();
        auto it = std::find_if(fonts.begin(), fonts.end(), [&](const RealizedFont& f) {
            return f.scaleX == sx && f.scaleY == sy && f.mono == mono && f.font == st.font;
        });
        if (it == fonts.end()) {
            if (fonts.size() >= kRealizedFonts)
                fonts.erase(fonts.begin());
            RealizedFont made{st.font, sx, sy, mono, RealizeFont(st.font, sx, sy), {}, -1, {}};
            if (mono)
                made.qfont.setStyleStrategy(QFont::NoAntialias);
            fonts.push_back(std::move(made));
            it = fonts.end() - 1;
        }
        current = static_cast<std::size_t>(it - fonts.begin());
        realized = it->qfont;
    }
    return *realized;
}

DeviceContext::Impl::RealizedFont& DeviceContext::Impl::CurrentFont() const {
    Font();
    return fonts[current];
}

// ---------------------------------------------------------------- Impl: mapping

Size DeviceContext::Impl::EffectiveVpExt() const {
    if (st.mapMode != MM_ISOTROPIC)
        return st.vpExt;
    // Keep one scale in both directions: the smaller of the two wins.
    double sx = std::abs(static_cast<double>(st.vpExt.cx) / st.winExt.cx);
    double sy = std::abs(static_cast<double>(st.vpExt.cy) / st.winExt.cy);
    Size v = st.vpExt;
    if (sx > sy) {
        v.cx = MulDivRound(std::abs(st.winExt.cx), std::abs(st.vpExt.cy), std::abs(st.winExt.cy));
        if ((st.vpExt.cx < 0) != (st.winExt.cx < 0))
            v.cx = -v.cx;
    } else if (sy > sx) {
        v.cy = MulDivRound(std::abs(st.winExt.cy), std::abs(st.vpExt.cx), std::abs(st.winExt.cx));
        if ((st.vpExt.cy < 0) != (st.winExt.cy < 0))
            v.cy = -v.cy;
    }
    return v;
}

int DeviceContext::Impl::ToDevX(int x) const {
    return MulDivRound(static_cast<std::int64_t>(x) - st.winOrg.x, EffectiveVpExt().cx,
                       st.winExt.cx) +
           st.vpOrg.x;
}
int DeviceContext::Impl::ToDevY(int y) const {
    return MulDivRound(static_cast<std::int64_t>(y) - st.winOrg.y, EffectiveVpExt().cy,
                       st.winExt.cy) +
           st.vpOrg.y;
}
int DeviceContext::Impl::ToLogX(int x) const {
    Size v = EffectiveVpExt();
    return MulDivRound(static_cast<std::int64_t>(x) - st.vpOrg.x, st.winExt.cx, v.cx) + st.winOrg.x;
}
int DeviceContext::Impl::ToLogY(int y) const {
    Size v = EffectiveVpExt();
    return MulDivRound(static_cast<std::int64_t>(y) - st.vpOrg.y, st.winExt.cy, v.cy) + st.winOrg.y;
}
QRect DeviceContext::Impl::ToDevRect(const Rect& r) const {
    int l = ToDevX(r.left), rt = ToDevX(r.right), t = ToDevY(r.top), b = ToDevY(r.bottom);
    if (l > rt)
        std::swap(l, rt);
    if (t > b)
        std::swap(t, b);
    return QRect(QPoint(l, t), QPoint(rt - 1, b - 1));
}
int DeviceContext::Impl::ScaleLenX(int len) const {
    return std::abs(MulDivRound(len, EffectiveVpExt().cx, st.winExt.cx));
}
int DeviceContext::Impl::ScaleLenY(int len) const {
    return std::abs(MulDivRound(len, EffectiveVpExt().cy, st.winExt.cy));
}
int DeviceContext::Impl::UnscaleLenX(int len) const {
    return std::abs(MulDivRound(len, st.winExt.cx, EffectiveVpExt().cx));
}
int DeviceContext::Impl::UnscaleLenY(int len) const {
    return std::abs(MulDivRound(len, st.winExt.cy, EffectiveVpExt().cy));
}

// ---------------------------------------------------------------- construction

DeviceContext::DeviceContext() : d_(std::make_unique<Impl>()) {
    d_->dpiX = d_->dpiY = ScreenDpi();
}

DeviceContext::DeviceContext(QImage* target) : DeviceContext() {
    d_->kind = Impl::Kind::Image;
    d_->image = target;
    if (target && !target->isNull() && target->format() != kSurfaceFormat &&
        target->format() != QImage::Format_ARGB32_Premultiplied) {
        *target = target->convertToFormat(kSurfaceFormat);
    }
}

DeviceContext::DeviceContext(QPrinter* printer) : DeviceContext() {
    d_->kind = Impl::Kind::Printer;
    d_->printer = printer;
    if (printer) {
        d_->dpiX = printer->logicalDpiX();
        d_->dpiY = printer->logicalDpiY();
    }
}

DeviceContext::~DeviceContext() {
    if (d_->kind == Impl::Kind::Printer && d_->docStarted)
        AbortDoc();
    Flush();
}

bool DeviceContext::CreateCompatibleDC(const DeviceContext* reference) {
    Flush();
    d_->kind = Impl::Kind::Memory;
    d_->printer = nullptr;
    d_->image = nullptr;
    d_->dpiX = reference ? reference->d_->dpiX : ScreenDpi();
    d_->dpiY = reference ? reference->d_->dpiY : ScreenDpi();
    d_->printerPrinting = reference && reference->IsPrinting();
    SelectBitmap(Bitmap::CreateMono(1, 1));
    return true;
}

bool DeviceContext::IsPrinting() const {
    return d_->kind == Impl::Kind::Printer || d_->printerPrinting;
}
bool DeviceContext::IsMemoryDC() const {
    return d_->kind == Impl::Kind::Memory;
}
QImage* DeviceContext::TargetImage() const {
    return d_->IsImage() ? d_->image : nullptr;
}

void DeviceContext::Flush() {
    d_->EndPainter();
    if (!d_->dirty.isEmpty()) {
        QRect r = d_->dirty;
        d_->dirty = QRect();
        if (d_->onFlush)
            d_->onFlush(r);
    }
}

void DeviceContext::SetOnFlush(std::function<void(const QRect&)> onFlush) {
    d_->onFlush = std::move(onFlush);
}

void DeviceContext::SetBaseClip(const QRegion& deviceRegion) {
    d_->baseClip = deviceRegion;
    d_->ClipChanged();
}

// ---------------------------------------------------------------- tools and modes

Pen DeviceContext::SelectPen(const Pen& pen) {
    return std::exchange(d_->st.pen, pen);
}
Brush DeviceContext::SelectBrush(const Brush& brush) {
    return std::exchange(d_->st.brush, brush);
}
LogFont DeviceContext::SelectFont(const LogFont& font) {
    // The same font again keeps what was realized for it (measuring many cells selects it
    // once per cell).
    if (font == d_->st.font)
        return font;
    d_->realized.reset();
    return std::exchange(d_->st.font, font);
}
Bitmap DeviceContext::SelectBitmap(const Bitmap& bitmap) {
    if (d_->kind != Impl::Kind::Memory || bitmap.IsNull())
        return {};
    d_->EndPainter();
    Bitmap old = std::exchange(d_->bitmap, bitmap);
    d_->image = d_->bitmap.Image();
    d_->ClipChanged();
    return old;
}
const Pen& DeviceContext::GetCurrentPen() const {
    return d_->st.pen;
}
const Brush& DeviceContext::GetCurrentBrush() const {
    return d_->st.brush;
}
const LogFont& DeviceContext::GetCurrentFont() const {
    return d_->st.font;
}
const Bitmap& DeviceContext::GetCurrentBitmap() const {
    return d_->bitmap;
}

ColorRef DeviceContext::SetTextColor(ColorRef c) {
    return std::exchange(d_->st.textColor, c & 0xFFFFFF);
}
ColorRef DeviceContext::GetTextColor() const {
    return d_->st.textColor;
}
ColorRef DeviceContext::SetBkColor(ColorRef c) {
    return std::exchange(d_->st.bkColor, c & 0xFFFFFF);
}
ColorRef DeviceContext::GetBkColor() const {
    return d_->st.bkColor;
}
int DeviceContext::SetBkMode(int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE)
        return 0;
    return std::exchange(d_->st.bkMode, mode);
}
int DeviceContext::GetBkMode() const {
    return d_->st.bkMode;
}
int DeviceContext::SetROP2(int mode) {
    if (mode < R2_BLACK || mode > R2_WHITE)
        return 0;
    return std::exchange(d_->st.rop2, mode);
}
int DeviceContext::GetROP2() const {
    return d_->st.rop2;
}
unsigned DeviceContext::SetTextAlign(unsigned align) {
    return std::exchange(d_->st.textAlign, align);
}
unsigned DeviceContext::GetTextAlign() const {
    return d_->st.textAlign;
}
Point DeviceContext::SetBrushOrg(int x, int y) {
    return std::exchange(d_->st.brushOrg, Point{x, y});
}
Point DeviceContext::GetBrushOrg() const {
    return d_->st.brushOrg;
}

int DeviceContext::SaveDC() {
    d_->saved.push_back(d_->st);
    return static_cast<int>(d_->saved.size());
}

bool DeviceContext::RestoreDC(int level) {
    int n = static_cast<int>(d_->saved.size());
    if (level < 0)
        level = n + 1 + level;
    if (level < 1 || level > n)
        return false;
    d_->st = d_->saved[static_cast<std::size_t>(level - 1)];
    d_->saved.resize(static_cast<std::size_t>(level - 1));
    d_->realized.reset();
    d_->ClipChanged();
    return true;
}

// ---------------------------------------------------------------- mapping

int DeviceContext::SetMapMode(int mode) {
    if (mode < MM_TEXT || mode > MM_ANISOTROPIC)
        return 0;
    int old = std::exchange(d_->st.mapMode, mode);
    State& s = d_->st;
    int perInch = 0;
    switch (mode) {
        case MM_TEXT:
            s.winExt = {1, 1};
            s.vpExt = {1, 1};
            break;
        case MM_LOMETRIC:
            perInch = 254;
            break;
        case MM_HIMETRIC:
            perInch = 2540;
            break;
        case MM_LOENGLISH:
            perInch = 100;
            break;
        case MM_HIENGLISH:
            perInch = 1000;
            break;
        case MM_TWIPS:
            perInch = 1440;
            break;
        default:
            break;  // isotropic and anisotropic keep the extents they have
    }
    if (perInch) {
        s.winExt = {perInch, perInch};
        s.vpExt = {d_->dpiX, -d_->dpiY};
    }
    d_->realized.reset();
    return old;
}
int DeviceContext::GetMapMode() const {
    return d_->st.mapMode;
}

Point DeviceContext::SetWindowOrg(int x, int y) {
    return std::exchange(d_->st.winOrg, Point{x, y});
}
Point DeviceContext::OffsetWindowOrg(int dx, int dy) {
    Point p = d_->st.winOrg;
    return SetWindowOrg(p.x + dx, p.y + dy);
}
Point DeviceContext::GetWindowOrg() const {
    return d_->st.winOrg;
}
Point DeviceContext::SetViewportOrg(int x, int y) {
    return std::exchange(d_->st.vpOrg, Point{x, y});
}
Point DeviceContext::OffsetViewportOrg(int dx, int dy) {
    Point p = d_->st.vpOrg;
    return SetViewportOrg(p.x + dx, p.y + dy);
}
Point DeviceContext::GetViewportOrg() const {
    return d_->st.vpOrg;
}

Size DeviceContext::SetWindowExt(int cx, int cy) {
    Size old = d_->st.winExt;
    if (d_->st.mapMode < MM_ISOTROPIC || cx == 0 || cy == 0)
        return old;
    d_->st.winExt = {cx, cy};
    d_->realized.reset();
    return old;
}
Size DeviceContext::GetWindowExt() const {
    return d_->st.winExt;
}
Size DeviceContext::SetViewportExt(int cx, int cy) {
    Size old = d_->st.vpExt;
    if (d_->st.mapMode < MM_ISOTROPIC || cx == 0 || cy == 0)
        return old;
    d_->st.vpExt = {cx, cy};
    d_->realized.reset();
    return old;
}
Size DeviceContext::GetViewportExt() const {
    return d_->EffectiveVpExt();
}

Point DeviceContext::LPtoDP(Point p) const {
    return {d_->ToDevX(p.x), d_->ToDevY(p.y)};
}
Rect DeviceContext::LPtoDP(const Rect& r) const {
    return {d_->ToDevX(r.left), d_->ToDevY(r.top), d_->ToDevX(r.right), d_->ToDevY(r.bottom)};
}
Point DeviceContext::DPtoLP(Point p) const {
    return {d_->ToLogX(p.x), d_->ToLogY(p.y)};
}
Rect DeviceContext::DPtoLP(const Rect& r) const {
    return {d_->ToLogX(r.left), d_->ToLogY(r.top), d_->ToLogX(r.right), d_->ToLogY(r.bottom)};
}

int DeviceContext::GetDeviceCaps(int index) const {
    QRect b = d_->Bounds();
    bool printer = d_->kind == Impl::Kind::Printer && d_->printer;
    switch (index) {
        case TECHNOLOGY:
            return IsPrinting() ? DT_RASPRINTER : DT_RASDISPLAY;
        case HORZRES:
            return b.width();
        case VERTRES:
            return b.height();
        case HORZSIZE:
            return d_->dpiX ? b.width() * 254 / (d_->dpiX * 10) : 0;
        case VERTSIZE:
            return d_->dpiY ? b.height() * 254 / (d_->dpiY * 10) : 0;
        case BITSPIXEL:
            return d_->Mono() ? 1 : 32;
        case PLANES:
            return 1;
        case NUMCOLORS:
            return d_->Mono() ? 2 : -1;
        case RASTERCAPS:
            return 0x0001 | 0x0008 | 0x0800;  // blits, bitmaps, stretching
        case LOGPIXELSX:
            return d_->dpiX;
        case LOGPIXELSY:
            return d_->dpiY;
        case PHYSICALWIDTH:
            return printer ? d_->printer->paperRect(QPrinter::DevicePixel).toRect().width()
                           : b.width();
        case PHYSICALHEIGHT:
            return printer ? d_->printer->paperRect(QPrinter::DevicePixel).toRect().height()
                           : b.height();
        case PHYSICALOFFSETX:
            return printer ? static_cast<int>(d_->printer->pageRect(QPrinter::DevicePixel).left() -
                                              d_->printer->paperRect(QPrinter::DevicePixel).left())
                           : 0;
        case PHYSICALOFFSETY:
            return printer ? static_cast<int>(d_->printer->pageRect(QPrinter::DevicePixel).top() -
                                              d_->printer->paperRect(QPrinter::DevicePixel).top())
                           : 0;
        default:
            return 0;
    }
}

// ---------------------------------------------------------------- clipping

namespace {
int KindOf(const QRegion& r) {
    if (r.isEmpty())
        return NULLREGION;
    return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}
}  // namespace

int DeviceContext::SelectClipRgn(const Region* region) {
    if (region)
        d_->st.clip = region->Q();
    else
        d_->st.clip.reset();
    d_->ClipChanged();
    return KindOf(d_->VisibleRegion());
}

int DeviceContext::IntersectClipRect(const Rect& r) {
    QRegion current = d_->st.clip ? *d_->st.clip : QRegion(d_->Bounds());
    d_->st.clip = current & QRegion(d_->ToDevRect(r));
    d_->ClipChanged();
    return KindOf(d_->VisibleRegion());
}

int DeviceContext::ExcludeClipRect(const Rect& r) {
    QRegion current = d_->st.clip ? *d_->st.clip : QRegion(d_->Bounds());
    d_->st.clip = current - QRegion(d_->ToDevRect(r));
    d_->ClipChanged();
    return KindOf(d_->VisibleRegion());
}

int DeviceContext::GetClipBox(Rect& box) const {
    QRegion v = d_->VisibleRegion();
    QRect b = v.boundingRect();
    if (v.isEmpty()) {
        box = {};
        return NULLREGION;
    }
    box = DPtoLP(Rect{b.left(), b.top(), b.right() + 1, b.bottom() + 1});
    box.Normalize();
    return KindOf(v);
}

bool DeviceContext::PtVisible(Point p) const {
    return d_->VisibleRegion().contains(QPoint(d_->ToDevX(p.x), d_->ToDevY(p.y)));
}

bool DeviceContext::RectVisible(const Rect& r) const {
    return d_->VisibleRegion().intersects(d_->ToDevRect(r));
}

}  // namespace fw

// ---------------------------------------------------------------- printing

namespace fw {

int DeviceContext::StartDoc(std::string_view documentName) {
    if (d_->kind != Impl::Kind::Printer || !d_->printer || d_->docStarted)
        return 0;
    d_->printer->setDocName(
        QString::fromUtf8(documentName.data(), static_cast<qsizetype>(documentName.size())));
    d_->painter.emplace();
    if (!d_->painter->begin(d_->printer)) {
        d_->painter.reset();
        return 0;
    }
    d_->docStarted = true;
    d_->pagesStarted = 0;
    d_->ClipChanged();
    return 1;
}

int DeviceContext::StartPage() {
    if (!d_->docStarted || d_->pageOpen)
        return 0;
    if (d_->pagesStarted > 0 && !d_->printer->newPage())
        return 0;
    ++d_->pagesStarted;
    d_->pageOpen = true;
    d_->ClipChanged();
    return 1;
}

int DeviceContext::EndPage() {
    if (!d_->pageOpen)
        return 0;
    d_->pageOpen = false;
    return 1;
}

int DeviceContext::EndDoc() {
    if (!d_->docStarted)
        return 0;
    bool ok = d_->painter->end();
    d_->painter.reset();
    d_->docStarted = false;
    d_->pageOpen = false;
    return ok ? 1 : 0;
}

int DeviceContext::AbortDoc() {
    if (!d_->docStarted)
        return 0;
    d_->printer->abort();
    d_->painter->end();
    d_->painter.reset();
    d_->docStarted = false;
    d_->pageOpen = false;
    return 1;
}

}  // namespace fw
