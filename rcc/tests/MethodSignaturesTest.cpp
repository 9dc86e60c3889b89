#include <gtest/gtest.h>

#include "RccLogCapture.h"
#include "rcc/MethodSignatures.h"

namespace {

TEST(MethodSignaturesTest, LooksUpBuiltInSignatures) {
    CMethodSignatures& registry = getSignatureRegistry();
    const CMethodSignature* getProp = registry.getSignature(2, 0);
    ASSERT_NE(getProp, nullptr);
    ASSERT_EQ(getProp->request.size(), 3u);
    EXPECT_EQ(getProp->request[1].name, "instanceId");
    EXPECT_EQ(getProp->request[1].type, 0x0080000Au);
    ASSERT_EQ(getProp->reply.size(), 1u);
    EXPECT_EQ(getProp->reply[0].type, 0x0000000Au);

    const CMethodSignature* setPropTransaction = registry.getSignature(2, 10);
    ASSERT_NE(setPropTransaction, nullptr);
    EXPECT_TRUE(setPropTransaction->request.empty());
    EXPECT_TRUE(setPropTransaction->carriesTransactionList());

    const CMethodSignature* arrayNotification = registry.getSignature(3, 2);
    ASSERT_NE(arrayNotification, nullptr);
    EXPECT_EQ(arrayNotification->request.size(), 11u);
    EXPECT_EQ(arrayNotification->request[0].type, 0x00000003u);  // subhandle without input flag
    EXPECT_TRUE(registry.getSignature(3, 3)->carriesTransactionList());

    const CMethodSignature* lastFile = registry.getSignature(4, 22);
    ASSERT_NE(lastFile, nullptr);
    EXPECT_EQ(lastFile->interfaceId, 0u);
    EXPECT_EQ(lastFile->methodId, 0u);
    EXPECT_EQ(registry.getSignature(4, 2)->reply[0].type, 0x08000012u);
    EXPECT_FALSE(registry.getSignature(4, 9)->carriesTransactionList());
}

TEST(MethodSignaturesTest, UnknownIdsAreLogged) {
    RccLogCapture log;
    EXPECT_EQ(getSignatureRegistry().getSignature(2, 11), nullptr);
    EXPECT_EQ(getSignatureRegistry().getSignature(5, 0), nullptr);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{
                               "RCCImpl: CMethodSignatures::getSignature() - for interfaceId 2 "
                               "(0x2) got bad methodId 11 (0xb).",
                               "RCCImpl: CMethodSignatures::getSignature() - unknown interfaceId 5 "
                               "(0x5).",
                           }));
}

TEST(MethodSignaturesTest, SecondRegistrationOfAnInterfaceIsRefused) {
    CMethodSignatures registry;
    EXPECT_FALSE(registry.registerInterface(2, {}));
    EXPECT_EQ(registry.getSignature(2, 10)->methodId, 10u);
    EXPECT_TRUE(registry.registerInterface(7, {CMethodSignature(7, 0, {}, {})}));
    EXPECT_NE(registry.getSignature(7, 0), nullptr);
}

TEST(RccSequenceGeneratorTest, NeverHandsOutZero) {
    int reads = 0;
    RccSequenceGenerator generator([&] { return reads++ < 2 ? 0u : 0xFFFFFFFEu; });
    EXPECT_EQ(reads, 3);
    EXPECT_EQ(generator.next(), 0xFFFFFFFEu);
    EXPECT_EQ(generator.next(), 0xFFFFFFFFu);
    EXPECT_EQ(generator.next(), 1u);
    EXPECT_NE(getSequenceGenerator().next(), 0u);
}

}  // namespace
