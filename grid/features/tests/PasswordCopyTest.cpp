// Copying password cells: the text copy carries only mask characters, the style copy carries no
// value, so a password never reaches the clipboard in clear text.
#include "framework/persist/Clipboard.h"
#include "grid/controls/CGXPasswordControl.h"
#include "grid/core/CGXRange.h"
#include "grid/features/CGXGridClipboard.h"
#include "grid/features/tests/FeatureFixture.h"

namespace {

class PasswordCopy : public FeatureFixture {
protected:
    void SetUp() override {
        FeatureFixture::SetUp();
        CGXStyle s;
        s.SetControl(GX_IDS_CTRL_PASSWORD)
            .SetValue(std::string("s\xC3\xA9"
                                  "cret"));
        Core().SetStyleRange(CGXRange(1, 1), &s, gxOverride, 0, nullptr, 0);
        Set(1, 2, "plain");
        Param().m_SelRects.DeleteAll();
        Param().m_SelRects.AddTail(CGXRange(1, 1, 1, 2));
    }
};

TEST_F(PasswordCopy, TextCopyShowsMaskCharacters) {
    Core().m_nClipboardFlags = GX_DNDTEXT;
    ASSERT_TRUE(Core().Copy());
    EXPECT_EQ(fw::Clipboard().GetText().value_or(""), "******\tplain\r\n");
}

TEST_F(PasswordCopy, StyleCopyLeavesTheValueOut) {
    CGXGridStyleDataExchangeImp styles;
    for (unsigned flags : {0u, unsigned(GX_DNDCOMPOSE)}) {
        Core().m_nClipboardFlags = flags;
        const std::unique_ptr<CGXStyle> pw = styles.GetCopyStyleRowCol(&Core(), 1, 1);
        ASSERT_NE(pw, nullptr);
        EXPECT_FALSE(pw->GetIncludeValue()) << flags;
        EXPECT_EQ(pw->GetControl(), GX_IDS_CTRL_PASSWORD);
        const std::unique_ptr<CGXStyle> plain = styles.GetCopyStyleRowCol(&Core(), 1, 2);
        ASSERT_NE(plain, nullptr);
        EXPECT_EQ(plain->GetValue(), "plain");
    }
    EXPECT_EQ(Get(1, 1),
              "s\xC3\xA9"
              "cret");  // the cell keeps its clear text
}

}  // namespace
