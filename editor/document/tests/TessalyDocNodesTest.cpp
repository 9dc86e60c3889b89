#include <gtest/gtest.h>

#include "editor/document/EditorStrings.h"
#include "editor/document/tests/DocTestSupport.h"

using xmldom::Node;

namespace {

using NodesTest = DocTest;

std::vector<Node> Ports(Node node) {
    std::vector<Node> ports;
    for (Node child = node.FirstChildElement(); child; child = child.NextSiblingElement()) {
        if (child.Name() == "DMX_Port_Properties")
            ports.push_back(child);
    }
    return ports;
}

TEST_F(NodesTest, ANodeOfEveryTypeComesFromTheTemplateWithItsValuesAndDefaults) {
    auto doc = NewDocument();
    struct Expect {
        uint32_t type;
        const char* element;
        const char* name;
        size_t ports;
    };
    const Expect types[] = {{8581, "Kolt_1_Port_Node", "1 Port Node", 1},
                            {8450, "Kolt_2_Port_Node", "2 Port Node", 2},
                            {8452, "Kolt_4_Port_Node", "4 Port Node", 4},
                            {8456, "Kolt_8_Port_Node", "8 Port Node", 8},
                            {8704, "Kolt_Video_Node", "Video Node", 2}};
    for (const Expect& e : types) {
        SCOPED_TRACE(e.element);
        Node node;
        ASSERT_TRUE(doc->AddNodeOfType(e.type, &node));
        EXPECT_EQ(node.Name(), e.element);
        int32_t type = 0;
        EXPECT_TRUE(doc->GetNodeType(node, type));
        EXPECT_EQ(type, static_cast<int32_t>(e.type));
        // The placeholder's value wins over the property's default.
        EXPECT_EQ(TextAt(*doc, node, ".Node_Properties.Name"), e.name);
        EXPECT_EQ(TextAt(*doc, node, ".Node_Properties.Status_Interval"), "1500");
        EXPECT_EQ(TextAt(*doc, node, ".Node_Properties.MAC_Address"), "00:00:00:00:00:00");
        EXPECT_EQ(TextAt(*doc, node, ".Online_IP"), "000.000.000.000");
        EXPECT_EQ(TextAt(*doc, node, ".Node_Properties.Location"), "");  // no default
        EXPECT_EQ(node.ChildElement("Node_Properties").Attribute("class"), "Node");

        std::vector<Node> ports = Ports(node);
        ASSERT_EQ(ports.size(), e.ports);
        for (size_t i = 0; i < ports.size(); ++i) {
            std::string number = std::to_string(i + 1);
            EXPECT_EQ(ports[i].Attribute("instance"), number);
            EXPECT_EQ(TextAt(*doc, ports[i], ".Port"), number);
            // Both EDMX_Start elements of the port follow factory vPort n.
            std::string start = std::to_string(i * 512 + 1);
            EXPECT_EQ(TextAt(*doc, ports[i], ".DMX_Input_Port_Properties.EDMX_Start"), start);
            EXPECT_EQ(TextAt(*doc, ports[i], ".DMX_Output_Port_Properties.EDMX_Start"), start);
            EXPECT_EQ(TextAt(*doc, ports[i], ".DMX_Input_Port_Properties.vPort"), number);
            EXPECT_EQ(TextAt(*doc, ports[i], ".DMX_Input_Port_Properties.EDMX_Channels"), "512");
            EXPECT_EQ(TextAt(*doc, ports[i], ".DMX_Input_Port_Properties.AIP_Patch"), "");
        }
    }
    EXPECT_EQ(doc->GetNodeCount(), 5);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_TRUE(sink_.Errors().empty());
    EXPECT_FALSE(doc->AddNode("Kolt_3_Port_Node"));
    EXPECT_FALSE(doc->AddNodeOfType(1234));
    EXPECT_EQ(sink_.Errors(), std::vector<std::string>(2, LoadEditorString(IDS_NODE_NOT_CREATED)));
    EXPECT_EQ(doc->GetNodeCount(), 5);
}

constexpr const char* kSmallTemplate = R"(<Template xmlns:dt="urn:schemas-microsoft-com:datatypes">
  <Nodes>
    <Test_Node>
      <Node_Properties Type="8581" Nobody="x" instance="3"/>
      <Port_Properties instance="1"><Level edit="N"/></Port_Properties>
      <Port_Properties instance="2"><Level edit="Y"/></Port_Properties>
    </Test_Node>
    <Broken_Node><Node_Properties/><No_Such_Group/></Broken_Node>
  </Nodes>
  <Properties>
    <Node_Properties class="Node" instance="1">
      <Type dt:dt="ui2" default="1"/>
      <Name dt:dt="string" default="Fresh">Kept</Name>
      <Empty dt:dt="string" default="Filled"/>
      <Inner><Type dt:dt="ui2"/><Note/></Inner>
    </Node_Properties>
    <Port_Properties class="Port" instance="1"><Level dt:dt="ui1"/></Port_Properties>
  </Properties>
  <Enumerations>
    <NodeTypes><Test_Node name="Test Node" dt:dt="ui4">74117</Test_Node></NodeTypes>
  </Enumerations>
</Template>)";

TEST_F(NodesTest, PlaceholderValuesReachEveryLikeNamedElementAndDefaultsOnlyEmptyLeaves) {
    auto doc = NewDocument(DataDirWith(kSmallTemplate));
    Node node;
    // 74117 is 0x12185: node types compare in 16 bits, so 8581 finds it.
    ASSERT_TRUE(doc->AddNodeOfType(8581, &node));
    Node group = node.ChildElement("Node_Properties");
    EXPECT_EQ(group.ChildElement("Type").Text(), "8581");
    EXPECT_EQ(group.ChildElement("Inner").ChildElement("Type").Text(), "8581");
    EXPECT_EQ(group.ChildElement("Type").GetTypedValue().value.integer, 8581);
    EXPECT_EQ(group.ChildElement("Name").Text(), "Kept");     // had text: no default
    EXPECT_EQ(group.ChildElement("Empty").Text(), "Filled");  // empty leaf: default
    EXPECT_EQ(group.ChildElement("Inner").ChildElement("Note").Text(), "");
    // The group's own attribute takes the value; an unknown name changes nothing.
    EXPECT_EQ(group.Attribute("instance"), "3");
    EXPECT_FALSE(group.Attribute("Nobody"));
    EXPECT_EQ(group.Attribute("class"), "Node");

    // A node type naming a group the template lacks leaves no half-made node behind.
    EXPECT_FALSE(doc->AddNode("Broken_Node"));
    EXPECT_EQ(doc->GetNodeCount(), 1);
    Node only;
    ASSERT_TRUE(doc->GetNextNode(only));
    EXPECT_FALSE(doc->GetNextNode(only));
}

TEST_F(NodesTest, TemplateAttributesFollowTheNodeTypeAndThePortInstance) {
    auto doc = NewDocument(DataDirWith(kSmallTemplate));
    Node node;
    ASSERT_TRUE(doc->AddNode("Test_Node", &node));
    Node port2 = node.ChildElement("Port_Properties").NextSiblingElement();
    Node level = doc->GetProperty(port2, ".Level");
    EXPECT_EQ(doc->GetTemplatePath(level), "Network\\Nodes\\Test_Node\\Port_Properties:2\\Level");
    std::string value;
    EXPECT_TRUE(doc->GetTemplateAttribute(level, "edit", value));
    EXPECT_EQ(value, "Y");
    EXPECT_TRUE(
        doc->GetTemplateAttribute(doc->GetProperty(node, ".Port_Properties.Level"), "edit", value));
    EXPECT_EQ(value, "N");
    EXPECT_FALSE(
        doc->GetTemplateAttribute(doc->GetProperty(node, ".Node_Properties.Name"), "edit", value));

    auto real = NewDocument();
    Node video;
    ASSERT_TRUE(real->AddNode("Kolt_Video_Node", &video));
    Node dd = real->GetProperty(Ports(video)[1], ".DMX_Output_Port_Properties.DD");
    EXPECT_EQ(
        real->GetTemplatePath(dd),
        "Network\\Nodes\\Kolt_Video_Node\\DMX_Port_Properties:2\\DMX_Output_Port_Properties\\DD");
    EXPECT_TRUE(real->GetTemplateAttribute(dd, "edit", value));
    EXPECT_EQ(value, "N");
    Node four;
    ASSERT_TRUE(real->AddNode("Kolt_4_Port_Node", &four));
    EXPECT_FALSE(real->GetTemplateAttribute(
        real->GetProperty(Ports(four)[2], ".DMX_Output_Port_Properties.DD"), "edit", value));
}

TEST_F(NodesTest, PathsEndOnTextNodesAndTheReadersStepUpWhereTheyShould) {
    auto doc = NewDocument();
    Node node;
    ASSERT_TRUE(doc->AddNode("Kolt_2_Port_Node", &node));

    Node ipText = doc->GetProperty(node, ".Node_Properties.IP_Address");
    std::string name;
    EXPECT_TRUE(doc->GetElementName(ipText, name));
    EXPECT_EQ(name, "#text");
    Node ip = doc->SkipTextNode(ipText);
    EXPECT_EQ(ip.Name(), "IP_Address");
    EXPECT_TRUE(doc->IsLeaf(ipText));
    EXPECT_FALSE(doc->IsLeaf(ip));

    // These answer alike for the text node and its element...
    EXPECT_EQ(doc->IsReadOnly(ipText), doc->IsReadOnly(ip));
    EXPECT_TRUE(doc->IsReadOnly(ipText));
    PropertyType a = PROPERTY_NONE, b = PROPERTY_NONE;
    EXPECT_TRUE(doc->GetPropertyType(ipText, a));
    EXPECT_TRUE(doc->GetPropertyType(ip, b));
    EXPECT_EQ(a, PROPERTY_IPV4);
    EXPECT_EQ(a, b);
    int32_t maxLen = 0;
    doc->GetPropertyMaxLen(ipText, maxLen);
    EXPECT_EQ(maxLen, 15);
    // ...these read the node they are given.
    EXPECT_TRUE(doc->IsBootProperty(ip));
    EXPECT_FALSE(doc->IsBootProperty(ipText));
    EXPECT_FALSE(doc->GetEnumName(doc->GetProperty(node, ".Node_Properties.Type"), name));

    // A property without text resolves to its element.
    Node location = doc->GetProperty(node, ".Node_Properties.Location");
    EXPECT_EQ(location.Name(), "Location");
    EXPECT_TRUE(doc->IsLeaf(location));
    std::string value;
    EXPECT_FALSE(doc->GetNodeValue(location, value));
    EXPECT_TRUE(doc->GetNodeValue(ipText, value));
    EXPECT_EQ(value, "000.000.000.000");
    EXPECT_TRUE(doc->GetNodeValue(ip, value));
    EXPECT_FALSE(doc->GetProperty(node, ".Node_Properties.Nothing"));

    Node first;
    ASSERT_TRUE(doc->GetFirstChild(node, first));
    EXPECT_EQ(first.Name(), "Online_IP");
    Node next;
    ASSERT_TRUE(doc->GetNextSibling(first, next));
    EXPECT_EQ(doc->FindSibling(first, "DMX_Port_Properties"), Ports(node)[0]);
    EXPECT_EQ(doc->FindDescendant(node, node, "vPort").Parent().Name(),
              "DMX_Input_Port_Properties");
}

TEST_F(NodesTest, DerivedValuesFollowTheStartChannelsAndMatchingVPorts) {
    auto doc = NewDocument();
    Node node;
    ASSERT_TRUE(doc->AddNode("Kolt_2_Port_Node", &node));
    std::vector<Node> ports = Ports(node);
    auto set = [&](Node port, std::string_view path, std::string_view text) {
        ASSERT_TRUE(doc->SetNodeText(doc->SkipTextNode(doc->GetProperty(port, path)), text))
            << path;
    };
    // Port 1 input: vPort 2's range; its end values are stale.
    set(ports[0], ".DMX_Input_Port_Properties.EDMX_Start", "513");
    set(ports[0], ".DMX_Input_Port_Properties.DD_EDMX_Start", "769");
    set(ports[0], ".DMX_Input_Port_Properties.vPort", "0");
    // Port 1 output: start 0 keeps its end; nothing matches, the vPort stays.
    set(ports[0], ".DMX_Output_Port_Properties.EDMX_Start", "0");
    set(ports[0], ".DMX_Output_Port_Properties.EDMX_End", "77");
    // Port 2 input: the end wraps at 16 bits; an empty doubled start keeps its end.
    set(ports[1], ".DMX_Input_Port_Properties.EDMX_Start", "65000");
    set(ports[1], ".DMX_Input_Port_Properties.EDMX_Channels", "1000");
    set(ports[1], ".DMX_Input_Port_Properties.DD_EDMX_Start", "");
    // Port 2 output: vPort 3's range too, and two user vPorts of the same range: the
    // last that matches wins, one lacking a value does not match.
    set(ports[1], ".DMX_Output_Port_Properties.EDMX_Start", "1025");
    set(ports[1], ".DMX_Output_Port_Properties.DD_EDMX_Start", "1281");
    for (const char* id : {"65", "66"}) {
        Node copy = doc->GetVPortsElement().AppendCopy(doc->FindVPort("3"));
        doc->SetNodeText(doc->SkipTextNode(doc->GetProperty(copy, ".vPort_ID")), id);
    }
    doc->SetNodeText(
        doc->SkipTextNode(doc->GetProperty(doc->FindVPort("66"), ".Dimmer_Doubling.EDMX_End")), "");

    ASSERT_TRUE(doc->UpdateNodeDerived(node));
    EXPECT_EQ(TextAt(*doc, ports[0], ".DMX_Input_Port_Properties.EDMX_End"), "1024");
    EXPECT_EQ(TextAt(*doc, ports[0], ".DMX_Input_Port_Properties.DD_EDMX_End"), "1024");
    EXPECT_EQ(TextAt(*doc, ports[0], ".DMX_Input_Port_Properties.vPort"), "2");
    EXPECT_EQ(TextAt(*doc, ports[0], ".DMX_Output_Port_Properties.EDMX_End"), "77");
    EXPECT_EQ(TextAt(*doc, ports[0], ".DMX_Output_Port_Properties.vPort"), "1");
    EXPECT_EQ(TextAt(*doc, ports[1], ".DMX_Input_Port_Properties.EDMX_End"), "463");
    EXPECT_EQ(TextAt(*doc, ports[1], ".DMX_Input_Port_Properties.DD_EDMX_End"), "1024");
    EXPECT_EQ(TextAt(*doc, ports[1], ".DMX_Output_Port_Properties.vPort"), "65");
}

TEST_F(NodesTest, AddressesAndTheOnLineAddress) {
    auto doc = NewDocument();
    Node a, b;
    ASSERT_TRUE(doc->AddNode("Kolt_4_Port_Node", &a));
    ASSERT_TRUE(doc->AddNode("Kolt_1_Port_Node", &b));
    ASSERT_TRUE(doc->SetNodeAddress(a, VavMacAddress("0:1a:2b:3c:4d:5e"), 0x0A000007));
    EXPECT_EQ(TextAt(*doc, a, ".Node_Properties.MAC_Address"), "00:1a:2b:3c:4d:5e");
    EXPECT_EQ(TextAt(*doc, a, ".Node_Properties.IP_Address"), "010.000.000.007");

    VavMacAddress mac;
    uint32_t ip = 0;
    ASSERT_TRUE(doc->GetNodeAddress(a, mac, ip));
    EXPECT_EQ(mac, VavMacAddress("00:1a:2b:3c:4d:5e"));
    EXPECT_EQ(ip, 0x0A000007u);  // Online_IP is 0: the configured address

    doc->SetModifiedFlag(false);
    ASSERT_TRUE(doc->SetNodeOnlineIp(a, 0x0A000063));
    EXPECT_FALSE(doc->IsModified());  // status, not configuration
    ASSERT_TRUE(doc->GetNodeAddress(a, mac, ip));
    EXPECT_EQ(ip, 0x0A000063u);

    ASSERT_TRUE(doc->SetNodeEdmxMulticastIp(a, "236.001.000.058"));
    EXPECT_TRUE(doc->IsModified());

    std::string name;
    uint16_t type = 0;
    Node element;
    ASSERT_TRUE(doc->GetNextNodeInfo(true, name, type, mac, ip, element));
    EXPECT_EQ(element, a);
    EXPECT_EQ(name, "4 Port Node");
    EXPECT_EQ(type, 8452);
    ASSERT_TRUE(doc->GetNextNodeInfo(false, name, type, mac, ip, element));
    EXPECT_EQ(type, 8581);
    EXPECT_EQ(mac, VavMacAddress());
    EXPECT_FALSE(doc->GetNextNodeInfo(false, name, type, mac, ip, element));
    EXPECT_FALSE(element);

    bool flag = true;
    int32_t number = 0;
    Node port = Ports(a)[1];
    EXPECT_TRUE(doc->GetPortNumber(port, number));
    EXPECT_EQ(number, 2);
    EXPECT_TRUE(doc->GetPortAipFlag(port, flag));
    EXPECT_FALSE(flag);
    EXPECT_TRUE(doc->GetPortInputOutput(port, flag));
    EXPECT_TRUE(flag);
    ASSERT_TRUE(doc->SetAipPatch(port, "5,0,0"));
    std::string patch;
    EXPECT_TRUE(doc->GetAipPatch(port, patch));
    EXPECT_EQ(patch, "5,0,0");
    EXPECT_FALSE(doc->GetPortNumber(a, number));  // not a port

    ASSERT_TRUE(doc->DeleteNode(b));
    EXPECT_EQ(doc->GetNodeCount(), 1);
    EXPECT_FALSE(doc->DeleteNode(port));
}

TEST_F(NodesTest, ATextTooLongForTheDocumentIsRefusedWithAnError) {
    auto doc = NewDocument();
    Node node;
    ASSERT_TRUE(doc->AddNode("Kolt_1_Port_Node", &node));
    Node patch =
        doc->SkipTextNode(doc->GetProperty(Ports(node)[0], ".DMX_Input_Port_Properties.AIP_Patch"));
    std::string longest;
    for (size_t i = 0; i < CTessalyDoc::kMaxTextLength; ++i)
        longest += "\xC3\xA9";  // one character, two bytes
    ASSERT_TRUE(doc->SetNodeText(patch, longest));
    EXPECT_TRUE(sink_.Errors().empty());

    EXPECT_FALSE(doc->SetNodeText(patch, longest + "x"));
    ASSERT_EQ(sink_.Errors().size(), 1u);
    EXPECT_NE(sink_.Errors()[0].find("53760 characters"), std::string::npos) << sink_.Errors()[0];
    EXPECT_EQ(patch.Text(), longest);

    // A group's text would replace its properties.
    EXPECT_FALSE(doc->SetNodeText(node.ChildElement("Node_Properties"), "x"));
    EXPECT_EQ(TextAt(*doc, node, ".Node_Properties.Name"), "1 Port Node");
}

TEST_F(NodesTest, VPortReaders) {
    auto doc = NewDocument();
    Node vPort = doc->FindVPort("64");
    ASSERT_TRUE(vPort);
    std::string text;
    EXPECT_TRUE(doc->GetVPortEdmxStart(vPort, text));
    EXPECT_EQ(text, "32257");
    doc->GetVPortEdmxChannels(vPort, text);
    EXPECT_EQ(text, "512");
    doc->GetVPortEdmxEnd(vPort, text);
    EXPECT_EQ(text, "32768");
    doc->GetVPortDimmerDoubling(vPort, text);
    EXPECT_EQ(text, "0");
    doc->GetVPortDdEdmxStart(vPort, text);
    EXPECT_EQ(text, "32513");
    doc->GetVPortDdEdmxEnd(vPort, text);
    EXPECT_EQ(text, "32768");
    EXPECT_FALSE(doc->FindVPort("65"));

    // An attribute is set only where the element has it.
    Node id = doc->SkipTextNode(doc->GetProperty(vPort, ".vPort_ID"));
    EXPECT_TRUE(doc->SetAttribute(id, "edit", "Y"));
    EXPECT_FALSE(doc->SetAttribute(id, "hidden", "Y"));
    EXPECT_FALSE(doc->IsReadOnly(id));
}

}  // namespace
