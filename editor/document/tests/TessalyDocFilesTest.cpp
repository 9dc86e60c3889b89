#include <gtest/gtest.h>

#include "editor/document/ConfigData.h"
#include "editor/document/tests/DocTestSupport.h"

using xmldom::Node;
using Kind = xmldom::TypedValue::Kind;

namespace {

using FilesTest = DocTest;

TEST_F(FilesTest, ANewDocumentStartsFromConfigCfgNamedAfterTheDataFolder) {
    auto doc = NewDocument();
    EXPECT_EQ(doc->GetPathName(), "Default");
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->GetNodeCount(), 0);
    int vPorts = 0;
    for (Node vPort; doc->GetNextVPort(vPort);) ++vPorts;
    EXPECT_EQ(vPorts, 64);

    dir_.Write("Tessaly.ini", "[Wov]\nDefaultDataDir=/home/lx/shows\n");
    CConfigData::CreateInstance(dir_ / "Tessaly.ini");
    ASSERT_TRUE(doc->OnNewDocument());
    EXPECT_EQ(doc->GetPathName(), "/home/lx/shows/Default");
}

TEST_F(FilesTest, ASavedConfigurationReadsBackWhole) {
    auto doc = NewDocument();
    for (const char* type : {"Kolt_1_Port_Node", "Kolt_4_Port_Node", "Kolt_Video_Node"}) {
        Node node;
        ASSERT_TRUE(doc->AddNode(type, &node));
        ASSERT_TRUE(
            doc->SetNodeText(doc->SkipTextNode(doc->GetProperty(node, ".Node_Properties.Name")),
                             std::string("Truss <") + type + "> & \"FOH\""));
    }
    ASSERT_TRUE(doc->OnSaveDocument(dir_ / "show.wov"));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->GetPathName(), (dir_ / "show.wov").string());

    CTessalyDoc again(IXO_DATA_DIR);
    ASSERT_TRUE(again.OnOpenDocument(dir_ / "show.wov"));
    EXPECT_EQ(again.GetConfigDocument().ToText(), doc->GetConfigDocument().ToText());
    EXPECT_EQ(again.GetNodeCount(), 3);
    EXPECT_FALSE(again.IsModified());
    Node last;
    for (Node node; again.GetNextNode(node);) last = node;
    EXPECT_EQ(TextAt(again, last, ".Node_Properties.Name"), "Truss <Kolt_Video_Node> & \"FOH\"");
    Node type = again.SkipTextNode(again.GetProperty(last, ".Node_Properties.Type"));
    EXPECT_EQ(type.GetTypedValue().value.kind, Kind::UI2);
    EXPECT_TRUE(sink_.Errors().empty());
}

TEST_F(FilesTest, AFileThatIsNoConfigurationLeavesTheDocumentAsItWas) {
    auto doc = NewDocument();
    ASSERT_TRUE(doc->AddNode("Kolt_2_Port_Node"));
    ASSERT_TRUE(doc->OnSaveDocument(dir_ / "show.wov"));
    ASSERT_TRUE(doc->AddNode("Kolt_2_Port_Node"));
    std::string before = doc->GetConfigDocument().ToText();

    const std::filesystem::path bad[] = {
        std::filesystem::path(IXO_DATA_DIR) / "template.cfg",  // XML, but a template
        dir_.Write("notes.wov", "Rig notes: truss 2 is short a cable\n"),
        dir_.Write("cut.wov", "<Network><Nodes><Kolt_2_Port_Node>"),
        dir_.Write("bare.wov", "<Network><vPorts/></Network>"),
        dir_ / "missing.wov",
    };
    for (const auto& path : bad) {
        EXPECT_FALSE(doc->OnOpenDocument(path)) << path;
        EXPECT_EQ(doc->GetConfigDocument().ToText(), before);
        EXPECT_EQ(doc->GetNodeCount(), 2);
        EXPECT_TRUE(doc->IsModified());
        EXPECT_EQ(doc->GetPathName(), (dir_ / "show.wov").string());
    }
    ASSERT_EQ(sink_.Errors().size(), std::size(bad));
    EXPECT_NE(sink_.Errors()[0].find("not a network configuration"), std::string::npos);
    EXPECT_NE(sink_.Errors()[2].find("line 1"), std::string::npos) << sink_.Errors()[2];
    EXPECT_NE(sink_.Errors()[3].find("no \"Nodes\""), std::string::npos);
    EXPECT_NE(sink_.Errors()[4].find("missing.wov"), std::string::npos);

    // A failed save leaves the document modified and the earlier file as it was.
    std::string saved = dir_.Read("show.wov");
    EXPECT_FALSE(doc->OnSaveDocument(dir_ / "gone" / "show.wov"));
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(dir_.Read("show.wov"), saved);
    EXPECT_NE(sink_.Errors().back().find("could not be saved"), std::string::npos);
}

// As written by the editor's Windows ancestor: CR LF, tabs, the datatypes prefix
// declared on the root, typed values on each property.
constexpr const char* kHandWritten =
    "<?xml version=\"1.0\"?>\r\n"
    "<Network xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">\r\n"
    "\t<Nodes>\r\n"
    "\t\t<Kolt_2_Port_Node>\r\n"
    "\t\t\t<Online_IP dt:dt=\"string\" ixotype=\"IPv4\" edit=\"N\">000.000.000.000</Online_IP>\r\n"
    "\t\t\t<Node_Properties class=\"Node\" instance=\"1\">\r\n"
    "\t\t\t\t<Name dt:dt=\"string\" rcc=\"nodeName\">Balcony rail</Name>\r\n"
    "\t\t\t\t<Type dt:dt=\"ui2\" rcc=\"nodeType\" edit=\"N\">8450</Type>\r\n"
    "\t\t\t\t<MAC_Address dt:dt=\"string\" ixotype=\"MAC\">00:0e:a1:00:12:34</MAC_Address>\r\n"
    "\t\t\t\t<IP_Address dt:dt=\"string\" ixotype=\"IPv4\">010.000.001.020</IP_Address>\r\n"
    "\t\t\t\t<Status_Interval dt:dt=\"ui4\" ixotype=\"time_ms\">2500</Status_Interval>\r\n"
    "\t\t\t</Node_Properties>\r\n"
    "\t\t\t<DMX_Port_Properties class=\"DMXPort\" instance=\"1\">\r\n"
    "\t\t\t\t<Port dt:dt=\"ui1\">1</Port>\r\n"
    "\t\t\t\t<Enabled dt:dt=\"boolean\" rcc=\"isPortEnabled\">1</Enabled>\r\n"
    "\t\t\t\t<DMX_Input_Port_Properties class=\"DMXInputPort\">\r\n"
    "\t\t\t\t\t<HLL_Time dt:dt=\"ui4\" ixotype=\"time_ms\">10000</HLL_Time>\r\n"
    "\t\t\t\t\t<Port_Priority dt:dt=\"ui1\">100</Port_Priority>\r\n"
    "\t\t\t\t</DMX_Input_Port_Properties>\r\n"
    "\t\t\t</DMX_Port_Properties>\r\n"
    "\t\t</Kolt_2_Port_Node>\r\n"
    "\t</Nodes>\r\n"
    "\t<vPorts/>\r\n"
    "</Network>\r\n";

TEST_F(FilesTest, AHandWrittenTypedConfigurationLoadsWithItsTypes) {
    auto doc = NewDocument();
    ASSERT_TRUE(doc->OnOpenDocument(dir_.Write("old.wov", kHandWritten)));
    Node node;
    ASSERT_TRUE(doc->GetNextNode(node));
    EXPECT_EQ(node.FirstChild().Name(), "Online_IP");  // the indentation is gone

    struct Expect {
        const char* path;
        Kind kind;
        PropertyType type;
    };
    const Expect expects[] = {
        {".Node_Properties.Name", Kind::Text, PROPERTY_STRING},
        {".Node_Properties.Type", Kind::UI2, PROPERTY_UI2},
        {".Node_Properties.MAC_Address", Kind::Text, PROPERTY_MAC},
        {".Node_Properties.Status_Interval", Kind::UI4, PROPERTY_TIME_MS},
        {".DMX_Port_Properties.Port", Kind::UI1, PROPERTY_UI1},
        {".DMX_Port_Properties.Enabled", Kind::Boolean, PROPERTY_BOOLEAN},
        {".DMX_Port_Properties.DMX_Input_Port_Properties.HLL_Time", Kind::UI4, PROPERTY_TIME_MS},
    };
    for (const Expect& e : expects) {
        Node text = doc->GetProperty(node, e.path);
        ASSERT_EQ(text.Name(), "#text") << e.path;
        EXPECT_EQ(doc->SkipTextNode(text).GetTypedValue().value.kind, e.kind) << e.path;
        PropertyType type = PROPERTY_NONE;
        doc->GetPropertyType(text, type);
        EXPECT_EQ(type, e.type) << e.path;
    }
    int32_t type = 0;
    EXPECT_TRUE(doc->GetNodeType(node, type));
    EXPECT_EQ(type, 8450);
    VavMacAddress mac;
    uint32_t ip = 0;
    ASSERT_TRUE(doc->GetNodeAddress(node, mac, ip));
    EXPECT_EQ(mac, VavMacAddress("00:0e:a1:00:12:34"));
    EXPECT_EQ(ip, 0x0A000114u);
}

}  // namespace
