// Tables of formulas and the values they give, for the worksheet-function tests.
#pragma once

#include <initializer_list>

#include "EngineFixture.h"
#include "grid/formula/WorksheetFunctions.h"

namespace formula::test {

struct FunctionCase {
    const char* formula;
    const char* expected;  // as EngineTest::Eval shows it: "%.14g", 'text, E<error>, cell A1
};

// How many arguments an entry's descriptors require and admit; a repeating descriptor counts
// as one required argument and admits any number more.
struct ArgumentBounds {
    int required = 0;
    int optional = 0;
    bool repeating = false;
};

inline ArgumentBounds ArgumentBoundsOf(const GXWorksheetFunctionEntry& e) {
    ArgumentBounds b;
    for (int i = 0; i < e.argCount; ++i) {
        uint32_t presence = e.args[i].flags & GX_ARGF_PRESENCE_MASK;
        b.optional += presence == GX_ARGF_OPTIONAL;
        b.required += presence != GX_ARGF_OPTIONAL;
        b.repeating = b.repeating || presence == GX_ARGF_REPEATING;
    }
    return b;
}

class FunctionTest : public EngineTest {
protected:
    void Check(std::initializer_list<FunctionCase> cases) {
        for (const FunctionCase& c : cases) {
            EXPECT_EQ(Eval(c.formula), c.expected) << c.formula;
        }
    }
};

}  // namespace formula::test
