// Tables of formulas and the values they give, for the worksheet-function tests.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <string>

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

// A value as shown agrees with the expected text; numbers need only agree to a relative
// tolerance.
inline void ExpectShows(const std::string& got, const char* expected, double tolerance,
                        const std::string& where) {
    char* end = nullptr;
    double x = std::strtod(expected, &end);
    if (*end != '\0' || end == expected || got.empty() || got[0] == 'E') {
        EXPECT_EQ(got, expected) << where;
        return;
    }
    EXPECT_NEAR(std::strtod(got.c_str(), nullptr), x, tolerance * std::max(1.0, std::fabs(x)))
        << where;
}

class FunctionTest : public EngineTest {
protected:
    void Check(std::initializer_list<FunctionCase> cases) {
        for (const FunctionCase& c : cases) {
            EXPECT_EQ(Eval(c.formula), c.expected) << c.formula;
        }
    }
    // The same, but numbers need only agree to a relative `tolerance`: for values of iterative
    // and series routines that stop at a tolerance of about 1e-12 (or 1e-8 on a price).
    void CheckClose(std::initializer_list<FunctionCase> cases, double tolerance = 1e-11) {
        for (const FunctionCase& c : cases) {
            ExpectShows(Eval(c.formula), c.expected, tolerance, c.formula);
        }
    }
};

}  // namespace formula::test
