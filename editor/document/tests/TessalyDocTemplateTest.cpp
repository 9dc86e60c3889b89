#include <gtest/gtest.h>

#include "editor/document/EditorStrings.h"
#include "editor/document/tests/DocTestSupport.h"

using xmldom::Node;

namespace {

using TemplateTest = DocTest;

std::vector<std::string> All(std::function<bool(bool, std::string&)> next) {
    std::vector<std::string> names;
    std::string name;
    for (bool first = true; next(first, name); first = false) names.push_back(name);
    return names;
}

TEST_F(TemplateTest, TheTemplateListsNodeTypesViewsGroupsAndEnumerations) {
    auto doc = NewDocument();
    ASSERT_TRUE(doc->HasTemplate());
    EXPECT_EQ(All([&](bool f, std::string& n) { return doc->GetNextNodeTypeName(f, n); }),
              (std::vector<std::string>{"Kolt_1_Port_Node", "Kolt_2_Port_Node", "Kolt_4_Port_Node",
                                        "Kolt_8_Port_Node", "Kolt_Video_Node"}));
    EXPECT_EQ(All([&](bool f, std::string& n) { return doc->GetNextViewName(f, n); }).front(),
              "All_Properties");

    std::vector<std::string> groups;
    for (Node group; doc->GetNextPropertyGroup(group);) groups.push_back(std::string(group.Name()));
    EXPECT_EQ(groups, (std::vector<std::string>{"Node", "Online", "Online_IP", "Node_Properties",
                                                "DMX_Port_Properties", "Video_Port_Properties"}));
    EXPECT_EQ(doc->GetPropertyTreeDepth(), 2);

    std::string name;
    int32_t value = 0;
    ASSERT_TRUE(doc->GetNextEnumItem(true, "NodeTypes", name, value));
    EXPECT_EQ(name, "Kolt 1 Port Node");
    EXPECT_EQ(value, 8581);
    ASSERT_TRUE(doc->GetNextEnumItem(false, "NodeTypes", name, value));
    EXPECT_EQ(value, 8450);
    ASSERT_TRUE(doc->GetNextEnumItem(true, "Signal_Loss_Modes", name, value));
    ASSERT_TRUE(doc->GetNextEnumItem(false, "Signal_Loss_Modes", name, value));
    EXPECT_EQ(name, "Blackout");  // no "name": the element's name
    EXPECT_FALSE(doc->GetNextEnumItem(false, "Signal_Loss_Modes", name, value));
    EXPECT_TRUE(doc->GetEnumItemName("NodeTypes", name, 8704));
    EXPECT_EQ(name, "Kolt Video Node");
    EXPECT_FALSE(doc->GetEnumItemName("NodeTypes", name, 1));
}

TEST_F(TemplateTest, AViewShowsThePathsItHolds) {
    auto doc = NewDocument();
    EXPECT_FALSE(doc->FindViewItem(".Node_Properties.Name"));  // no view selected yet
    ASSERT_TRUE(doc->SelectView("Network_Addresses"));
    EXPECT_TRUE(doc->FindViewItem(".Node_Properties.Gateway_IP"));
    EXPECT_TRUE(doc->FindViewItem(".Node"));
    EXPECT_FALSE(doc->FindViewItem(".DMX_Port_Properties.DMX_Input_Port_Properties.EDMX_Start"));
    ASSERT_TRUE(doc->SelectView("DMX_Inputs"));
    EXPECT_TRUE(doc->FindViewItem(".DMX_Port_Properties.DMX_Input_Port_Properties.EDMX_Start"));
    EXPECT_FALSE(doc->SelectView("No_Such_View"));
    EXPECT_EQ(doc->GetCurrentView().Name(), "DMX_Inputs");
}

// Every property of the template has the type its datatype and ixotype give.
TEST_F(TemplateTest, PropertyTypesComeFromDatatypeAndIxotype) {
    struct Case {
        const char* dataType;
        const char* ixoType;
        PropertyType type;
    };
    const Case cases[] = {
        {"ui1", "", PROPERTY_UI1},
        {"ui2", "IPv4", PROPERTY_UI2},
        {"ui4", "", PROPERTY_UI4},
        {"ui4", "time_ms", PROPERTY_TIME_MS},
        {"i1", "", PROPERTY_I1},
        {"i2", "", PROPERTY_I2},
        {"i4", "", PROPERTY_I4},
        {"r4", "", PROPERTY_R4},
        {"r8", "", PROPERTY_R8},
        {"boolean", "", PROPERTY_BOOLEAN},
        {"string", "", PROPERTY_STRING},
        {"string", "time_ms", PROPERTY_STRING},
        {"string", "IPv4", PROPERTY_IPV4},
        {"string", "MAC", PROPERTY_MAC},
        {"string", "VERSTR", PROPERTY_VERSTR},
        {"string", "VERNUMSTR", PROPERTY_VERNUMSTR},
        {"string", "VECTOR16", PROPERTY_VECTOR16},
        {"", "IPv4", PROPERTY_NONE},
        {"date", "", PROPERTY_NONE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PropertyTypeOf(c.dataType, c.ixoType), c.type) << c.dataType << "/" << c.ixoType;

    auto doc = NewDocument();
    Node group = doc->GetPropertiesElement().ChildElement("Node_Properties");
    PropertyType type = PROPERTY_NONE;
    EXPECT_TRUE(doc->GetPropertyType(group.ChildElement("Status_Interval"), type));
    EXPECT_EQ(type, PROPERTY_TIME_MS);
    EXPECT_TRUE(doc->GetPropertyType(group.ChildElement("Network_Version"), type));
    EXPECT_EQ(type, PROPERTY_VERNUMSTR);
    EXPECT_FALSE(doc->GetPropertyType(doc->GetPropertiesElement().ChildElement("Node"), type));
}

TEST_F(TemplateTest, AttributeReadersAndTheirDefaults) {
    auto doc = NewDocument();
    Node group = doc->GetPropertiesElement().ChildElement("Node_Properties");
    Node ip = group.ChildElement("IP_Address");
    Node name = group.ChildElement("Name");
    Node serial = group.ChildElement("Serial_Number");
    Node patch = doc->GetPropertiesElement()
                     .ChildElement("DMX_Port_Properties")
                     .ChildElement("DMX_Input_Port_Properties")
                     .ChildElement("AIP_Patch");

    EXPECT_TRUE(doc->IsReadOnly(ip));
    doc->SetNetworkAddressMode(true);  // write="Y" opens it
    EXPECT_FALSE(doc->IsReadOnly(ip));
    EXPECT_TRUE(doc->IsReadOnly(serial));
    doc->SetNetworkAddressMode(false);
    EXPECT_FALSE(doc->IsReadOnly(name));
    EXPECT_TRUE(doc->IsBootProperty(ip));
    EXPECT_TRUE(doc->IsMergeable(name));
    EXPECT_TRUE(doc->IsHidden(patch));
    EXPECT_FALSE(doc->IsHidden(name));

    int32_t value = 0;
    EXPECT_TRUE(doc->GetPropertyMaxLen(name, value));
    EXPECT_EQ(value, 32);
    doc->GetPropertyMaxLen(serial, value);
    EXPECT_EQ(value, 40);  // absent
    doc->GetPropertyMax(serial, value);
    EXPECT_EQ(value, -1);  // absent
    doc->GetPropertyMin(serial, value);
    EXPECT_EQ(value, 0);
    doc->GetPropertyMax(group.ChildElement("Status_Interval"), value);
    EXPECT_EQ(value, 60000);

    std::string text;
    EXPECT_TRUE(doc->GetEnumName(group.ChildElement("Type"), text));
    EXPECT_EQ(text, "NodeTypes");
    EXPECT_FALSE(doc->GetEnumName(name, text));
    EXPECT_EQ(text, "");
    EXPECT_TRUE(doc->GetIxoType(ip, text));
    EXPECT_EQ(text, "IPv4");
}

TEST_F(TemplateTest, AMissingTemplateIsReportedAndNoNodeCanBeMade) {
    std::filesystem::create_directories(dir_ / "empty");
    std::filesystem::copy_file(std::filesystem::path(IXO_DATA_DIR) / "Config.cfg",
                               dir_ / "empty/Config.cfg");
    auto doc = NewDocument(dir_ / "empty");
    EXPECT_FALSE(doc->HasTemplate());
    ASSERT_EQ(sink_.Errors().size(), 1u);
    EXPECT_TRUE(sink_.Errors()[0].starts_with(LoadEditorString(IDS_TEMPLATE_NOT_OPENED)));
    std::string name;
    EXPECT_FALSE(doc->GetNextNodeTypeName(true, name));
    EXPECT_FALSE(doc->AddNode("Kolt_4_Port_Node"));
    EXPECT_EQ(doc->GetNodeCount(), 0);
}

}  // namespace
