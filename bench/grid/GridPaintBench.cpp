// Paints one full viewport and scrolls one page of a 1,000,000 x 100 grid, and does the same
// with a QTableView over a model of the same size, texts, colours and font (the baseline), in
// one run on the offscreen platform. Each figure is the median of many repetitions; the ratio
// grid / baseline is printed (below 1: the grid is faster).
#include "bench/common/Timing.h"
#include "grid/controls/CGXControlFactory.h"
#include "grid/core/GXLibraryState.h"
#include "grid/examples/GridDemo.h"
#include "grid/examples/GridHostWindow.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using bench::Median;
using bench::Ms;

constexpr int kRows = 1000000;
constexpr int kCols = 100;
constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kRepeats = 200;

// Runs the two steps in turn, so that a busy machine slows both alike; the medians.
std::pair<double, double> Interleaved(const std::function<void()>& a,
                                      const std::function<void()>& b) {
    std::vector<double> ta, tb;
    for (int i = 0; i < kRepeats; ++i) {
        ta.push_back(Ms(a));
        tb.push_back(Ms(b));
    }
    return {Median(ta), Median(tb)};
}

// The demo grid's content as a model: the same texts, zebra rows, red negatives, alignment.
class DemoModel : public QAbstractTableModel {
public:
    int rowCount(const QModelIndex& = {}) const override { return kRows; }
    int columnCount(const QModelIndex& = {}) const override { return kCols; }
    QVariant data(const QModelIndex& index, int role) const override {
        const int r = index.row() + 1, c = index.column() + 1;
        switch (role) {
            case Qt::DisplayRole:
                if (r > 60)
                    return r == kRows && c == 1 ? QVariant("last row") : QVariant();
                switch (c) {
                    case 1:
                        return QString("Node %1").arg(r);
                    case 2:
                        return QString("10.0.0.%1").arg(r);
                    case 3:
                        return QString::number(r * 37 % 200 - 60);
                    case 4:
                        return r % 3 == 0 ? "off line" : "on line";
                    default:
                        return {};
                }
            case Qt::BackgroundRole:
                if (c == 6)
                    return QBrush(QColor(0xA0, 0xC0, 0xE0), Qt::HorPattern);
                return QColor(r % 2 == 0 && r <= 400 ? QColor(0xE8, 0xF4, 0xFF)
                                                     : QColor(0xFA, 0xFA, 0xFA));
            case Qt::ForegroundRole:
                if (c == 3 && r <= 60 && r * 37 % 200 - 60 < 0)
                    return QColor(Qt::red);
                return {};
            case Qt::TextAlignmentRole:
                if (c == 3)
                    return int(Qt::AlignRight | Qt::AlignTop);
                if (c == 4)
                    return int(Qt::AlignHCenter | Qt::AlignTop);
                return int(Qt::AlignLeft | Qt::AlignTop);
            default:
                return {};
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", "1");
    QApplication app(argc, argv);
    QFont font("DejaVu Sans");
    font.setPointSizeF(9);
    QApplication::setFont(font);

    // --- the grid -------------------------------------------------------------------------
    GXInitWithControlFactory();
    GridHostWindow grid;
    grid.Create(nullptr, {0, 0, kWidth, kHeight}, 0, fw::WS_VISIBLE);
    CGXGridCore& core = grid.GetCore();
    core.OnGridInitialUpdate();
    CGXStyle standardFont;
    standardFont.SetFont(CGXFont().SetFaceName("DejaVu Sans").SetSize(9));
    core.ChangeStandardStyle(standardFont, gxOverride, 0);
    FillDemoGrid(core, kRows, kCols);
    grid.Invalidate();
    grid.UpdateWindow();
    app.processEvents();

    // --- the baseline -----------------------------------------------------------------------
    DemoModel model;
    QTableView view;
    view.setModel(&model);
    view.resize(kWidth, kHeight);
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.verticalHeader()->setDefaultSectionSize(core.GetRowHeight(1));
    view.horizontalHeader()->setDefaultSectionSize(core.GetColWidth(1));
    view.setWordWrap(true);
    view.show();
    app.processEvents();

    const auto [gridPaint, viewPaint] = Interleaved(
        [&] {
            grid.Invalidate();
            grid.UpdateWindow();
            app.processEvents();
        },
        [&] {
            view.viewport()->update();
            view.horizontalHeader()->viewport()->update();
            view.verticalHeader()->viewport()->update();
            app.processEvents();
        });
    const auto [gridScroll, viewScroll] = Interleaved(
        [&] {
            grid.SendMessage(fw::WM_VSCROLL, fw::MAKEWPARAM(fw::SB_PAGEDOWN, 0));
            grid.UpdateWindow();
            app.processEvents();
        },
        [&] {
            view.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
            app.processEvents();
        });
    const ROWCOL gridTop = core.GetTopRow();

    std::printf(
        "grid paint of one %dx%d viewport, %d x %d cells: %.3f ms; QTableView (baseline): "
        "%.3f ms; ratio %.2f\n",
        kWidth, kHeight, kRows, kCols, gridPaint, viewPaint, gridPaint / viewPaint);
    std::printf(
        "grid scroll by one page: %.3f ms; QTableView (baseline): %.3f ms; ratio %.2f "
        "(grid top row %u, view top row %d)\n",
        gridScroll, viewScroll, gridScroll / viewScroll, gridTop, view.rowAt(0) + 1);
    GXTerminateLibrary();
    return 0;
}
