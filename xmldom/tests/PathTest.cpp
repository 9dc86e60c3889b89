#include "xmldom/Path.h"

#include <gtest/gtest.h>

#include "xmldom/Document.h"

namespace xmldom {
namespace {

constexpr const char* kNode = R"(<Node>
  <Online_IP>010.000.000.007</Online_IP>
  <Node_Properties>
    <Name>Dimmer rack</Name>
    <MAC_Address/>
  </Node_Properties>
  <DMX_Port_Properties><Port>1</Port><DMX_Input_Port_Properties><vPort>3</vPort></DMX_Input_Port_Properties></DMX_Port_Properties>
  <DMX_Port_Properties><Port>2</Port><DMX_Input_Port_Properties><vPort>4</vPort></DMX_Input_Port_Properties></DMX_Port_Properties>
</Node>)";

class PathTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(doc_.LoadText(kNode)); }
    Node node() const { return doc_.DocumentElement(); }
    Document doc_;
};

TEST_F(PathTest, APathEndsOnTheTextNodeOfAPropertyWithTextAndOnAnEmptyElementItself) {
    Node name = ResolvePath(node(), ".Node_Properties.Name");
    EXPECT_EQ(name.Name(), "#text");
    EXPECT_EQ(name.Text(), "Dimmer rack");
    EXPECT_EQ(ElementOf(name).Name(), "Name");

    Node mac = ResolvePath(node(), "Node_Properties.MAC_Address");  // no leading "."
    EXPECT_EQ(mac.Name(), "MAC_Address");
    EXPECT_EQ(ElementOf(mac), mac);

    // A group resolves to its first child; the first of like-named siblings wins.
    EXPECT_EQ(ResolvePath(node(), ".Node_Properties").Name(), "Name");
    EXPECT_EQ(ResolvePath(node(), ".DMX_Port_Properties.Port").Text(), "1");
    EXPECT_EQ(ResolvePath(node(), ""), node());

    EXPECT_FALSE(ResolvePath(node(), ".Node_Properties.Type"));
    EXPECT_FALSE(ResolvePath(node(), ".Name"));  // names are looked up one level at a time
    EXPECT_FALSE(ResolvePath(Node(), ".Name"));
}

TEST_F(PathTest, DescendantsComeInDepthFirstOrderAndStayBelowTheRoot) {
    std::vector<std::string> found;
    for (Node v = FindDescendant(node(), node(), "vPort"); v;
         v = FindDescendant(v, node(), "vPort"))
        found.push_back(v.Text());
    EXPECT_EQ(found, (std::vector<std::string>{"3", "4"}));

    Node firstPort = node().ChildElement("DMX_Port_Properties");
    EXPECT_EQ(FindDescendant(firstPort, firstPort, "vPort").Text(), "3");
    Node onlyVPort = FindDescendant(firstPort, firstPort, "vPort");
    EXPECT_FALSE(FindDescendant(onlyVPort, firstPort, "vPort"));

    EXPECT_EQ(FindSibling(node().FirstChild(), "DMX_Port_Properties"), firstPort);
    EXPECT_FALSE(FindSibling(firstPort.NextSibling().NextSibling(), "Port"));
}

}  // namespace
}  // namespace xmldom
