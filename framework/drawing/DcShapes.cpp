// Device context: lines, shapes, frames, edges and single pixels.
//
// One-pixel lines are rasterised here (not by QPainter) so that they follow the rules the
// drawing code of the suite was written for: a line leaves out its end point (unless the pen
// has square caps), styled lines repeat a fixed dash pattern in device pixels and paint their
// gaps in the background colour when the background mode is opaque, and a mix mode such as XOR
// touches every pixel exactly once.
#include "framework/drawing/DcImpl.h"

#include <QPainterPath>

#include <cstdlib>
#include <vector>

namespace fw {

namespace {

struct Span {
    QRect r;
    ColorRef color;
};

// On and off lengths of the styled one-pixel pens, in device pixels.
std::span<const int> DashPattern(int style) {
    static const int dash[] = {18, 6};
    static const int dot[] = {3, 3};
    static const int dashDot[] = {9, 6, 3, 6};
    static const int dashDotDot[] = {9, 3, 3, 3, 3, 3};
    switch (style) {
        case PS_DASH:
            return dash;
        case PS_DOT:
            return dot;
        case PS_DASHDOT:
            return dashDot;
        case PS_DASHDOTDOT:
            return dashDotDot;
        default:
            return {};
    }
}

// Whether the pixel at position pos of a styled line is on (a dash) or off (a gap).
bool DashOn(std::span<const int> pattern, int pos) {
    if (pattern.empty())
        return true;
    int total = 0;
    for (int v : pattern) total += v;
    int at = pos % total;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (at < pattern[i])
            return i % 2 == 0;
        at -= pattern[i];
    }
    return true;
}

void AddPixel(std::vector<Span>& out, int x, int y, ColorRef c) {
    if (!out.empty()) {
        Span& last = out.back();
        if (last.color == c && last.r.top() == y && last.r.height() == 1 &&
            last.r.right() + 1 == x) {
            last.r.setRight(x);
            return;
        }
        if (last.color == c && last.r.left() == x && last.r.width() == 1 &&
            last.r.bottom() + 1 == y) {
            last.r.setBottom(y);
            return;
        }
    }
    out.push_back({QRect(x, y, 1, 1), c});
}

QPainter::CompositionMode CompositionFor(int rop2) {
    switch (rop2) {
        case R2_XORPEN:
            return QPainter::RasterOp_SourceXorDestination;
        case R2_NOT:
            return QPainter::RasterOp_NotDestination;
        case R2_NOTXORPEN:
            return QPainter::RasterOp_NotSourceXorDestination;
        case R2_MASKPEN:
            return QPainter::RasterOp_SourceAndDestination;
        case R2_MERGEPEN:
            return QPainter::RasterOp_SourceOrDestination;
        case R2_NOTMASKPEN:
            return QPainter::RasterOp_NotSourceOrNotDestination;
        case R2_NOTMERGEPEN:
            return QPainter::RasterOp_NotSourceAndNotDestination;
        case R2_MASKNOTPEN:
            return QPainter::RasterOp_NotSourceAndDestination;
        case R2_MASKPENNOT:
            return QPainter::RasterOp_SourceAndNotDestination;
        case R2_MERGENOTPEN:
            return QPainter::RasterOp_NotSourceOrDestination;
        case R2_MERGEPENNOT:
            return QPainter::RasterOp_SourceOrNotDestination;
        case R2_NOTCOPYPEN:
            return QPainter::RasterOp_NotSource;
        default:
            return QPainter::CompositionMode_SourceOver;
    }
}

Qt::PenStyle QtPenStyle(int style) {
    switch (style) {
        case PS_DASH:
            return Qt::DashLine;
        case PS_DOT:
            return Qt::DotLine;
        case PS_DASHDOT:
            return Qt::DashDotLine;
        case PS_DASHDOTDOT:
            return Qt::DashDotDotLine;
        case PS_NULL:
            return Qt::NoPen;
        default:
            return Qt::SolidLine;
    }
}

}  // namespace

// Line drawing shared by LineTo, Polyline, Polygon and Rectangle.
class LineDrawer {
public:
    explicit LineDrawer(DeviceContext::Impl& d) : d_(d), pen_(d.st.pen) {
        width_ = pen_.width <= 1 ? 1 : std::max(1, d.ScaleLenX(pen_.width));
    }
    bool Visible() const { return pen_.style != PS_NULL && d_.st.rop2 != R2_NOP; }
    bool Cosmetic() const { return width_ <= 1; }

    // A segment in device pixels; for one-pixel pens the dash position runs on over segments.
    void Segment(QPoint a, QPoint b, bool includeEnd) {
        if (!Visible())
            return;
        if (Cosmetic())
            Bresenham(a, b, includeEnd || pen_.squareCaps);
        else
            Wide(a, b);
    }
    void Finish() {
        for (const Span& s : spans_) d_.Rop2Fill(s.r, s.color, d_.st.rop2);
        spans_.clear();
    }

private:
    void Bresenham(QPoint a, QPoint b, bool includeEnd) {
        auto pattern = DashPattern(pen_.style);
        const ColorRef on = pen_.color;
        const bool opaqueGaps = d_.st.bkMode == OPAQUE;
        int dx = std::abs(b.x() - a.x()), sx = a.x() < b.x() ? 1 : -1;
        int dy = -std::abs(b.y() - a.y()), sy = a.y() < b.y() ? 1 : -1;
        int err = dx + dy, x = a.x(), y = a.y();
        for (;;) {
            bool atEnd = x == b.x() && y == b.y();
            if (atEnd && !includeEnd)
                break;
            if (DashOn(pattern, pos_))
                AddPixel(spans_, x, y, on);
            else if (opaqueGaps)
                AddPixel(spans_, x, y, d_.st.bkColor);
            ++pos_;
            if (atEnd)
                break;
            int e2 = 2 * err;
            if (e2 >= dy)
                err += dy, x += sx;
            if (e2 <= dx)
                err += dx, y += sy;
        }
    }

    void Wide(QPoint a, QPoint b) {
        const int w = width_, half = w / 2;
        const int cap = pen_.squareCaps ? half : 0;
        if (pen_.style == PS_SOLID || pen_.style == PS_INSIDEFRAME) {
            if (a.y() == b.y()) {  // horizontal: an exact band of rows
                int l = std::min(a.x(), b.x()) - cap, r = std::max(a.x(), b.x()) + cap;
                spans_.push_back(
                    {QRect(QPoint(l, a.y() - half), QPoint(r - 1, a.y() - half + w - 1)),
                     pen_.color});
                return;
            }
            if (a.x() == b.x()) {
                int t = std::min(a.y(), b.y()) - cap, bt = std::max(a.y(), b.y()) + cap;
                spans_.push_back(
                    {QRect(QPoint(a.x() - half, t), QPoint(a.x() - half + w - 1, bt - 1)),
                     pen_.color});
                return;
            }
        }
        Finish();
        QPainter* p = d_.PainterForDrawing();
        if (!p)
            return;
        QPen qp(ToQColor(d_.Surface(pen_.color)), w, QtPenStyle(pen_.style),
                pen_.squareCaps ? Qt::SquareCap : Qt::RoundCap, Qt::MiterJoin);
        p->setCompositionMode(CompositionFor(d_.st.rop2));
        p->setPen(qp);
        p->drawLine(a, b);
        d_.MarkDirty(QRect(a, b).normalized().adjusted(-w, -w, w, w));
    }

    DeviceContext::Impl& d_;
    Pen pen_;
    int width_ = 1;
    int pos_ = 0;
    std::vector<Span> spans_;
};

namespace {
QPoint Dev(const DeviceContext::Impl& d, Point p) {
    return {d.ToDevX(p.x), d.ToDevY(p.y)};
}
}  // namespace

Point DeviceContext::MoveTo(int x, int y) {
    return std::exchange(d_->st.currentPos, Point{x, y});
}
Point DeviceContext::GetCurrentPosition() const {
    return d_->st.currentPos;
}

bool DeviceContext::LineTo(int x, int y) {
    LineDrawer line(*d_);
    line.Segment(Dev(*d_, d_->st.currentPos), Dev(*d_, {x, y}), false);
    line.Finish();
    d_->st.currentPos = {x, y};
    return true;
}

bool DeviceContext::Polyline(std::span<const Point> points) {
    if (points.size() < 2)
        return false;
    LineDrawer line(*d_);
    for (std::size_t i = 1; i < points.size(); ++i)
        line.Segment(Dev(*d_, points[i - 1]), Dev(*d_, points[i]), false);
    line.Finish();
    return true;
}

bool DeviceContext::Polygon(std::span<const Point> points) {
    if (points.size() < 2)
        return false;
    const Brush& b = d_->st.brush;
    if (b.style != BS_NULL) {
        if (QPainter* p = d_->PainterForDrawing()) {
            QPolygon poly;
            for (Point pt : points) poly << Dev(*d_, pt);
            QPainterPath path;
            path.addPolygon(poly);
            path.closeSubpath();
            QRect box = poly.boundingRect();
            p->setClipPath(path, Qt::IntersectClip);
            d_->FillDevice(box, b);
            d_->ClipChanged();
        }
    }
    LineDrawer line(*d_);
    for (std::size_t i = 0; i < points.size(); ++i)
        line.Segment(Dev(*d_, points[i]), Dev(*d_, points[(i + 1) % points.size()]), false);
    line.Finish();
    return true;
}

bool DeviceContext::Rectangle(const Rect& r) {
    QRect dev = d_->ToDevRect(r);
    if (dev.isEmpty())
        return true;
    LineDrawer line(*d_);
    bool outline = line.Visible();
    QRect inside = outline && line.Cosmetic() ? dev.adjusted(1, 1, -1, -1) : dev;
    d_->FillDevice(inside, d_->st.brush);
    if (outline) {
        QPoint tl = dev.topLeft(), tr = dev.topRight(), br = dev.bottomRight(),
               bl = dev.bottomLeft();
        if (!line.Cosmetic())
            tr.rx() += 1, br.rx() += 1, br.ry() += 1, bl.ry() += 1;
        line.Segment(tl, tr, false);
        line.Segment(tr, br, false);
        line.Segment(br, bl, false);
        line.Segment(bl, tl, false);
        line.Finish();
    }
    return true;
}

bool DeviceContext::Ellipse(const Rect& r) {
    QRect dev = d_->ToDevRect(r);
    if (dev.isEmpty())
        return true;
    QPainter* p = d_->PainterForDrawing();
    if (!p)
        return false;
    const Brush& b = d_->st.brush;
    if (b.style != BS_NULL) {
        QPainterPath path;
        path.addEllipse(QRectF(dev));
        p->setClipPath(path, Qt::IntersectClip);
        d_->FillDevice(dev, b);
        d_->ClipChanged();
        p = d_->PainterForDrawing();
    }
    const Pen& pen = d_->st.pen;
    if (pen.style != PS_NULL && d_->st.rop2 != R2_NOP) {
        int w = pen.width <= 1 ? 1 : std::max(1, d_->ScaleLenX(pen.width));
        QPen qp(ToQColor(d_->Surface(pen.color)), w, QtPenStyle(pen.style));
        if (w <= 1)
            qp.setCosmetic(true);
        p->setCompositionMode(CompositionFor(d_->st.rop2));
        p->setPen(qp);
        p->drawEllipse(dev.adjusted(0, 0, -1, -1));
    }
    d_->MarkDirty(dev);
    return true;
}

ColorRef DeviceContext::SetPixel(int x, int y, ColorRef c) {
    QRect r(d_->ToDevX(x), d_->ToDevY(y), 1, 1);
    if (!d_->HasSurface() || !d_->VisibleRegion().contains(r.topLeft()))
        return CLR_INVALID;
    d_->Rop2Fill(r, c, R2_COPYPEN);
    return d_->Surface(c);
}

ColorRef DeviceContext::GetPixel(int x, int y) const {
    if (!d_->IsImage())
        return CLR_INVALID;
    QPoint p(d_->ToDevX(x), d_->ToDevY(y));
    if (!d_->image->valid(p))
        return CLR_INVALID;
    d_->EndPainter();
    return FromPixel(d_->image->pixel(p));
}

void DeviceContext::FrameRect(const Rect& r, const Brush& brush) {
    QRect dev = d_->ToDevRect(r);
    if (dev.isEmpty())
        return;
    int l = dev.left(), t = dev.top(), rt = dev.right(), b = dev.bottom();
    d_->FillDevice(QRect(QPoint(l, t), QPoint(rt, t)), brush);
    d_->FillDevice(QRect(QPoint(l, b), QPoint(rt, b)), brush);
    if (b - t >= 2) {
        d_->FillDevice(QRect(QPoint(l, t + 1), QPoint(l, b - 1)), brush);
        d_->FillDevice(QRect(QPoint(rt, t + 1), QPoint(rt, b - 1)), brush);
    }
}

void DeviceContext::Draw3dRect(const Rect& r, ColorRef topLeft, ColorRef bottomRight) {
    const int x = r.left, y = r.top, cx = r.Width(), cy = r.Height();
    FillSolidRect({x, y, x + cx - 1, y + 1}, topLeft);
    FillSolidRect({x, y, x + 1, y + cy - 1}, topLeft);
    FillSolidRect({x + cx - 1, y, x + cx, y + cy}, bottomRight);
    FillSolidRect({x, y + cy - 1, x + cx, y + cy}, bottomRight);
}

void DeviceContext::DrawFocusRect(const Rect& r) {
    QRect dev = d_->ToDevRect(r);
    if (dev.isEmpty() || !d_->IsImage())
        return;
    // Every other pixel of the one-pixel frame is inverted; each pixel is touched once.
    auto checker = [](int x, int y) { return ((x + y) & 1) == 0 ? 0xFFFFFFFFu : 0xFF000000u; };
    int l = dev.left(), t = dev.top(), rt = dev.right(), b = dev.bottom();
    d_->RopFill(QRect(QPoint(l, t), QPoint(rt, t)), 0x5A, checker, nullptr);
    if (b > t)
        d_->RopFill(QRect(QPoint(l, b), QPoint(rt, b)), 0x5A, checker, nullptr);
    if (b - t >= 2) {
        d_->RopFill(QRect(QPoint(l, t + 1), QPoint(l, b - 1)), 0x5A, checker, nullptr);
        if (rt > l)
            d_->RopFill(QRect(QPoint(rt, t + 1), QPoint(rt, b - 1)), 0x5A, checker, nullptr);
    }
}

namespace {

struct EdgeColors {
    ColorRef topLeft;
    ColorRef bottomRight;
};

EdgeColors OuterColors(unsigned edge, unsigned flags) {
    if (flags & BF_MONO)
        return {GetSysColor(COLOR_WINDOWFRAME), GetSysColor(COLOR_WINDOWFRAME)};
    if (flags & BF_FLAT)
        return {GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DSHADOW)};
    if (edge & BDR_RAISEDOUTER)
        return {GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW)};
    return {GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DHILIGHT)};
}

EdgeColors InnerColors(unsigned edge, unsigned flags) {
    if (flags & BF_MONO)
        return {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOW)};
    if (flags & BF_FLAT)
        return {GetSysColor(COLOR_3DFACE), GetSysColor(COLOR_3DFACE)};
    if (edge & BDR_RAISEDINNER)
        return {GetSysColor(COLOR_3DHILIGHT), GetSysColor(COLOR_3DSHADOW)};
    return {GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT)};
}

}  // namespace

bool DeviceContext::DrawEdge(Rect& r, unsigned edge, unsigned flags) {
    Rect cur = r;
    cur.Normalize();
    auto ring = [&](EdgeColors c) {
        if (cur.IsEmpty())
            return;
        const int l = cur.left, t = cur.top, rt = cur.right, b = cur.bottom;
        Brush tl = Brush::Solid(c.topLeft), br = Brush::Solid(c.bottomRight);
        if (flags & BF_TOP)
            FillRect({l, t, rt, t + 1}, tl);
        if (flags & BF_LEFT)
            FillRect({l, t, l + 1, b}, tl);
        if (flags & BF_BOTTOM)
            FillRect({l, b - 1, rt, b}, br);
        if (flags & BF_RIGHT)
            FillRect({rt - 1, t, rt, b}, br);
        if (flags & BF_LEFT)
            ++cur.left;
        if (flags & BF_TOP)
            ++cur.top;
        if (flags & BF_RIGHT)
            --cur.right;
        if (flags & BF_BOTTOM)
            --cur.bottom;
    };
    if (edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER))
        ring(OuterColors(edge, flags));
    if (edge & (BDR_RAISEDINNER | BDR_SUNKENINNER))
        ring(InnerColors(edge, flags));
    if ((flags & BF_MIDDLE) && !cur.IsEmpty())
        FillRect(cur, Brush::Solid(GetSysColor((flags & (BF_MONO | BF_FLAT)) ? COLOR_WINDOW
                                                                             : COLOR_3DFACE)));
    if (flags & BF_ADJUST)
        r = cur;
    return true;
}

}  // namespace fw
