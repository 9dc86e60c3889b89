// The simulated node's model: what it refuses, its 1-based patch, and what survives
// reboot, clear and a restart.
#include "nodesim/NodeModel.h"

#include <gtest/gtest.h>

#include "testsupport/TempDir.h"

namespace nodesim {
namespace {

const CRccValue kOne = CRccValue::ofU32(1);

NodeIdentity TwoPortNode() {
    NodeIdentity id;
    id.type = 8450;
    id.name = "n";
    id.mac = VavMacAddress("02:18:00:00:00:02");
    id.ip = 0xC6120002;
    return id;
}

TEST(NodeModelTest, WritesMustMatchTheNodesObjects) {
    NodeModel model(TwoPortNode(), {});
    struct Case {
        const char* cls;
        CRccValue instance;
        const char* name;
        CRccValue value;
        uint32_t status;
    } cases[] = {
        {"Node", kOne, "nodeName", CRccValue::ofString("x"), SIM_OK},
        {"Node", kOne, "nodeName", CRccValue::ofU8(1), SIM_E_TYPE},
        {"Node", kOne, "nodeType", CRccValue::ofU16(1), SIM_E_READ_ONLY},
        {"Node", kOne, "noSuch", CRccValue::ofU8(1), SIM_E_NO_PROPERTY},
        {"DMXPort", CRccValue::ofU32(3), "portName", CRccValue::ofString("x"), SIM_E_NO_OBJECT},
        {"DMXPort", CRccValue::ofU16(2), "portName", CRccValue::ofString("x"), SIM_E_NO_OBJECT},
        {"VideoPort", kOne, "isLocked", CRccValue::ofBool(true), SIM_E_NO_OBJECT},
        {"DMXInputPort", CRccValue::ofU32(2), "channelPatch",
         CRccValue::of<RCC_ARRAY | RCC_U16>({1, 2}), SIM_E_RANGE},
        {"DMXOutputPort", CRccValue::ofU32(2), "refreshRate", CRccValue::ofU8(30), SIM_OK},
    };
    for (const Case& c : cases)
        EXPECT_EQ(model.Set(c.cls, c.instance, c.name, c.value), c.status)
            << c.cls << "." << c.name;
    CRccValue read;
    ASSERT_EQ(model.Get("DMXOutputPort", CRccValue::ofU32(2), "refreshRate", read), SIM_OK);
    EXPECT_EQ(read, CRccValue::ofU8(30));
}

TEST(NodeModelTest, PatchIsIndexedFromOneAndFlagsEmptiness) {
    NodeModel model(TwoPortNode(), {});
    const CRccValue port = CRccValue::ofU32(1);
    CRccValue flag;
    EXPECT_EQ(model.SetArray("DMXInputPort", port, "channelPatch", 8192, 2,
                             CRccValue::of<RCC_ARRAY | RCC_U16>({5, 6})),
              SIM_E_RANGE);
    EXPECT_EQ(model.SetArray("DMXInputPort", port, "channelPatch", 1, 3,
                             CRccValue::of<RCC_ARRAY | RCC_U16>({7, 8, 9})),
              SIM_OK);
    model.Get("DMXInputPort", port, "aipPatchIsEmpty", flag);
    EXPECT_EQ(flag, CRccValue::ofBool(false));
    CRccValue slice;
    ASSERT_EQ(model.GetArray("DMXInputPort", port, "channelPatch", 2, 3, slice), SIM_OK);
    EXPECT_EQ(slice, (CRccValue::of<RCC_ARRAY | RCC_U16>({8, 9, 0})));
    EXPECT_EQ(model.GetArray("DMXInputPort", port, "channelPatch", 8001, 193, slice), SIM_E_RANGE);

    ASSERT_EQ(model.Set("DMXInputPort", port, "aipPatchIsEmpty", CRccValue::ofBool(true)), SIM_OK);
    model.GetArray("DMXInputPort", port, "channelPatch", 1, 1, slice);
    EXPECT_EQ(slice, (CRccValue::of<RCC_ARRAY | RCC_U16>({0})));
}

TEST(NodeModelTest, SavedConfigurationSurvivesRebootAndRestartUntilCleared) {
    ixo::testsupport::TempDir dir;
    const auto state = dir / "node.state";
    auto name = [](const NodeModel& m) {
        CRccValue v;
        m.Get("Node", kOne, "nodeName", v);
        return *v.getString();
    };
    {
        NodeModel model(TwoPortNode(), state);
        model.Set("Node", kOne, "nodeName", CRccValue::ofString("saved"));
        ASSERT_EQ(model.Invoke("Node", kOne, "saveConfiguration", {}), SIM_OK);
        model.Set("Node", kOne, "nodeName", CRccValue::ofString("unsaved"));
        ASSERT_EQ(model.Invoke("Node", kOne, "reboot", {CRccValue::ofU32(1)}), SIM_OK);
        EXPECT_EQ(name(model), "saved");
        EXPECT_EQ(model.GetCounters().updates, 1);
    }
    NodeModel restarted(TwoPortNode(), state);
    EXPECT_EQ(name(restarted), "saved");
    ASSERT_EQ(restarted.Invoke("Node", kOne, "clearConfiguration", {}), SIM_OK);
    EXPECT_EQ(name(restarted), "n");
    restarted.Invoke("Node", kOne, "reboot", {});
    EXPECT_EQ(name(restarted), "n");
    EXPECT_FALSE(std::filesystem::exists(state));
    EXPECT_EQ(restarted.Invoke("Node", kOne, "selfDestruct", {}), SIM_E_NO_METHOD);
}

}  // namespace
}  // namespace nodesim
