// The numeric cell control: only "-" and digits may be typed (the range is the validation
// attributes' job), and the node grid edits its whole-number properties with it.
#include <QApplication>
#include <QTest>

#include "editor/ui/NumEditControl.h"
#include "editor/ui/tests/TessalyFixture.h"

namespace tessaly::test {
namespace {

TEST(NumEditControl, TakesOnlySignsAndDigits) {
    CNumEditControl control(nullptr, kNumEditControlId);
    const std::pair<const char*, bool> cases[] = {
        {"-12", true},  {"--3", true},  {"", true},    {"12-", true},
        {"1.5", false}, {"12a", false}, {" 1", false}, {"+1", false},
    };
    for (const auto& [text, ok] : cases) EXPECT_EQ(control.ValidateText(text), ok) << text;
    EXPECT_STREQ(control.GetControlClass().base->name, "CGXSpinEdit");
}

class NumEditInGrid : public TessalyFixture {};

TEST_F(NumEditInGrid, TheNodeGridTypesNumbersThroughIt) {
    Start();
    SimNode& a = AddSimNode(2);
    xmldom::Node node = AddDocNode(a, "Kolt_1_Port_Node");
    View().RebuildGrid();
    const ROWCOL row = RowOfNode(2);
    ASSERT_NE(row, 0u);
    const int dir = View().DirectionColumn();
    ASSERT_GT(dir, 0);
    View().SetValueRange(CGXRange(row, dir), "0");  // an input port: its range is editable
    const int start = View().PortColumn(PortRole::EdmxStart, true);
    ASSERT_GT(start, 0);
    EXPECT_NE(dynamic_cast<CNumEditControl*>(View().GetControl(row, static_cast<ROWCOL>(start))),
              nullptr);
    View().SetCurrentCell(row, static_cast<ROWCOL>(start));
    ASSERT_TRUE(PumpUntil([&] { return Frame().isActiveWindow(); }));
    View().SetFocus();
    QApplication::processEvents();
    // Keys go where the focus is: the grid, then the cell's edit window once it shows.
    auto focus = [this]() -> QWidget* {
        QWidget* w = QApplication::focusWidget();
        return w ? w : &View();
    };
    for (char c : std::string("2a.0 0")) {
        QTest::keyClicks(focus(), QString(QChar(c)));
        QApplication::processEvents();
    }
    QTest::keyClick(focus(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(Cell(row, start), "200");  // the letter, the point and the blank were dropped
    EXPECT_EQ(DocText(node, ".DMX_Port_Properties.DMX_Input_Port_Properties.EDMX_Start"), "200");
}

}  // namespace
}  // namespace tessaly::test
