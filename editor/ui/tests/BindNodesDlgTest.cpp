// The bind dialog opened from the Bind command, driven with the mouse: binding an unbound
// configured node to an unbound node on line, refusing nodes of different types, moving to
// "all" and unbinding (every configured node with that MAC), and the grid rebuilt after.
#include <QListWidget>
#include <QTimer>
#include <fstream>
#include <iterator>

#include "editor/ui/BindNodesDlg.h"
#include "editor/ui/TessalyResources.h"
#include "editor/ui/tests/TessalyFixture.h"
#include "framework/controls/Button.h"
#include "framework/controls/ListBox.h"
#include "framework/dialogs/MessageBox.h"

namespace tessaly::test {
namespace {

std::string BindFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class BindNodes : public TessalyFixture {
protected:
    QListWidget* List(CBindNodesDlg& dlg, unsigned id) {
        return qobject_cast<QListWidget*>(dlg.GetDlgItem(id)->focusProxy());
    }
    std::vector<std::string> Lines(CBindNodesDlg& dlg, unsigned id) {
        std::vector<std::string> lines;
        QListWidget* list = List(dlg, id);
        for (int i = 0; i < list->count(); ++i)
            lines.push_back(list->item(i)->text().toStdString());
        return lines;
    }
    // Clicks the line that starts with `name`.
    void ClickLine(CBindNodesDlg& dlg, unsigned id, const std::string& name) {
        QListWidget* list = List(dlg, id);
        for (int i = 0; i < list->count(); ++i) {
            if (list->item(i)->text().toStdString().starts_with(name + "\t")) {
                const QRect r = list->visualItemRect(list->item(i));
                QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
                return;
            }
        }
        ADD_FAILURE() << name << " is not listed";
    }
    void Click(CBindNodesDlg& dlg, unsigned id) {
        QTest::mouseClick(dlg.GetDlgItem(id)->focusProxy(), Qt::LeftButton);
    }
    bool Enabled(CBindNodesDlg& dlg, unsigned id) { return dlg.GetDlgItem(id)->isEnabled(); }
    xmldom::Node Unbound(const char* type, const char* name) {
        xmldom::Node node;
        EXPECT_TRUE(Doc().AddNode(type, &node));
        Doc().SetNodeText(Doc().SkipTextNode(Doc().GetProperty(node, ".Node_Properties.Name")),
                          name);
        return node;
    }
};

TEST_F(BindNodes, BindRefuseAndUnbindFromTheBindCommand) {
    Start();
    SimNode& two = AddSimNode(2);
    AddSimNode(3);
    xmldom::Node bound = AddDocNode(two);  // "Node 2", bound to the node on line
    xmldom::Node copy = AddDocNode(two);   // the same MAC a second time
    xmldom::Node spare = Unbound("Kolt_2_Port_Node", "Spare");
    Unbound("Kolt_4_Port_Node", "Other type");
    View().RebuildGrid();
    ASSERT_NE(RowOfNode(2), 0u);
    ASSERT_EQ(RowOfNode(3), 0u);
    std::vector<fw::MessageBoxRequest> refused;

    QTimer::singleShot(0, [&] {
        CBindNodesDlg* dlg = ShownDialog<CBindNodesDlg>();
        ASSERT_NE(dlg, nullptr);
        // Unbound only on both sides: the two new nodes, and node 3 (node 2 is bound).
        EXPECT_EQ(Lines(*dlg, IDC_BIND_CONFIG_LIST).size(), 2u);
        const auto network = Lines(*dlg, IDC_BIND_NETWORK_LIST);
        ASSERT_EQ(network.size(), 1u);
        EXPECT_TRUE(network[0].starts_with("Node 3\t")) << network[0];
        EXPECT_TRUE(network[0].ends_with("\t02:18:00:00:00:03\t010.000.000.003")) << network[0];
        EXPECT_FALSE(Enabled(*dlg, IDC_BIND));
        EXPECT_FALSE(Enabled(*dlg, IDC_UNBIND));
        // Another type is refused and changes nothing.
        ClickLine(*dlg, IDC_BIND_CONFIG_LIST, "Other type");
        ClickLine(*dlg, IDC_BIND_NETWORK_LIST, "Node 3");
        ASSERT_TRUE(Enabled(*dlg, IDC_BIND));
        {
            fw::ScopedMessageBoxAnswers boxes({fw::IDOK});
            Click(*dlg, IDC_BIND);
            refused = boxes.asked;
        }
        EXPECT_EQ(Lines(*dlg, IDC_BIND_CONFIG_LIST).size(), 2u);
        // The same type binds: the pair leaves both unbound lists.
        ClickLine(*dlg, IDC_BIND_CONFIG_LIST, "Spare");
        EXPECT_TRUE(Enabled(*dlg, IDC_BIND));
        Click(*dlg, IDC_BIND);
        EXPECT_EQ(Lines(*dlg, IDC_BIND_CONFIG_LIST).size(), 1u);
        EXPECT_TRUE(Lines(*dlg, IDC_BIND_NETWORK_LIST).empty());
        // All nodes in the configuration; a bound one selects its partner and offers Unbind.
        Click(*dlg, IDC_BIND_ALL_CONFIG);
        Click(*dlg, IDC_BIND_ALL_NETWORK);
        EXPECT_EQ(Lines(*dlg, IDC_BIND_CONFIG_LIST).size(), 4u);
        ClickLine(*dlg, IDC_BIND_CONFIG_LIST, "Node 2");
        EXPECT_EQ(
            List(*dlg, IDC_BIND_NETWORK_LIST)->currentItem()->text().toStdString().substr(0, 6),
            "Node 2");
        EXPECT_FALSE(Enabled(*dlg, IDC_BIND));
        EXPECT_TRUE(Enabled(*dlg, IDC_UNBIND));
        Screenshot(*dlg, "tessaly-bind-nodes");
        Click(*dlg, IDC_UNBIND);
        Click(*dlg, fw::IDOK);
    });
    Frame().ExecuteCommand(ID_NET_BIND);

    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].text,
              "The two nodes are different types. Please select two nodes that are the same type.");
    VavMacAddress mac;
    ASSERT_TRUE(Doc().GetNodeMac(spare, mac));
    EXPECT_STREQ(mac.ToText(), "02:18:00:00:00:03");
    EXPECT_EQ(DocText(spare, ".Node_Properties.IP_Address"), "010.000.000.003");
    for (xmldom::Node node : {bound, copy}) {  // both copies of the MAC are unbound
        ASSERT_TRUE(Doc().GetNodeMac(node, mac));
        EXPECT_STREQ(mac.ToText(), "00:00:00:00:00:00");
        EXPECT_EQ(DocText(node, ".Node_Properties.IP_Address"), "000.000.000.000");
    }
    // The grid was rebuilt: node 3 has a row now, node 2 none.
    EXPECT_NE(RowOfNode(3), 0u);
    EXPECT_EQ(RowOfNode(2), 0u);
}

TEST_F(BindNodes, CloseWithoutChangesLeavesTheDocumentAlone) {
    Start();
    SimNode& two = AddSimNode(2);
    AddDocNode(two);
    View().RebuildGrid();  // the on-line address is current before the first save
    Doc().SetModifiedFlag(false);
    ASSERT_TRUE(Doc().OnSaveDocument(dir_ / "before.cfg"));
    QTimer::singleShot(0, [&] {
        CBindNodesDlg* dlg = ShownDialog<CBindNodesDlg>();
        ASSERT_NE(dlg, nullptr);
        QTest::keyClick(dlg->GetDlgItem(IDC_BIND_CONFIG_LIST)->focusProxy(), Qt::Key_Escape);
    });
    Frame().ExecuteCommand(ID_NET_BIND);
    EXPECT_FALSE(Doc().IsModified());
    ASSERT_TRUE(Doc().OnSaveDocument(dir_ / "after.cfg"));
    EXPECT_EQ(BindFileBytes(dir_ / "after.cfg"), BindFileBytes(dir_ / "before.cfg"));
}

}  // namespace
}  // namespace tessaly::test
