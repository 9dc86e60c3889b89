// The AIP patch dialog opened from its command and driven with real keys and clicks: loading
// stored patches (valid, out of range, wrong count, empty), patching and moving addresses,
// the bulk operations through their own dialogs, and what reaches the document: only the
// ports that were edited, only on Exit or when the port is left, never on Escape.
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <QTreeWidget>
#include <fstream>
#include <iterator>

#include "editor/ui/AIPConfig.h"
#include "editor/ui/CopyFromPort.h"
#include "editor/ui/OneToOnePatchDlg.h"
#include "editor/ui/RangePatchDlg.h"
#include "editor/ui/TessalyResources.h"
#include "editor/ui/tests/TessalyFixture.h"
#include "framework/dialogs/MessageBox.h"

namespace tessaly::test {
namespace {

std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A stored patch with these channel/address pairs (one address per channel, first slot).
std::string Stored(std::initializer_list<std::pair<int, int>> patched) {
    std::vector<int> numbers(8192, 0);
    for (auto [dmx, edmx] : patched) numbers[static_cast<size_t>((dmx - 1) * 16)] = edmx;
    std::string text;
    for (int v : numbers) text += (text.empty() ? "" : ",") + std::to_string(v);
    return text;
}

class AipDialog : public TessalyFixture {
protected:
    void SetUp() override {
        Start();
        two_ = AddDocNode(AddSimNode(2));
        three_ = AddDocNode(AddSimNode(3));
        AddDocNode(AddSimNode(4));  // no AIP input port: not listed
        MakeAipInput(Port(two_, 0), Stored({{1, 5}, {2, 600}}));
        MakeAipInput(Port(three_, 0), "");
        MakeAipInput(Port(three_, 1), "1,2,3");
        Doc().SetModifiedFlag(false);
    }
    xmldom::Node Port(xmldom::Node node, int index) {
        xmldom::Node child;
        for (bool more = Doc().GetFirstChild(node, child); more;
             more = Doc().GetNextSibling(child, child)) {
            std::string name;
            Doc().GetElementName(child, name);
            if (name == "DMX_Port_Properties" && index-- == 0)
                return child;
        }
        ADD_FAILURE() << "no port";
        return {};
    }
    void MakeAipInput(xmldom::Node port, const std::string& stored) {
        auto set = [&](const char* path, const std::string& text) {
            EXPECT_TRUE(Doc().SetNodeText(Doc().SkipTextNode(Doc().GetProperty(port, path)), text))
                << path;
        };
        set(".Input_Output", "0");
        set(".DMX_Input_Port_Properties.AIP", "1");
        if (!stored.empty())
            set(".DMX_Input_Port_Properties.AIP_Patch", stored);
    }
    std::string StoredPatch(xmldom::Node port) {
        std::string text;
        Doc().GetAipPatch(port, text);
        return text;
    }

    // Runs the AIP command; `drive` works the dialog while it is up.
    void RunAip(const std::function<void(CAIPConfig&)>& drive) {
        bool driven = false;
        QTimer::singleShot(0, [&] {
            CAIPConfig* dlg = ShownDialog<CAIPConfig>();
            ASSERT_NE(dlg, nullptr);
            drive(*dlg);
            driven = true;
            if (dlg->Result() == 0)  // not ended by the drive: Escape
                QTest::keyClick(dlg->GetDlgItem(IDC_AIP_NODE)->focusProxy(), Qt::Key_Escape);
        });
        Frame().ExecuteCommand(ID_EDIT_AIP);
        EXPECT_TRUE(driven);
    }
    // Picks a combo line with the keyboard, as a user does.
    void Pick(CAIPConfig& dlg, unsigned id, int line) {
        auto* combo = qobject_cast<QComboBox*>(dlg.GetDlgItem(id)->focusProxy());
        combo->setFocus();
        if (combo->currentIndex() < 0)
            QTest::keyClick(combo, Qt::Key_Home);
        while (combo->currentIndex() < line) QTest::keyClick(combo, Qt::Key_Down);
        while (combo->currentIndex() > line) QTest::keyClick(combo, Qt::Key_Up);
    }
    QLineEdit* Line(fw::Dialog& dlg, unsigned id) {
        return qobject_cast<QLineEdit*>(dlg.GetDlgItem(id)->focusProxy());
    }
    void Type(fw::Dialog& dlg, unsigned id, const char* text) {
        QLineEdit* line = Line(dlg, id);
        line->setFocus();
        line->selectAll();
        QTest::keyClick(line, Qt::Key_Delete);
        QTest::keyClicks(line, text);
    }
    // DMX and EDMX typed, then Enter in the EDMX edit; the boxes shown.
    std::vector<fw::MessageBoxRequest> PatchKeys(CAIPConfig& dlg, const char* dmx,
                                                 const char* edmx) {
        Type(dlg, IDC_AIP_DMX, dmx);
        Type(dlg, IDC_AIP_EDMX, edmx);
        fw::ScopedMessageBoxAnswers boxes({fw::IDOK});
        QTest::keyClick(Line(dlg, IDC_AIP_EDMX), Qt::Key_Return);
        return boxes.asked;
    }
    void Click(fw::Dialog& dlg, unsigned id) {
        QTest::mouseClick(dlg.GetDlgItem(id)->focusProxy(), Qt::LeftButton);
    }
    std::string Row(CAIPConfig& dlg, int dmx) {
        auto* tree = qobject_cast<QTreeWidget*>(dlg.GetDlgItem(IDC_AIP_LIST)->focusProxy());
        return tree->topLevelItem(dmx - 1)->text(1).toStdString();
    }

    xmldom::Node two_;
    xmldom::Node three_;
};

TEST_F(AipDialog, PatchMoveAndExitWriteOnlyTheEditedPort) {
    RunAip([&](CAIPConfig& dlg) {
        auto* nodes = qobject_cast<QComboBox*>(dlg.GetDlgItem(IDC_AIP_NODE)->focusProxy());
        ASSERT_EQ(nodes->count(), 2);
        EXPECT_EQ(nodes->itemText(0).toStdString(), "Node 2 010.000.000.002");
        EXPECT_FALSE(dlg.GetDlgItem(IDC_AIP_PATCH)->isEnabled());
        EXPECT_EQ(dlg.FreeText(), "");

        Pick(dlg, IDC_AIP_NODE, 0);
        Pick(dlg, IDC_AIP_PORT, 0);
        ASSERT_TRUE(dlg.IsLoaded());
        EXPECT_EQ(dlg.StatusText(), "Port 1 of Node 2 010.000.000.002 loaded successfully.");
        EXPECT_EQ(dlg.FreeText(), "Channels Free: 510");
        EXPECT_EQ(Row(dlg, 1), "5");
        EXPECT_EQ(Row(dlg, 2), "600");

        EXPECT_TRUE(PatchKeys(dlg, "1", "100").empty());
        EXPECT_EQ(Row(dlg, 1), "5, 100");
        EXPECT_EQ(Line(dlg, IDC_AIP_EDMX)->selectedText(), "100");
        PatchKeys(dlg, "2", "100");
        EXPECT_EQ(dlg.StatusText(), "EDMX address 100 moved from DMX 1 to DMX 2.");
        EXPECT_EQ(Row(dlg, 1), "5");
        PatchKeys(dlg, "2", "2/1");
        PatchKeys(dlg, "2", "7");
        EXPECT_EQ(Row(dlg, 2), "7, 100, 513, 600");

        struct Bad {
            const char* dmx;
            const char* edmx;
            const char* message;
            unsigned focus;
        };
        for (const Bad& bad : {Bad{"2", "65/1", "EDMX value is invalid.", IDC_AIP_EDMX},
                               Bad{"2", "1/513", "EDMX value is invalid.", IDC_AIP_EDMX},
                               Bad{"2", "32768", "EDMX value is invalid.", IDC_AIP_EDMX},
                               Bad{"513", "9", "Invalid DMX value.", IDC_AIP_DMX}}) {
            const auto asked = PatchKeys(dlg, bad.dmx, bad.edmx);
            ASSERT_EQ(asked.size(), 1u) << bad.edmx;
            EXPECT_EQ(asked[0].text, bad.message);
            EXPECT_EQ(dlg.focusWidget(), Line(dlg, bad.focus));
        }
        // "0" as DMX unpatches the address; as EDMX the whole channel.
        PatchKeys(dlg, "0", "600");
        EXPECT_EQ(dlg.StatusText(), "EDMX address 600 unpatched.");
        EXPECT_EQ(Row(dlg, 2), "7, 100, 513");
        Type(dlg, IDC_AIP_DMX, "1");  // scrolls back to the top
        Screenshot(dlg, "tessaly-aip-config");

        // Leaving for the other node writes this port; looking at the others writes nothing.
        Pick(dlg, IDC_AIP_NODE, 1);
        EXPECT_FALSE(dlg.IsLoaded());
        EXPECT_TRUE(Doc().IsModified());
        Pick(dlg, IDC_AIP_PORT, 0);
        EXPECT_EQ(dlg.FreeText(), "Channels Free: 512");
        fw::ScopedMessageBoxAnswers boxes({fw::IDOK});
        Pick(dlg, IDC_AIP_PORT, 1);  // "1,2,3": reported, shown empty
        ASSERT_EQ(boxes.asked.size(), 1u);
        EXPECT_TRUE(dlg.IsLoaded());
        EXPECT_EQ(dlg.StatusText(), "Port 2 of Node 3 010.000.000.003 loaded successfully.");
        Click(dlg, fw::IDOK);
        EXPECT_EQ(dlg.Result(), fw::IDOK);
    });
    std::string expected = Stored({{1, 5}});
    const std::string channel2 = "7,100,513";  // slots 17 to 19
    const size_t at = 2 * 15 + 2;              // after "5," and 15 times "0,"
    expected.replace(at, 5, channel2);
    EXPECT_EQ(StoredPatch(Port(two_, 0)), expected);
    EXPECT_EQ(StoredPatch(Port(three_, 0)), "");
    EXPECT_EQ(StoredPatch(Port(three_, 1)), "1,2,3");
}

TEST_F(AipDialog, EscapeAndUneditedExitLeaveTheFileAlone) {
    ASSERT_TRUE(Doc().OnSaveDocument(dir_ / "before.cfg"));
    RunAip([&](CAIPConfig& dlg) {
        Pick(dlg, IDC_AIP_NODE, 0);
        Pick(dlg, IDC_AIP_PORT, 0);
        PatchKeys(dlg, "9", "99");
        // Escape: the edit is dropped.
    });
    RunAip([&](CAIPConfig& dlg) {
        Pick(dlg, IDC_AIP_NODE, 1);
        fw::ScopedMessageBoxAnswers boxes({fw::IDOK});  // the bad stored patch
        Pick(dlg, IDC_AIP_PORT, 1);
        Pick(dlg, IDC_AIP_NODE, 0);
        Pick(dlg, IDC_AIP_PORT, 0);
        EXPECT_EQ(Row(dlg, 9), "");
        Click(dlg, fw::IDOK);
    });
    EXPECT_FALSE(Doc().IsModified());
    ASSERT_TRUE(Doc().OnSaveDocument(dir_ / "after.cfg"));
    EXPECT_EQ(FileBytes(dir_ / "after.cfg"), FileBytes(dir_ / "before.cfg"));
}

TEST_F(AipDialog, BulkOperationsThroughTheirDialogs) {
    RunAip([&](CAIPConfig& dlg) {
        Pick(dlg, IDC_AIP_NODE, 1);
        Pick(dlg, IDC_AIP_PORT, 0);  // Node 3 port 1, empty
        // One to one from 2/1, then a range of DMX 10 to 20 onto EDMX 0 unpatches those.
        QTimer::singleShot(0, [&] {
            auto* one = ShownDialog<COneToOnePatchDlg>();
            ASSERT_NE(one, nullptr);
            Type(*one, IDC_ONE_TO_ONE_EDMX, "2/1");
            fw::ScopedMessageBoxAnswers boxes({fw::IDOK});
            QTest::keyClick(Line(*one, IDC_ONE_TO_ONE_EDMX), Qt::Key_Return);
        });
        Click(dlg, IDC_AIP_ONE_TO_ONE);
        EXPECT_EQ(dlg.StatusText(), "One to One Patch successful.");
        EXPECT_EQ(Row(dlg, 1), "513");
        EXPECT_EQ(Row(dlg, 512), "1024");
        QTimer::singleShot(0, [&] {
            auto* range = ShownDialog<CRangePatchDlg>();
            ASSERT_NE(range, nullptr);
            Type(*range, IDC_RANGE_DMX_START, "10");
            Type(*range, IDC_RANGE_DMX_END, "20");
            Type(*range, IDC_RANGE_EDMX, "0");
            fw::ScopedMessageBoxAnswers boxes({fw::IDOK});
            QTest::keyClick(Line(*range, IDC_RANGE_EDMX), Qt::Key_Return);
        });
        Click(dlg, IDC_AIP_RANGE);
        EXPECT_EQ(dlg.FreeText(), "Channels Free: 11");
        EXPECT_EQ(Row(dlg, 9), "521");
        EXPECT_EQ(Row(dlg, 10), "");
        EXPECT_EQ(Row(dlg, 21), "533");

        // Copy from an empty port with Append keeps the patch; OK waits for a port.
        QTimer::singleShot(0, [&] {
            auto* copy = ShownDialog<CCopyFromPort>();
            ASSERT_NE(copy, nullptr);
            EXPECT_FALSE(copy->GetDlgItem(fw::IDOK)->isEnabled());
            auto* nodes = qobject_cast<QComboBox*>(copy->GetDlgItem(IDC_COPY_NODE)->focusProxy());
            EXPECT_EQ(nodes->itemText(1).toStdString(), "Node 3 010.000.000.003");
            nodes->setFocus();
            QTest::keyClick(nodes, Qt::Key_End);
            EXPECT_FALSE(copy->GetDlgItem(fw::IDOK)->isEnabled());
            auto* ports = qobject_cast<QComboBox*>(copy->GetDlgItem(IDC_COPY_PORT)->focusProxy());
            ports->setFocus();
            QTest::keyClick(ports, Qt::Key_Home);
            EXPECT_TRUE(copy->GetDlgItem(fw::IDOK)->isEnabled());
            Click(*copy, IDC_COPY_APPEND);
            Screenshot(*copy, "tessaly-copy-from-port");
            Click(*copy, fw::IDOK);
        });
        Click(dlg, IDC_AIP_COPY_FROM_PORT);
        EXPECT_EQ(dlg.StatusText(), "Copy from Port successful.");
        EXPECT_EQ(dlg.FreeText(), "Channels Free: 11");
        // Copy from Node 2 port 1 without Append replaces it.
        QTimer::singleShot(0, [&] {
            auto* copy = ShownDialog<CCopyFromPort>();
            ASSERT_NE(copy, nullptr);
            auto* nodes = qobject_cast<QComboBox*>(copy->GetDlgItem(IDC_COPY_NODE)->focusProxy());
            nodes->setFocus();
            QTest::keyClick(nodes, Qt::Key_Home);
            auto* ports = qobject_cast<QComboBox*>(copy->GetDlgItem(IDC_COPY_PORT)->focusProxy());
            ports->setFocus();
            QTest::keyClick(ports, Qt::Key_Home);
            Click(*copy, fw::IDOK);
        });
        Click(dlg, IDC_AIP_COPY_FROM_PORT);
        EXPECT_EQ(Row(dlg, 1), "5");
        EXPECT_EQ(Row(dlg, 9), "");
        // Clear asks first.
        {
            fw::ScopedMessageBoxAnswers boxes({fw::IDOK});
            Click(dlg, IDC_AIP_CLEAR);
            ASSERT_EQ(boxes.asked.size(), 1u);
            EXPECT_EQ(boxes.asked[0].text, "Are you sure you want to clear the patch?");
        }
        EXPECT_EQ(dlg.StatusText(), "Clear Patch successful.");
        EXPECT_EQ(dlg.FreeText(), "Channels Free: 512");
        Click(dlg, fw::IDOK);
    });
    EXPECT_EQ(StoredPatch(Port(three_, 0)), "");
    EXPECT_EQ(StoredPatch(Port(two_, 0)), Stored({{1, 5}, {2, 600}}));
}

TEST_F(AipDialog, DmxTextSelectsItsRowOrNone) {
    RunAip([&](CAIPConfig& dlg) {
        Pick(dlg, IDC_AIP_NODE, 0);
        Pick(dlg, IDC_AIP_PORT, 0);
        auto* tree = qobject_cast<QTreeWidget*>(dlg.GetDlgItem(IDC_AIP_LIST)->focusProxy());
        Type(dlg, IDC_AIP_DMX, "10");
        ASSERT_EQ(tree->selectedItems().size(), 1);
        EXPECT_EQ(tree->selectedItems()[0]->text(0), "10");
        Type(dlg, IDC_AIP_DMX, "0");
        EXPECT_TRUE(tree->selectedItems().empty());
        // A click on a row puts its channel into the DMX edit.
        const QRect r = tree->visualItemRect(tree->topLevelItem(2));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
        EXPECT_EQ(dlg.GetDlgItemText(IDC_AIP_DMX), "3");
    });
}

TEST_F(AipDialog, APatchMadeHereTravelsToTheNodeAndBack) {
    RunAip([&](CAIPConfig& dlg) {
        Pick(dlg, IDC_AIP_NODE, 0);
        Pick(dlg, IDC_AIP_PORT, 0);
        PatchKeys(dlg, "3", "2/1");
        PatchKeys(dlg, "512", "32767");
        Click(dlg, fw::IDOK);
    });
    const std::string patched = StoredPatch(Port(two_, 0));
    ASSERT_NE(patched, Stored({{1, 5}, {2, 600}}));
    ASSERT_TRUE(Doc().SendConfig(two_));

    // A new document that knows only the node's address reads the patch back.
    ASSERT_TRUE(Doc().OnNewDocument());
    xmldom::Node copy = AddDocNode(nodes_.front());
    ASSERT_TRUE(Doc().GetConfig(copy));
    EXPECT_EQ(StoredPatch(Port(copy, 0)), patched);
}

}  // namespace
}  // namespace tessaly::test
