// Keystroke-to-repaint latency of typing into a cell of a 1,000,000 x 100 grid, beside a
// QTableView whose cells edit with a QLineEdit (the item delegate's editor) over a model of the
// same size, in one run on the offscreen platform. Each figure is the median over 1,000 typed
// characters: the key goes in as a real key event to the window that has the focus, and the
// time runs until every paint it caused is done.
#include "bench/common/Timing.h"
#include "framework/window/Window.h"
#include "grid/controls/CGXControlFactory.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/GXLibraryState.h"
#include "grid/examples/GridDemo.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <vector>

namespace {

using bench::Median;
using bench::Ms;

constexpr int kRows = 1000000;
constexpr int kCols = 100;
constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kChars = 1000;
constexpr int kBlock = 100;

// The character typed at step i: letters and digits in turn.
Qt::Key KeyAt(int i) {
    const char ch = "abcdefghij0123456789"[i % 20];
    return ch >= 'a' ? Qt::Key(Qt::Key_A + (ch - 'a')) : Qt::Key(Qt::Key_0 + (ch - '0'));
}

// One keystroke into whatever has the focus (else `fallback`), then every paint it caused.
double TypeOne(QApplication& app, QWidget* fallback, int i) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : fallback;
    const auto t0 = std::chrono::steady_clock::now();
    QTest::keyClick(target, KeyAt(i), Qt::NoModifier);
    app.processEvents();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

// An editable model of the demo grid's size; edited cells are kept in a map.
class EditModel : public QAbstractTableModel {
public:
    int rowCount(const QModelIndex& = {}) const override { return kRows; }
    int columnCount(const QModelIndex& = {}) const override { return kCols; }
    Qt::ItemFlags flags(const QModelIndex&) const override {
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole && role != Qt::EditRole)
            return {};
        auto it = values_.find({index.row(), index.column()});
        if (it != values_.end())
            return it->second;
        if (index.row() < 60 && index.column() == 0)
            return QString("Node %1").arg(index.row() + 1);
        return {};
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (role != Qt::EditRole)
            return false;
        values_[{index.row(), index.column()}] = value.toString();
        emit dataChanged(index, index);
        return true;
    }

private:
    std::map<std::pair<int, int>, QString> values_;
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

    // --- the grid: its own edit control in cell (3, 2) ------------------------------------------
    GXInitWithControlFactory();
    CGXGridWnd grid;
    grid.Create(nullptr, {0, 0, kWidth, kHeight}, 0,
                fw::WS_VISIBLE | fw::WS_VSCROLL | fw::WS_HSCROLL);
    grid.Initialize();
    CGXStyle standard;
    standard.SetFont(CGXFont().SetFaceName("DejaVu Sans").SetSize(9));
    standard.SetControl(GX_IDS_CTRL_EDIT);
    grid.ChangeStandardStyle(standard, gxOverride, 0);
    FillDemoGrid(grid, kRows, kCols);
    grid.activateWindow();
    grid.SetFocus();
    grid.SetCurrentCell(3, 2);
    grid.UpdateWindow();
    app.processEvents();

    // --- the baseline: a QTableView editing with its delegate's QLineEdit -----------------------
    EditModel model;
    QTableView view;
    view.setModel(&model);
    view.resize(kWidth, kHeight);
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.verticalHeader()->setDefaultSectionSize(grid.GetRowHeight(1));
    view.horizontalHeader()->setDefaultSectionSize(grid.GetColWidth(1));
    view.show();
    app.processEvents();

    // Blocks of keys in turn, so that a busy machine slows both alike; a block starts by giving
    // its window the focus (the table view opens its cell's editor again).
    std::vector<double> gridTimes, viewTimes;
    const QModelIndex cell = model.index(2, 1);
    QString viewTyped;
    for (int block = 0; block < kChars / kBlock; ++block) {
        grid.activateWindow();
        grid.SetFocus();
        app.processEvents();
        for (int i = 0; i < kBlock; ++i)
            gridTimes.push_back(TypeOne(app, &grid, block * kBlock + i));

        view.activateWindow();
        view.setFocus();
        view.setCurrentIndex(cell);
        view.edit(cell);
        app.processEvents();
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (!editor) {
            std::fprintf(stderr, "the table view opened no line edit\n");
            return 1;
        }
        // The editor opens on what was committed; give it all that was typed so far, so that both
        // cells hold texts of the same length.
        editor->setText(viewTyped);
        for (int i = 0; i < kBlock; ++i) {
            viewTimes.push_back(TypeOne(app, editor, block * kBlock + i));
        }
        viewTyped = editor->text();
    }
    std::string typed;
    if (CGXControl* control = grid.GetCurrentCellControl())
        control->GetCurrentText(typed);
    const int viewLength = int(viewTyped.size());

    if (typed.size() != static_cast<std::size_t>(kChars) || viewLength != kChars) {
        std::fprintf(stderr, "the keys did not all reach the cells (%zu and %d characters)\n",
                     typed.size(), viewLength);
        return 1;
    }
    const double g = Median(gridTimes), v = Median(viewTimes);
    std::printf(
        "grid keystroke to repaint, cell of a %d x %d grid, median of %d keys: %.3f ms; "
        "QTableView with a QLineEdit delegate (baseline): %.3f ms; ratio %.2f (texts at the end: "
        "%zu and %d characters)\n",
        kRows, kCols, kChars, g, v, g / v, typed.size(), viewLength);
    return 0;
}
