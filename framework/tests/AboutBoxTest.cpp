// The About box lays out the program's picture and texts under the ids the program chose.
#include "framework/base/CommandIds.h"
#include "framework/dialogs/AboutBox.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPixmap>
#include <QTest>

namespace fw {
namespace {

TEST(AboutBox, ShowsThePictureAndTheTextsUnderTheProgramsIds) {
    QPixmap red(32, 32);
    red.fill(Qt::red);
    AboutBox box(nullptr, "About Sample", QIcon(red), {2001, 2002, 2003});
    box.SetTexts("Sample", "1.2.3.4.5.6", "Copyright (C) Sample");
    ASSERT_TRUE(box.CreateModeless());
    box.ShowWindow(SW_SHOW);
    QApplication::processEvents();

    EXPECT_EQ(box.GetWindowText(), "About Sample");
    EXPECT_EQ(box.GetDlgItemText(2001), "Sample");
    EXPECT_EQ(box.GetDlgItemText(2002), "1.2.3.4.5.6");
    EXPECT_EQ(box.GetDlgItemText(2003), "Copyright (C) Sample");
    EXPECT_EQ(box.GetDefID(), static_cast<UINT>(IDOK));

    // The picture stands left of the texts, at the height of the first lines.
    const QImage shot = box.grab().toImage();
    shot.save(QString(QT_TESTCASE_BUILDDIR) + "/framework_aboutbox.png");
    const Rect du = box.MapDialogRect({11, 17, 32, 38});
    EXPECT_EQ(shot.pixelColor((du.left + du.right) / 2, (du.top + du.bottom) / 2), QColor(Qt::red));
    EXPECT_LT(du.right, box.GetDlgItem(2001)->x());
    box.DestroyWindow();
}

}  // namespace
}  // namespace fw
