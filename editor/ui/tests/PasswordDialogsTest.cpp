// The password gate of network-address mode and the change-password dialog, typed into with
// real keys: the built-in and the stored password open the gate, a wrong one is refused and
// the dialog stays open, a changed password reaches the settings file only when it can be
// written.
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <sstream>

#include "editor/document/ConfigData.h"
#include "editor/ui/ChangePasswordDlg.h"
#include "editor/ui/PasswordEntry.h"
#include "editor/ui/TessalyResources.h"
#include "editor/ui/tests/TessalyFixture.h"
#include "framework/dialogs/MessageBox.h"

namespace tessaly::test {
namespace {

QLineEdit* LineEdit(fw::Dialog& dlg, unsigned id) {
    return qobject_cast<QLineEdit*>(dlg.GetDlgItem(id)->focusProxy());
}

void Type(fw::Dialog& dlg, unsigned id, const char* text) {
    QTest::keyClicks(LineEdit(dlg, id), text);
}

void Press(fw::Dialog& dlg, unsigned id, Qt::Key key) {
    QTest::keyClick(LineEdit(dlg, id), key);
}

std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class PasswordDialogs : public TessalyFixture {
protected:
    // Enters network-address mode through the menu command, answering the gate with `run`.
    void EnterMode(const std::function<void(CPasswordEntry&)>& run) {
        QTimer::singleShot(0, [&] {
            CPasswordEntry* entry = ShownDialog<CPasswordEntry>();
            ASSERT_NE(entry, nullptr);
            run(*entry);
        });
        Frame().ExecuteCommand(ID_EDIT_NETWORK_ADDRESSES);
    }
};

TEST_F(PasswordDialogs, TheBuiltInPasswordOpensTheGateAndAWrongOneIsRefused) {
    Start();
    std::vector<fw::MessageBoxRequest> asked;
    EnterMode([&](CPasswordEntry& entry) {
        EXPECT_EQ(entry.focusWidget(), LineEdit(entry, IDC_PASSWORD));
        EXPECT_EQ(LineEdit(entry, IDC_PASSWORD)->echoMode(), QLineEdit::Password);
        fw::ScopedMessageBoxAnswers boxes({fw::IDOK});
        Type(entry, IDC_PASSWORD, "pelur");  // the case counts
        Press(entry, IDC_PASSWORD, Qt::Key_Return);
        asked = boxes.asked;
        EXPECT_TRUE(entry.isVisible());
        EXPECT_EQ(entry.GetDlgItemText(IDC_PASSWORD), "pelur");  // left as typed
        Press(entry, IDC_PASSWORD, Qt::Key_Escape);
    });
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, "Incorrect Password");
    EXPECT_EQ(asked[0].caption, "DMX Node Properties");
    EXPECT_FALSE(Doc().IsNetworkAddressMode());  // cancelled: the mode stays off

    EnterMode([&](CPasswordEntry& entry) {
        Type(entry, IDC_PASSWORD, "Pelur");
        Press(entry, IDC_PASSWORD, Qt::Key_Return);
    });
    EXPECT_TRUE(Doc().IsNetworkAddressMode());
    // Leaving the mode never asks.
    Frame().ExecuteCommand(ID_EDIT_NETWORK_ADDRESSES);
    EXPECT_FALSE(Doc().IsNetworkAddressMode());
}

TEST_F(PasswordDialogs, AChangedPasswordIsStoredAndOpensTheGate) {
    Start();
    const auto ini = dir_.Write("Tessaly.ini", "[Wov]\nPassword=stage\n");
    CConfigData::CreateInstance(ini);
    std::vector<fw::MessageBoxRequest> asked;
    CPasswordEntry entry;
    QTimer::singleShot(0, [&] {
        ASSERT_NE(ShownDialog<CPasswordEntry>(), nullptr);
        EXPECT_EQ(entry.StoredPassword(), "stage");
        QTimer::singleShot(0, [&] {
            CChangePasswordDlg* change = ShownDialog<CChangePasswordDlg>();
            ASSERT_NE(change, nullptr);
            for (unsigned id : {IDC_OLD_PASSWORD, IDC_NEW_PASSWORD, IDC_CONFIRM_PASSWORD})
                EXPECT_EQ(LineEdit(*change, id)->echoMode(), QLineEdit::Password);
            fw::ScopedMessageBoxAnswers boxes({fw::IDOK});
            // The built-in password is not the old password here.
            Type(*change, IDC_OLD_PASSWORD, "Pelur");
            Type(*change, IDC_NEW_PASSWORD, "house");
            Type(*change, IDC_CONFIRM_PASSWORD, "house");
            Press(*change, IDC_CONFIRM_PASSWORD, Qt::Key_Return);
            EXPECT_EQ(change->GetDlgItemText(IDC_OLD_PASSWORD), "");
            EXPECT_EQ(change->GetDlgItemText(IDC_NEW_PASSWORD), "house");
            EXPECT_EQ(change->focusWidget(), LineEdit(*change, IDC_OLD_PASSWORD));
            // A confirmation that differs empties both new fields.
            Type(*change, IDC_OLD_PASSWORD, "stage");
            change->SetDlgItemText(IDC_CONFIRM_PASSWORD, "");
            Type(*change, IDC_CONFIRM_PASSWORD, "mouse");
            Press(*change, IDC_CONFIRM_PASSWORD, Qt::Key_Return);
            EXPECT_EQ(change->GetDlgItemText(IDC_NEW_PASSWORD), "");
            EXPECT_EQ(change->GetDlgItemText(IDC_CONFIRM_PASSWORD), "");
            EXPECT_EQ(change->GetDlgItemText(IDC_OLD_PASSWORD), "stage");
            EXPECT_EQ(change->focusWidget(), LineEdit(*change, IDC_NEW_PASSWORD));
            Type(*change, IDC_NEW_PASSWORD, "house");
            Type(*change, IDC_CONFIRM_PASSWORD, "house");
            Press(*change, IDC_CONFIRM_PASSWORD, Qt::Key_Return);
            asked = boxes.asked;
        });
        QTest::mouseClick(entry.GetDlgItem(IDC_NEW_PASSWORD_BUTTON)->focusProxy(), Qt::LeftButton);
        EXPECT_EQ(entry.StoredPassword(), "house");
        EXPECT_EQ(entry.focusWidget(), LineEdit(entry, IDC_PASSWORD));
        fw::ScopedMessageBoxAnswers boxes({fw::IDOK});
        Type(entry, IDC_PASSWORD, "stage");  // the old one no longer opens it
        Press(entry, IDC_PASSWORD, Qt::Key_Return);
        EXPECT_EQ(boxes.asked.size(), 1u);
        entry.SetDlgItemText(IDC_PASSWORD, "");
        Type(entry, IDC_PASSWORD, "house");
        Press(entry, IDC_PASSWORD, Qt::Key_Return);
    });
    EXPECT_EQ(entry.DoModal(), fw::IDOK);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].text, "The password is incorrect, please re-enter the password");
    EXPECT_EQ(asked[1].text,
              "The new password and the confirmation password do not match,\n please re-enter "
              "the new password");
    EXPECT_EQ(CConfigData::GetInstance()->GetPassword(), "house");
    EXPECT_EQ(FileText(ini).find("stage"), std::string::npos);
}

TEST_F(PasswordDialogs, AnEmptyNewPasswordIsAcceptedAndAFailedWriteKeepsTheOldOne) {
    Start();
    CChangePasswordDlg change;
    change.currentPassword = "stage";
    QTimer::singleShot(0, [&] {
        ASSERT_NE(ShownDialog<CChangePasswordDlg>(), nullptr);
        Type(change, IDC_OLD_PASSWORD, "stage");
        Press(change, IDC_CONFIRM_PASSWORD, Qt::Key_Return);
    });
    ASSERT_EQ(change.DoModal(), fw::IDOK);
    EXPECT_EQ(change.currentPassword, "");

    // A settings file that cannot be written: the failure is told, the gate keeps "Pelur".
    CConfigData::CreateInstance(dir_.Path());  // a folder, not a file
    std::vector<fw::MessageBoxRequest> asked;
    CPasswordEntry entry;
    QTimer::singleShot(0, [&] {
        ASSERT_NE(ShownDialog<CPasswordEntry>(), nullptr);
        QTimer::singleShot(0, [&] {
            CChangePasswordDlg* inner = ShownDialog<CChangePasswordDlg>();
            ASSERT_NE(inner, nullptr);
            Type(*inner, IDC_OLD_PASSWORD, "Pelur");
            Type(*inner, IDC_NEW_PASSWORD, "house");
            Type(*inner, IDC_CONFIRM_PASSWORD, "house");
            Press(*inner, IDC_CONFIRM_PASSWORD, Qt::Key_Return);
        });
        fw::ScopedMessageBoxAnswers boxes({fw::IDOK});
        QTest::mouseClick(entry.GetDlgItem(IDC_NEW_PASSWORD_BUTTON)->focusProxy(), Qt::LeftButton);
        asked = boxes.asked;
        EXPECT_TRUE(entry.isVisible());
        EXPECT_EQ(entry.StoredPassword(), "Pelur");
        Press(entry, IDC_PASSWORD, Qt::Key_Escape);
    });
    EXPECT_EQ(entry.DoModal(), fw::IDCANCEL);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].text.find("could not be stored"), std::string::npos);
    EXPECT_EQ(asked[0].text.find("house"), std::string::npos);  // never shows the password
}

TEST_F(PasswordDialogs, Screenshots) {
    Start();
    CPasswordEntry entry(&Frame());
    entry.CreateModeless(&Frame());
    entry.ShowWindow(fw::SW_SHOW);
    Type(entry, IDC_PASSWORD, "secret");
    QApplication::processEvents();
    EXPECT_FALSE(Screenshot(entry, "tessaly-password").isNull());
    entry.DestroyWindow();
    CChangePasswordDlg change(&Frame());
    change.CreateModeless(&Frame());
    change.ShowWindow(fw::SW_SHOW);
    Type(change, IDC_OLD_PASSWORD, "old");
    QApplication::processEvents();
    EXPECT_FALSE(Screenshot(change, "tessaly-change-password").isNull());
    change.DestroyWindow();
}

}  // namespace
}  // namespace tessaly::test
