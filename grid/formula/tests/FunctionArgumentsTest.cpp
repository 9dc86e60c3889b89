// Wrong argument counts and kinds, for every function of the table (math, logic, text, date,
// lookup, statistical, financial and matrix families), driven by the function table: each
// entry's handler is called directly with one argument fewer than its descriptors require and
// one more than they admit (the parser would refuse both before a handler sees them), and a
// formula passes an argument of the wrong kind. The expected errors follow each function's own
// rules.
#include <map>
#include <set>
#include <string>

#include "FunctionCases.h"
#include "grid/formula/ErrorMessages.h"
#include "grid/formula/WorksheetFunctions.h"

namespace formula {
void GXRegisterMathFunctions(GXHandlerRegistry& registry);
void GXRegisterLogicFunctions(GXHandlerRegistry& registry);
void GXRegisterStringFunctions(GXHandlerRegistry& registry);
void GXRegisterDateFunctions(GXHandlerRegistry& registry);
void GXRegisterLookupFunctions(GXHandlerRegistry& registry);
void GXRegisterStatisticalFunctions(GXHandlerRegistry& registry);
void GXRegisterFinancialFunctions(GXHandlerRegistry& registry);
void GXRegisterMatrixFunctions(GXHandlerRegistry& registry);
}  // namespace formula

namespace formula::test {
namespace {

constexpr int kAccepted = 0;  // the handler gives a result
constexpr int kNone = -1;     // no such call: the count cannot be short of or above the table's

struct ArgumentErrors {
    int tooFew;
    int tooMany;
    const char* wrongKind;  // a formula with an argument of the wrong kind, or null
    int wrongKindError;
};

// One argument: GXNumericArgument's count and kind errors.
constexpr ArgumentErrors kOneNumber{165, 165, nullptr, 98};

const std::map<std::string, ArgumentErrors, std::less<>>& Expected() {
    static const std::map<std::string, ArgumentErrors, std::less<>> table = {
        // Math.
        {"ABS", kOneNumber},
        {"ACOS", kOneNumber},
        {"ASIN", kOneNumber},
        {"ATAN", kOneNumber},
        {"CEIL", kOneNumber},
        {"COS", kOneNumber},
        {"COSH", kOneNumber},
        {"DEGREES", kOneNumber},
        {"EXP", kOneNumber},
        {"FACT", kOneNumber},
        {"FLOOR", kOneNumber},
        {"FRAC", kOneNumber},
        {"GAMMA", kOneNumber},
        {"INT", kOneNumber},
        {"LN", kOneNumber},
        {"LNGAMMA", kOneNumber},
        {"LOG", kOneNumber},
        {"LOG10", kOneNumber},
        {"LOG2", kOneNumber},
        {"RADIANS", kOneNumber},
        {"SIGMOID", kOneNumber},
        {"SIN", kOneNumber},
        {"SINH", kOneNumber},
        {"SQRT", kOneNumber},
        {"TAN", kOneNumber},
        {"TANH", kOneNumber},
        {"ATAN2", {165, 165, "=ATAN2(A1:A2,1)", 98}},
        {"MOD", {165, 165, "=MOD(1,A1:A2)", 98}},
        {"MODULUS", {165, 165, "=MODULUS(A1:A2,1)", 98}},
        {"ROUND", {165, 165, "=ROUND(1,A1:A2)", 98}},
        {"PI", {kNone, 71, nullptr, 0}},
        {"TRUE", {kNone, 71, nullptr, 0}},
        {"FALSE", {kNone, 71, nullptr, 0}},
        {"RAND", {kNone, 71, nullptr, 0}},
        {"GRAND", {kNone, 71, nullptr, 0}},
        {"POLY", {114, kNone, "=POLY(A1:A2,1)", 98}},
        {"IF", {165, 165, "=IF(A1:A2,1,2)", 98}},
        // Logic.
        {"AND", {kAccepted, kNone, "=AND(\"a\")", 98}},
        {"OR", {kAccepted, kNone, "=OR(NA())", 98}},
        {"NAND", {kAccepted, kNone, "=NAND(\"a\")", 98}},
        {"NOR", {kAccepted, kNone, "=NOR(\"a\")", 98}},
        {"XOR", {kAccepted, kNone, "=XOR(\"a\")", 98}},
        {"NOT", {159, 160, "=NOT(A1:A2)", 98}},
        {"INIT", {165, 165, nullptr, 0}},
        {"ISNUMBER", {165, 165, "=ISNUMBER(A1:A2)", 98}},
        {"ISSTRING", {165, 165, "=ISSTRING(A1:A2)", 98}},
        {"ISERROR", {165, 165, "=ISERROR(A1:A2)", 98}},
        {"FILEEXISTS", {165, 165, "=FILEEXISTS(1)", 98}},
        {"MESSAGE", {165, 165, "=MESSAGE(1,2)", 98}},
        {"REGEX", {165, 165, "=REGEX(1,\"a\")", 98}},
        // Text.
        {"CHAR", {165, 165, "=CHAR(A1:A2)", 98}},
        {"CODE", {165, 165, "=CODE(1)", 98}},
        {"CLEAN", {165, 165, "=CLEAN(1)", 98}},
        {"EXACT", {165, 165, "=EXACT(\"a\",1)", 98}},
        {"FIND", {165, 165, "=FIND(\"a\",\"a\",A1:A2)", 98}},
        {"HEXTONUM", {165, 165, "=HEXTONUM(1)", 98}},
        {"NUMTOHEX", {165, 165, "=NUMTOHEX(A1:A2)", 98}},
        {"LEFT", {165, 165, "=LEFT(1,1)", 98}},
        {"RIGHT", {165, 165, "=RIGHT(\"a\",A1:A2)", 98}},
        {"MID", {165, 165, "=MID(\"a\",A1:A2,1)", 98}},
        {"LENGTH", {165, 165, "=LENGTH(1)", 98}},
        {"LOWER", {165, 165, "=LOWER(A1:A2)", 98}},
        {"UPPER", {165, 165, "=UPPER(NA())", 98}},
        {"PROPER", {165, 165, "=PROPER(A1:A2)", 98}},
        {"REPEAT", {165, 165, "=REPEAT(1,1)", 98}},
        {"REPLACE", {165, 165, "=REPLACE(\"a\",0,0,1)", 98}},
        {"TRIM", {165, 165, "=TRIM(1)", 98}},
        {"VALUE", {165, 165, "=VALUE(1)", 98}},
        {"STRING", {165, 165, "=STRING(1,A1:A2)", 98}},
        {"S", {165, 165, nullptr, 0}},
        {"N", {165, 165, nullptr, 0}},
        {"STRLEN", {kAccepted, kNone, "=STRLEN(1)", 98}},
        {"STRCAT", {kAccepted, kNone, "=STRCAT(NA())", 98}},
        {"TSV", {kAccepted, kNone, "=TSV(NA())", 98}},
        // Date and time.
        {"DATE", {165, 165, "=DATE(A1:A2,1,1)", 56}},
        {"TIME", {165, 165, "=TIME(1,A1:A2,1)", 56}},
        {"DAY", kOneNumber},
        {"MONTH", kOneNumber},
        {"YEAR", kOneNumber},
        {"HOUR", kOneNumber},
        {"MINUTE", kOneNumber},
        {"SECOND", kOneNumber},
        {"NOW", {kNone, 71, nullptr, 0}},
        {"TODAY", {kNone, 71, nullptr, 0}},
        {"DATEVALUE", {165, 165, "=DATEVALUE(1)", 98}},
        {"TIMEVALUE", {165, 165, "=TIMEVALUE(1)", 98}},
        {"DAYS360", {165, 165, "=DAYS360(\"a\",1)", 98}},
        {"EDATE", {165, 165, "=EDATE(\"a\",1)", 98}},
        {"EOMONTH", {165, 165, "=EOMONTH(1,A1:A2)", 98}},
        {"WEEKDAY", {165, 165, "=WEEKDAY(A1:A2)", 98}},
        {"YEARFRAC", {165, 165, "=YEARFRAC(A1:A2,1)", 98}},
        {"NETWORKDAYS", {159, 160, "=NETWORKDAYS(1,2,NA())", 98}},
        {"WORKDAY", {159, 160, "=WORKDAY(1,A1:A2)", 98}},
        // Lookup and reference.
        {"@", {165, 165, "=@@(1)", 98}},
        {"CELLREF", {165, 165, "=CELLREF(A1:A2,1)", 98}},
        {"RANGEREF", {165, 165, "=RANGEREF(0,1,0,A1:A2)", 98}},
        // INDEX takes one argument too (the range itself); the number given here is no range.
        {"INDEX", {98, kNone, "=INDEX(1,1)", 98}},
        {"INTERSECT", {165, 165, "=INTERSECT(1,A1)", 98}},
        {"ROW", {kNone, 160, "=ROW(1)", 98}},
        {"COL", {kNone, 160, "=COL(\"A1\")", 98}},
        {"ROWS", {165, 165, "=ROWS(1)", 98}},
        {"COLS", {kNone, 165, "=COLS(1)", 98}},
        {"CELLINFO", {165, 165, "=CELLINFO(1,A1)", 98}},
        {"NA", {kNone, 71, nullptr, 0}},
        {"CHOOSE", {155, kNone, "=CHOOSE(A1:A2,1)", 85}},
        {"VLOOKUP", {165, 165, "=VLOOKUP(1,2,0)", 98}},
        {"HLOOKUP", {165, 165, "=HLOOKUP(1,A1:A2,A1:A2)", 98}},
        {"MATCH", {159, 160, "=MATCH(A1:A2,A1:A2)", 98}},
        // Statistical: lists take any count; an empty list gives the family's own error.
        {"SUM", {kAccepted, kNone, nullptr, 0}},
        {"VSUM", {kAccepted, kNone, nullptr, 0}},
        {"SSQ", {kAccepted, kNone, nullptr, 0}},
        {"VECLEN", {kAccepted, kNone, nullptr, 0}},
        {"COUNT", {kAccepted, kNone, nullptr, 0}},
        {"PRODUCT", {kAccepted, kNone, nullptr, 0}},
        {"MEDIAN", {kAccepted, kNone, nullptr, 0}},
        {"SSE", {145, kNone, nullptr, 0}},
        {"VAR", {145, kNone, nullptr, 0}},
        {"STD", {145, kNone, nullptr, 0}},
        {"VARS", {154, kNone, nullptr, 0}},
        {"STDS", {154, kNone, nullptr, 0}},
        {"AVG", {153, kNone, nullptr, 0}},
        {"MSQ", {153, kNone, nullptr, 0}},
        {"RMS", {153, kNone, nullptr, 0}},
        {"MIN", {153, kNone, nullptr, 0}},
        {"MAX", {153, kNone, nullptr, 0}},
        {"GMEAN", {153, kNone, nullptr, 0}},
        {"HMEAN", {153, kNone, nullptr, 0}},
        {"MODE", {300, kNone, nullptr, 0}},
        // Conditional aggregates: without a condition nothing is walked.
        {"CSUM", {kAccepted, kNone, "=CSUM(1,#>0)", 98}},
        {"CCOUNT", {kAccepted, kNone, "=CCOUNT(\"A1\",#>0)", 98}},
        {"CAVG", {153, kNone, "=CAVG(A1,2,#>0)", 98}},
        {"CMIN", {153, kNone, "=CMIN(1,#>0)", 98}},
        {"CMAX", {153, kNone, "=CMAX(1,#>0)", 98}},
        {"CVAR", {145, kNone, "=CVAR(1,#>0)", 98}},
        {"CSTD", {145, kNone, "=CSTD(1,#>0)", 98}},
        {"CVARS", {154, kNone, "=CVARS(1,#>0)", 98}},
        {"CSTDS", {154, kNone, "=CSTDS(1,#>0)", 98}},
        {"T", {165, 165, "=T(A1:A2,1)", 98}},
        {"F", {165, 165, "=F(1,A1:A2,1)", 98}},
        {"TTEST", {165, 165, "=TTEST(1,1)", 98}},
        {"PTTEST", {165, 165, "=PTTEST(A1:A2,1)", 98}},
        {"TTEST2EV", {165, 165, "=TTEST2EV(1,A1:A2)", 98}},
        {"TTEST2UV", {165, 165, "=TTEST2UV(1,A1:A2)", 98}},
        {"FTEST", {165, 165, "=FTEST(1,A1:A2)", 98}},
        {"ZTEST", {165, 165, "=ZTEST(A1:A2,A1:A2)", 98}},
        {"CORR", {165, 165, "=CORR(1,A1:A2)", 98}},
        {"NORMSDIST", {165, 165, "=NORMSDIST(A1:A2)", 98}},
        {"NORMSINV", {165, 165, "=NORMSINV(A1:A2)", 98}},
        {"NORMDIST", {165, 165, "=NORMDIST(1,0,1,A1:A2)", 98}},
        {"NORMINV", {165, 165, "=NORMINV(0.5,A1:A2,1)", 98}},
        {"STANDARDIZE", {165, 165, "=STANDARDIZE(1,0,A1:A2)", 98}},
        {"CONFIDENCE", {165, 165, "=CONFIDENCE(0.5,1,A1:A2)", 98}},
        {"ERF", {165, 165, "=ERF(1,A1:A2)", 56}},
        {"ERFC", {165, 165, "=ERFC(A1:A2)", 56}},
        {"PERCENTILE", {165, 165, "=PERCENTILE(A1:A2,A1:A2)", 98}},
        {"QUARTILE", {165, 165, "=QUARTILE(\"x\",1)", 98}},
        {"PERCENTRANK", {165, 165, "=PERCENTRANK(A1:A2,A1:A2)", 98}},
        {"LARGE", {165, 165, "=LARGE(1,1)", 98}},
        {"SMALL", {165, 165, "=SMALL(A1:A2,A1:A2)", 98}},
        {"RANK", {165, 165, "=RANK(1,2)", 98}},
        {"FREQUENCY", {165, 165, "=FREQUENCY(1,A1:A2)", 58}},
        {"PERMUT", {165, 165, "=PERMUT(A1:A2,1)", 98}},
        // Financial: numbers or 56, except where a function names its own code.
        {"ACCRINT", {165, 165, "=ACCRINT(1,2,3,0.1,A1:A2,2)", 56}},
        {"ACCRINTM", {165, 165, "=ACCRINTM(1,A1:A2,0.1,1)", 56}},
        {"COUPDAYBS", {165, 165, "=COUPDAYBS(A1:A2,42689,2)", 56}},
        {"COUPDAYS", {165, 165, "=COUPDAYS(1,A1:A2,2)", 56}},
        {"COUPDAYSNC", {165, 165, "=COUPDAYSNC(1,9,A1:A2)", 56}},
        {"COUPNCD", {165, 165, "=COUPNCD(1,9,2,A1:A2)", 56}},
        {"COUPNUM", {165, 165, "=COUPNUM(A1:A2,9,2)", 56}},
        {"COUPPCD", {165, 165, "=COUPPCD(A1:A2,9,2)", 56}},
        {"CTERM", {165, 165, "=CTERM(0.1,1,A1:A2)", 56}},
        {"CUMIPMT", {165, 165, "=CUMIPMT(0.1,10,100,1,2,A1:A2)", 56}},
        {"CUMPRINC", {165, 165, "=CUMPRINC(A1:A2,10,100,1,2,0)", 56}},
        {"DB", {165, 165, "=DB(100,1,5,1,A1:A2)", 56}},
        {"DDB", {165, 165, "=DDB(100,1,A1:A2,1)", 56}},
        {"DISC", {165, 165, "=DISC(1,9,A1:A2,100)", 56}},
        {"DOLLARFR", {165, 165, "=DOLLARFR(A1:A2,16)", 56}},
        {"DURATION", {165, 165, "=DURATION(1,9,0.05,0.05,2,A1:A2)", 56}},
        {"FV", {165, 165, "=FV(A1:A2,0.1,10)", 56}},
        {"FVSCHEDULE", {165, 165, "=FVSCHEDULE(A1:A2,1)", 56}},
        {"INTRATE", {165, 165, "=INTRATE(1,9,A1:A2,100)", 56}},
        {"IPMT", {165, 165, "=IPMT(0.1,1,10,100,A1:A2)", 56}},
        {"MDURATION", {165, 165, "=MDURATION(1,9,A1:A2,0.05,2)", 56}},
        {"NOMINAL", {165, 165, "=NOMINAL(A1:A2,1)", 56}},
        {"ODDFPRICE", {165, 165, "=ODDFPRICE(5,99,1,9,0.05,0.05,100,A1:A2)", 56}},
        {"ODDFYIELD", {165, 165, "=ODDFYIELD(5,99,1,9,A1:A2,95,100,2)", 56}},
        {"PMT", {165, 165, "=PMT(100,0.1,A1:A2)", 56}},
        {"PPMT", {165, 165, "=PPMT(0.1,1,A1:A2,100,0)", 56}},
        {"PRICE", {165, 165, "=PRICE(1,9,0.05,A1:A2,100,2)", 56}},
        {"PRICEDISC", {165, 165, "=PRICEDISC(1,9,0.1,A1:A2)", 56}},
        {"PRICEMAT", {165, 165, "=PRICEMAT(5,9,1,0.1,A1:A2)", 56}},
        {"PV", {165, 165, "=PV(100,A1:A2,10)", 56}},
        {"RATE", {165, 165, "=RATE(A1:A2,1,1)", 56}},
        {"RECEIVED", {165, 165, "=RECEIVED(1,9,A1:A2,0.1)", 56}},
        {"SLN", {165, 165, "=SLN(A1:A2,1,5)", 56}},
        {"SYD", {165, 165, "=SYD(100,1,5,A1:A2)", 56}},
        {"TBILLEQ", {165, 165, "=TBILLEQ(1,9,A1:A2)", 56}},
        {"TBILLYIELD", {165, 165, "=TBILLYIELD(A1:A2,9,98)", 56}},
        {"TERM", {165, 165, "=TERM(1,A1:A2,1)", 56}},
        {"VDB", {165, 165, "=VDB(100,1,5,A1:A2,2)", 56}},
        {"YIELD", {165, 165, "=YIELD(1,9,0.05,95,100,A1:A2)", 56}},
        {"YIELDMAT", {165, 165, "=YIELDMAT(5,9,1,A1:A2,99)", 56}},
        {"EFFECT", {165, 165, "=EFFECT(0.1,A1:A2)", 98}},
        {"DOLLARDE", {165, 165, "=DOLLARDE(A1:A2,16)", 98}},
        {"MIRR", {165, 165, "=MIRR(A1:A2,A1:A2,0.1)", 98}},
        {"IRR", {165, 165, "=IRR(A1:A2,A1:A2)", 98}},
        {"XNPV", {165, 165, "=XNPV(A1:A2,A1:A2,A1:A2)", 84}},
        {"XIRR", {165, 165, "=XIRR(A1:A2,A1:A2,A1:A2)", 84}},
        // Matrix: ranges, else 98.
        {"TRANSPOSE", {165, 165, "=TRANSPOSE(1)", 98}},
        {"INVERT", {165, 165, "=INVERT(\"A1\")", 98}},
        {"DET", {165, 165, "=DET(1)", 98}},
        {"EIGEN", {165, 165, "=EIGEN(1)", 98}},
        {"MMUL", {165, 165, "=MMUL(1,A1:A2)", 98}},
        {"DOT", {165, 165, "=DOT(A1:A2,1)", 98}},
        {"SUMPRODUCT", {165, 165, "=SUMPRODUCT(1,A1:A2)", 98}},
        {"TREND", {165, 165, "=TREND(1,2,A1:A2)", 98}},
        {"FORECAST", {165, 165, "=FORECAST(A1:A2,A1:A2,A1:A2)", 98}},
        {"LINFIT", {165, 165, "=LINFIT(1,A1:A2)", 98}},
        {"PLS", {165, 165, "=PLS(A1:A2,A1:A2,A1:A2)", 98}},
        {"POLYCOEF", {165, 165, "=POLYCOEF(A1:A2,1,2)", 98}},
        {"LLS", {165, 165, "=LLS(1,A1:A2)", 98}},
        {"INTERP2D", {165, 165, "=INTERP2D(1,A1:A2,1)", 98}},
        {"INTERP3D", {165, 165, "=INTERP3D(1,A1,A2)", 98}},
        {"FFT", {165, 165, "=FFT(1)", 98}},
        {"INVFFT", {165, 165, "=INVFFT(1)", 98}},
        {"DFT", {165, 165, "=DFT(1)", 98}},
        {"INVDFT", {165, 165, "=INVDFT(1)", 98}},
    };
    return table;
}

std::set<std::string> FamilyNames() {
    GXHandlerRegistry registry;
    GXRegisterMathFunctions(registry);
    GXRegisterLogicFunctions(registry);
    GXRegisterStringFunctions(registry);
    GXRegisterDateFunctions(registry);
    GXRegisterLookupFunctions(registry);
    GXRegisterStatisticalFunctions(registry);
    GXRegisterFinancialFunctions(registry);
    GXRegisterMatrixFunctions(registry);
    std::set<std::string> names;
    for (const auto& [name, handler] : registry.Handlers()) {
        names.insert(name);
    }
    return names;
}

class FunctionArgumentsTest : public FunctionTest {
protected:
    // Calls the entry's handler with `count` number arguments inside the sheet's evaluation
    // context; the error it raises, or kAccepted.
    int CallWithCount(const GXWorksheetFunctionEntry& entry, int count) {
        GXCallFrame frame;
        frame.entry = &entry;
        frame.count = count;
        frame.args.assign(static_cast<size_t>(count) + 1, GXValue::Number(1));
        GX_EVAL_STATE& state = GXGetEvalState();
        state = GX_EVAL_STATE{};
        state.sheet = sheet;
        state.sheetPtr = &Sheet();
        state.row = 100;
        state.col = 25;
        state.active = true;
        state.functionName = entry.name;
        state.frame = &frame;
        int error = kAccepted;
        try {
            GXValue result;
            entry.handler(result, frame);
        } catch (const GXRaised& raised) {
            error = raised.number;
        }
        state = GX_EVAL_STATE{};
        return error;
    }
};

TEST_F(FunctionArgumentsTest, EveryFunctionRefusesWrongCountsAndKinds) {
    Set("A1", "1");
    Set("A2", "2");
    std::set<std::string> families = FamilyNames();
    std::set<std::string> seen;
    for (const GXWorksheetFunctionEntry& e : GXBuiltinFunctionTable()) {
        if (families.count(e.name) == 0) {
            continue;
        }
        seen.insert(e.name);
        auto expected = Expected().find(e.name);
        ASSERT_NE(expected, Expected().end()) << e.name << " has no row";
        const ArgumentErrors& errors = expected->second;
        auto [required, optional, repeating] = ArgumentBoundsOf(e);
        const GXWorksheetFunctionEntry* installed = GXLookupWorksheetFunction(e.name);
        ASSERT_NE(installed, nullptr);
        ASSERT_NE(installed->handler, nullptr) << e.name;
        EXPECT_EQ(required > 0 ? CallWithCount(*installed, required - 1) : kNone, errors.tooFew)
            << e.name << " with " << required - 1 << " arguments";
        EXPECT_EQ(repeating ? kNone : CallWithCount(*installed, required + optional + 1),
                  errors.tooMany)
            << e.name << " with " << required + optional + 1 << " arguments";
        if (errors.wrongKind != nullptr) {
            EXPECT_EQ(Eval(errors.wrongKind), "E" + std::to_string(errors.wrongKindError))
                << errors.wrongKind;
        }
    }
    EXPECT_EQ(seen, families);
    EXPECT_EQ(seen.size(), Expected().size());
}

}  // namespace
}  // namespace formula::test
