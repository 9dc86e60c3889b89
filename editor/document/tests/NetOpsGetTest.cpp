// Get Config and Get Unbound Nodes against simulated nodes served in this process.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "editor/document/tests/NetOpsFixture.h"
#include "editor/document/tests/SendSequence.h"

namespace {

using Calls = std::vector<std::string>;

size_t CountPrefix(const Calls& calls, const std::string& prefix) {
    return static_cast<size_t>(std::count_if(
        calls.begin(), calls.end(), [&](const std::string& c) { return c.rfind(prefix, 0) == 0; }));
}

// The project's template with node properties of the types it lacks.
std::string TemplateWithEveryType() {
    std::ifstream in(std::filesystem::path(IXO_DATA_DIR) / "template.cfg");
    std::stringstream text;
    text << in.rdbuf();
    std::string t = text.str();
    const std::string anchor = "</Node_Properties>";
    t.insert(t.find(anchor),
             "<Test_I1 dt:dt=\"i1\" rcc=\"testI1\"/><Test_I2 dt:dt=\"i2\" rcc=\"testI2\"/>"
             "<Test_I4 dt:dt=\"i4\" rcc=\"testI4\"/><Test_R4 dt:dt=\"r4\" rcc=\"testR4\"/>"
             "<Test_R8 dt:dt=\"r8\" rcc=\"testR8\"/>");
    return t;
}

class NetOpsGetTest : public NetOpsTest {
protected:
    // Every element of the node with an "rcc" attribute: its path and typed value.
    std::vector<std::pair<std::string, xmldom::TypedValue>> Values(xmldom::Node node) {
        std::vector<std::pair<std::string, xmldom::TypedValue>> values;
        Walk(node.FirstChild(), "", values);
        return values;
    }

private:
    void Walk(xmldom::Node n, const std::string& path,
              std::vector<std::pair<std::string, xmldom::TypedValue>>& out) {
        for (; n; n = n.NextSiblingElement()) {
            std::string here = path + "/" + std::string(n.Name()) +
                               std::string(n.Attribute("instance").value_or(""));
            if (n.Attribute("rcc"))
                out.emplace_back(here, n.GetTypedValue().value);
            Walk(n.FirstChildElement(), here, out);
        }
    }
};

TEST_F(NetOpsGetTest, SentValuesOfEveryTypeReadBackEqual) {
    std::filesystem::create_directories(dir_ / "data");
    dir_.Write("data/template.cfg", TemplateWithEveryType());
    std::filesystem::copy_file(std::filesystem::path(IXO_DATA_DIR) / "Config.cfg",
                               dir_ / "data/Config.cfg");
    doc_ = std::make_unique<CTessalyDoc>(dir_ / "data");
    ASSERT_TRUE(doc_->OnNewDocument());
    SimNode& node = AddNode(2);
    node.model.AddProperty("Node", 1, "testI1", CRccValue::ofS8(0));
    node.model.AddProperty("Node", 1, "testI2", CRccValue::ofS16(0));
    node.model.AddProperty("Node", 1, "testI4", CRccValue::ofS32(0));
    node.model.AddProperty("Node", 1, "testR4", CRccValue::ofFloat(0));
    node.model.AddProperty("Node", 1, "testR8", CRccValue::ofFloat(0));
    xmldom::Node element = AddDocNode(node);
    const std::string patch = CountingPatch(8192, 7);
    const char* texts[][2] = {
        {".Node_Properties.Location", "Stage left, rack 3"},
        {".Node_Properties.Status_Interval", "2500"},
        {".Node_Properties.Panel_Lock", "1"},
        {".Node_Properties.IP_Address", "010.000.000.002"},
        {".Node_Properties.Subnet_Mask", "255.255.255.000"},
        {".Node_Properties.Gateway_IP", "010.000.000.254"},
        {".Node_Properties.Test_I1", "-5"},
        {".Node_Properties.Test_I2", "-300"},
        {".Node_Properties.Test_I4", "-70000"},
        {".Node_Properties.Test_R4", "3"},
        {".Node_Properties.Test_R8", "12"},
        {".DMX_Port_Properties.Port_Name", "Truss"},
        {".DMX_Port_Properties.DMX_Input_Port_Properties.AIP", "1"},
        {".DMX_Port_Properties.DMX_Input_Port_Properties.AIP_Patch", patch.c_str()},
        {".DMX_Port_Properties.DMX_Input_Port_Properties.EDMX_Start", "1025"},
        {".DMX_Port_Properties.DMX_Input_Port_Properties.HLL_Time", "4000"},
        {".DMX_Port_Properties.DMX_Output_Port_Properties.Refresh_Rate", "30"},
    };
    for (auto& t : texts) SetText(element, t[0], t[1]);
    doc_->SetNetworkAddressMode(true);
    auto sent = Values(element);
    ASSERT_TRUE(doc_->SendConfig(element));

    // A new document that knows only the node's address reads everything back.
    ASSERT_TRUE(doc_->OnNewDocument());
    element = AddDocNode(node);
    node.stub.ClearCalls();
    ASSERT_TRUE(doc_->GetConfig(element));
    auto read = Values(element);
    ASSERT_EQ(read.size(), sent.size());
    for (size_t i = 0; i < read.size(); ++i) {
        const std::string& path = read[i].first;
        if (path.find("MAC_Address") != std::string::npos ||
            path.find("Type") != std::string::npos || path.find("_Version") != std::string::npos ||
            path.find("Serial") != std::string::npos ||
            path.find("EDMX_Multicast") != std::string::npos)
            continue;  // the node's own, not sent
        EXPECT_EQ(read[i].second, sent[i].second) << path;
    }
    EXPECT_EQ(Text(element, ".Node_Properties.MAC_Address"), "02:18:00:00:00:02");
    EXPECT_EQ(Text(element, ".Node_Properties.Type"), "8450");
    EXPECT_EQ(Text(element, ".Node_Properties.Network_Version"), "4.0 Patch 14.0 IUO 0");
    EXPECT_EQ(Text(element, ".Node_Properties.Software_Version"), "4.0.14 sim");
    EXPECT_EQ(Text(element, ".Node_Properties.Serial_Number"), "2");
    // One transaction for the ordinary properties; each patch asks whether it is empty,
    // and the one that is not comes in 17 slices, the last of 192 at 8001.
    Calls calls = node.stub.Calls();
    EXPECT_EQ(CountPrefix(calls, "getPropTransaction"), 1u);
    EXPECT_EQ(CountPrefix(calls, "getProp DMXInputPort 1 aipPatchIsEmpty"), 1u);
    EXPECT_EQ(CountPrefix(calls, "getProp DMXInputPort 2 aipPatchIsEmpty"), 1u);
    EXPECT_EQ(CountPrefix(calls, "getPropArray DMXInputPort 1 channelPatch"), 17u);
    EXPECT_EQ(CountPrefix(calls, "getPropArray DMXInputPort 2"), 0u);
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2],
              "getPropArray DMXInputPort 1 channelPatch start=8001 count=192");
    // Derived values are worked out again after the read.
    EXPECT_EQ(Text(element, ".DMX_Port_Properties.DMX_Input_Port_Properties.EDMX_End"), "1536");
}

TEST_F(NetOpsGetTest, WalkShowsProgressSkipsOfflineAndRepaints) {
    SimNode& a = AddNode(2);
    SimNode& b = AddNode(3);
    SimNode& away = AddNode(4, 8450, false);
    AddDocNode(a);
    xmldom::Node off = AddDocNode(away);
    AddDocNode(b);
    ASSERT_TRUE(doc_->GetConfig());
    EXPECT_EQ(frame_.progress, (Calls{"range 2", "1", "2", "end"}));
    EXPECT_EQ(frame_.invalidations, 1);
    EXPECT_EQ(sink_.MessageTexts().back(), "Offline Nodes Skipped.");
    EXPECT_TRUE(away.stub.Calls().empty());
    ASSERT_TRUE(doc_->GetConfig(off));
    EXPECT_EQ(sink_.MessageTexts().back(), "No Online Nodes Selected");

    // A node that fails to answer is asked about; Abort ends the walk.
    a.stub.FailCall(1, 0x80A10005);
    sink_.QueueAnswer(ANSWER_ABORT);
    b.stub.ClearCalls();
    EXPECT_FALSE(doc_->GetConfig());
    ASSERT_EQ(sink_.Questions().size(), 1u);
    EXPECT_EQ(sink_.Questions()[0].rfind("A network communications error occurred getting "
                                         "properties from the node: Node 2 (010.000.000.002, "
                                         "02:18:00:00:00:02).",
                                         0),
              0u);
    EXPECT_TRUE(b.stub.Calls().empty());
}

TEST_F(NetOpsGetTest, UnboundNodesAreAddedAndRead) {
    SimNode& known = AddNode(2);
    SimNode& single = AddNode(5, 8581);
    AddDocNode(known);
    single.model.Set("Node", CRccValue::ofU32(1), "location", CRccValue::ofString("Booth"));
    ASSERT_TRUE(doc_->GetUnboundNodes());
    EXPECT_EQ(doc_->GetNodeCount(), 2);
    EXPECT_TRUE(known.stub.Calls().empty());
    xmldom::Node added;
    doc_->GetNextNode(added);
    doc_->GetNextNode(added);
    EXPECT_EQ(Text(added, ".Node_Properties.Name"), "Node 5");
    EXPECT_EQ(Text(added, ".Node_Properties.Location"), "Booth");
    EXPECT_EQ(Text(added, ".Node_Properties.IP_Address"), "010.000.000.005");
    // A node of type 8581 is read property by property.
    Calls calls = single.stub.Calls();
    EXPECT_EQ(CountPrefix(calls, "getPropTransaction"), 0u);
    EXPECT_EQ(CountPrefix(calls, "getProp Node 1 nodeName"), 1u);
    EXPECT_EQ(CountPrefix(calls, "getProp DMXInputPort 1 aipPatchIsEmpty"), 1u);
    EXPECT_NE(std::find(sink_.MessageTexts().begin(), sink_.MessageTexts().end(),
                        "Adding node: Node 5 to the config (MAC=02:18:00:00:00:05, "
                        "IP=010.000.000.005)"),
              sink_.MessageTexts().end());
    EXPECT_EQ(sink_.MessageTexts().back(), "Ready");
    EXPECT_EQ(frame_.invalidations, 1);
}

}  // namespace
