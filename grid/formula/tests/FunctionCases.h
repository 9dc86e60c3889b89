// Tables of formulas and the values they give, for the worksheet-function tests.
#pragma once

#include <initializer_list>

#include "EngineFixture.h"

namespace formula::test {

struct FunctionCase {
    const char* formula;
    const char* expected;  // as EngineTest::Eval shows it: "%.14g", 'text, E<error>, cell A1
};

class FunctionTest : public EngineTest {
protected:
    void Check(std::initializer_list<FunctionCase> cases) {
        for (const FunctionCase& c : cases) {
            EXPECT_EQ(Eval(c.formula), c.expected) << c.formula;
        }
    }
};

}  // namespace formula::test
