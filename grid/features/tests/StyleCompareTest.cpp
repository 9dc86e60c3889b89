#include "framework/drawing/DeviceContext.h"
#include "grid/core/CGXStyle.h"
#include "grid/core/GXLibraryState.h"
#include "grid/features/CGXStyleCompareSubsetImp.h"

#include <gtest/gtest.h>

namespace {

TEST(StyleCompare, SubsetsAttributeByAttribute) {
    GXTerminateLibrary();
    CGXStyle full;
    full.SetDefault();
    full.SetBorders(gxBorderTop, CGXPen(0, 1, 0)).SetUserAttribute(1, "a").SetUserAttribute(2, "b");
    CGXStyle sub;
    sub.SetWrapText(true).SetFont(CGXFont().SetWeight(400));
    EXPECT_FALSE(full.IsSubSet(sub));  // no component: FALSE
    InstallStyleCompareSubsetImp();
    EXPECT_TRUE(full.IsSubSet(sub));
    EXPECT_TRUE(full.IsSubSet(CGXStyle()));
    sub.SetBorders(gxBorderTop, CGXPen(0, 1, 0));
    EXPECT_TRUE(full.IsSubSet(sub));
    sub.SetBorders(gxBorderLeft, CGXPen(0, 1, 0));
    EXPECT_FALSE(full.IsSubSet(sub));  // a side the style lacks
    CGXStyle attrs;
    attrs.SetUserAttribute(1, "a");
    EXPECT_TRUE(full.IsSubSet(attrs));
    attrs.SetUserAttribute(1, "x");
    EXPECT_FALSE(full.IsSubSet(attrs));
    CGXStyle other;
    other.SetHorizontalAlignment(fw::DT_RIGHT);
    EXPECT_FALSE(full.IsSubSet(other));
    CGXStyle sysText;
    sysText.SetTextColor(fw::GetSysColor(fw::COLOR_WINDOWTEXT));  // the same colour, resolved
    EXPECT_TRUE(full.IsSubSet(sysText));
    GXTerminateLibrary();
}

}  // namespace
