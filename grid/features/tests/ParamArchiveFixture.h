// The library with only the parameter object's archiving and copying installed, and an object's
// archive bytes stored and loaded back (a load must take every byte).
#pragma once

#include "framework/persist/Archive.h"
#include "grid/core/CGXSysColorCache.h"
#include "grid/core/GXLibraryState.h"
#include "grid/features/CGXGridDocSerializeImp.h"
#include "grid/features/CGXGridParamCopyOperatorImp.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace gxtest {

class ParamArchiveFixture : public ::testing::Test {
protected:
    using Bytes = std::vector<std::uint8_t>;

    void SetUp() override {
        GXTerminateLibrary();
        InstallDocSerializeImp();
        InstallParamCopyOperatorImp();
        CGXSysColorCache::Instance().Update();
    }
    void TearDown() override { GXTerminateLibrary(); }

    template <class T>
    static Bytes Store(T& object) {
        Bytes out;
        fw::Archive ar(fw::StoreTo{out});
        object.Serialize(ar);
        return out;
    }
    template <class T>
    static void Load(T& object, const Bytes& b) {
        fw::Archive ar(fw::LoadFrom{b});
        object.Serialize(ar);
        EXPECT_EQ(ar.Remaining(), 0u);
    }
};

}  // namespace gxtest
