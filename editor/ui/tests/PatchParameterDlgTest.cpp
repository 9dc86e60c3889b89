// The one-to-one and range patch dialogs typed into with real keys: their defaults, every
// refused value with its message and the field that gets the focus, the confirmation, and
// the EDMX address form both share.
#include <QLineEdit>
#include <QTimer>

#include "editor/ui/EdmxAddress.h"
#include "editor/ui/OneToOnePatchDlg.h"
#include "editor/ui/RangePatchDlg.h"
#include "editor/ui/tests/TessalyFixture.h"
#include "framework/dialogs/MessageBox.h"

namespace tessaly::test {
namespace {

TEST(EdmxAddress, DecimalOrUniverseSlashChannel) {
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"1", 1},
        {"0", 0},
        {"32767", 32767},
        {"40000", 40000},
        {"2/1", 513},
        {"1/512", 512},
        {"64/512", 32768},
        {"65/1", std::nullopt},
        {"1/513", std::nullopt},
        {"2/0", std::nullopt},
        {"0/5", std::nullopt},
        {"", std::nullopt},
        {"/", std::nullopt},
        {"1/2/3", std::nullopt},
        {"12a", std::nullopt},
        {"-5", std::nullopt},
        {"99999999999", std::nullopt},
    };
    for (const auto& [text, address] : cases) EXPECT_EQ(ParseEdmxAddress(text), address) << text;
}

class PatchParameters : public TessalyFixture {
protected:
    void SetUp() override { Start(); }
    QLineEdit* Line(fw::Dialog& dlg, unsigned id) {
        return qobject_cast<QLineEdit*>(dlg.GetDlgItem(id)->focusProxy());
    }
    // Replaces the field's text by typing, then presses Enter; returns the boxes shown.
    std::vector<fw::MessageBoxRequest> TypeAndEnter(fw::Dialog& dlg, unsigned id, const char* text,
                                                    int answer = fw::IDCANCEL) {
        Line(dlg, id)->selectAll();
        QTest::keyClick(Line(dlg, id), Qt::Key_Delete);
        QTest::keyClicks(Line(dlg, id), text);
        fw::ScopedMessageBoxAnswers boxes({answer});
        QTest::keyClick(Line(dlg, id), Qt::Key_Return);
        return boxes.asked;
    }
};

TEST_F(PatchParameters, OneToOneRefusesStartsWithoutRoomAndAsksFirst) {
    COneToOnePatchDlg dlg(&Frame());
    QTimer::singleShot(0, [&] {
        ASSERT_NE(ShownDialog<COneToOnePatchDlg>(), nullptr);
        QLineEdit* edmx = Line(dlg, IDC_ONE_TO_ONE_EDMX);
        EXPECT_EQ(edmx->text(), "1");
        EXPECT_EQ(edmx->selectedText(), "1");
        EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_ONE_TO_ONE_APPEND), fw::BST_UNCHECKED);
        for (const char* bad : {"0", "2/0", "65/1", "32257"}) {
            const auto asked = TypeAndEnter(dlg, IDC_ONE_TO_ONE_EDMX, bad);
            ASSERT_EQ(asked.size(), 1u) << bad;
            EXPECT_EQ(asked[0].text, std::string(bad) == "32257"
                                         ? "DMX value range is beyond EDMX range.  Please enter "
                                           "lower EDMX Start Address."
                                         : "EDMX value is invalid.")
                << bad;
            EXPECT_TRUE(dlg.isVisible());
            EXPECT_EQ(dlg.focusWidget(), edmx);
            EXPECT_EQ(edmx->selectedText().toStdString(), bad);
        }
        // The last start with room: asked first; Cancel keeps the dialog open.
        auto asked = TypeAndEnter(dlg, IDC_ONE_TO_ONE_EDMX, "63/1", fw::IDCANCEL);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].text, "Are you sure you want to do this One to One patch?");
        EXPECT_EQ(asked[0].caption, "warning");
        EXPECT_EQ(asked[0].type, fw::MB_OKCANCEL | fw::MB_ICONEXCLAMATION);
        EXPECT_TRUE(dlg.isVisible());
        QTest::mouseClick(dlg.GetDlgItem(IDC_ONE_TO_ONE_APPEND)->focusProxy(), Qt::LeftButton);
        Screenshot(dlg, "tessaly-one-to-one");
        TypeAndEnter(dlg, IDC_ONE_TO_ONE_EDMX, "32256", fw::IDOK);
    });
    ASSERT_EQ(dlg.DoModal(), fw::IDOK);
    EXPECT_EQ(dlg.m_nEdmxStart, 32256);
    EXPECT_TRUE(dlg.m_bAppend);
}

TEST_F(PatchParameters, RangeChecksEachFieldInTurn) {
    CRangePatchDlg dlg(&Frame());
    QTimer::singleShot(0, [&] {
        ASSERT_NE(ShownDialog<CRangePatchDlg>(), nullptr);
        EXPECT_EQ(Line(dlg, IDC_RANGE_DMX_START)->selectedText(), "1");
        EXPECT_EQ(dlg.GetDlgItemText(IDC_RANGE_DMX_END), "512");
        EXPECT_EQ(dlg.GetDlgItemText(IDC_RANGE_EDMX), "1");
        EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_RANGE_APPEND), fw::BST_CHECKED);
        struct Case {
            unsigned field;
            const char* text;
            const char* message;
            unsigned focus;
        };
        const Case cases[] = {
            {IDC_RANGE_EDMX, "1/513", "EDMX value is invalid.", IDC_RANGE_EDMX},
            {IDC_RANGE_EDMX, "32768", "EDMX value is invalid.", IDC_RANGE_EDMX},
            {IDC_RANGE_EDMX, "1", nullptr, 0},
            {IDC_RANGE_DMX_START, "0", "DMX Start value is invalid.", IDC_RANGE_DMX_START},
            {IDC_RANGE_DMX_START, "20", nullptr, 0},
            {IDC_RANGE_DMX_END, "513", "DMX End valus is invalid.", IDC_RANGE_DMX_END},
            {IDC_RANGE_DMX_END, "10", "DMX End value cannot be less than DMX Start Value.",
             IDC_RANGE_DMX_END},
            {IDC_RANGE_DMX_END, "512", nullptr, 0},
            {IDC_RANGE_EDMX, "32300",
             "DMX value range is beyond EDMX range.  Please enter lower EDMX Start Address.",
             IDC_RANGE_EDMX},
        };
        for (const Case& c : cases) {
            const auto asked = TypeAndEnter(dlg, c.field, c.text);
            if (!c.message)
                continue;  // a value that stays for the next case (confirmation cancelled)
            ASSERT_FALSE(asked.empty()) << c.text;
            EXPECT_EQ(asked[0].text, c.message) << c.text;
            EXPECT_EQ(dlg.focusWidget(), Line(dlg, c.focus)) << c.text;
        }
        Screenshot(dlg, "tessaly-range-patch");
        // 0 unpatches the range: accepted.
        const auto asked = TypeAndEnter(dlg, IDC_RANGE_EDMX, "0", fw::IDOK);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].text, "Are you sure you want to do this range patch?");
    });
    ASSERT_EQ(dlg.DoModal(), fw::IDOK);
    EXPECT_EQ(dlg.m_nEdmxStart, 0);
    EXPECT_EQ(dlg.m_nDmxStart, 20);
    EXPECT_EQ(dlg.m_nDmxEnd, 512);
    EXPECT_TRUE(dlg.m_bAppend);
}

TEST_F(PatchParameters, EscapeCancels) {
    CRangePatchDlg dlg(&Frame());
    QTimer::singleShot(0, [&] {
        ASSERT_NE(ShownDialog<CRangePatchDlg>(), nullptr);
        QTest::keyClick(Line(dlg, IDC_RANGE_EDMX), Qt::Key_Escape);
    });
    EXPECT_EQ(dlg.DoModal(), fw::IDCANCEL);
}

}  // namespace
}  // namespace tessaly::test
