// CProgressBar: the bar that long node operations draw straight into a status-bar pane while
// they run on the user-interface thread (no message is pumped between steps, so it paints
// itself at once). Kind 1 is the only kind that counts and draws.
//
//   CProgressBar bar(1, pane.Width() - 1, pane.Height() - 1, true);
//   bar.SetRange(nodes);  ...  bar.Update(statusBar, done, pane.left + 3, pane.top + 3);
#pragma once

namespace fw {
class DeviceContext;
class Window;
}  // namespace fw

class CProgressBar {
public:
    // The inner size is the given size less 4 (the frame's width on both sides).
    CProgressBar(int kind, int width, int height, bool showPercent);
    virtual ~CProgressBar() = default;

    bool SetRange(int steps);
    bool SetPos(int position);
    // Sets the position and draws at (x, y) on the window; false for another kind.
    bool Update(fw::Window& window, int position, int x, int y);
    // Draws the bar at (x, y) on a context.
    void Draw(fw::DeviceContext& dc, int x, int y) const;

    // Width of the blue part: inner width * position / range, 1 for a range of 0, never
    // negative nor past the inner width.
    int FilledWidth() const;
    // The number shown: the filled share of the inner width in percent; 0 when the bar has
    // no inner width (a pane squeezed to nothing).
    int Percent() const;
    int InnerWidth() const { return innerWidth_; }
    int InnerHeight() const { return innerHeight_; }

private:
    int kind_;
    int innerWidth_;
    int innerHeight_;
    bool showPercent_;
    int range_ = 0;
    int position_ = 0;
};
