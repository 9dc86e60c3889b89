#!/usr/bin/env python3
"""Expected values for StatisticalFunctionsTest.cpp, FinancialFunctionsTest.cpp and
MatrixFunctionsTest.cpp, computed by Gnumeric, an independent spreadsheet, not by this engine
(the same ssconvert run as worksheet_reference.py; Debian package gnumeric, not installed by
the build: run this by hand when a table changes).

Run: python3 grid/formula/tests/reference/numeric_families_reference.py [family]

Pairs of our formula and Gnumeric's formula for the same quantity (None: the same text).
Gnumeric's spelling differs where its function has another name, another argument order or
sign, or where a plain expression says what our function means.
"""
import sys

from worksheet_reference import compute, show

STAT_CELLS = {
    "A1": 2, "A2": 4, "A3": 4, "A4": 4, "A5": 5, "A6": 5, "A7": 7, "A8": 9,
    "B1": 1, "B2": 3, "B3": 2, "B4": 5, "B5": 4, "B6": 6, "B7": 8, "B8": 7,
    "C1": "abc", "C2": "7", "C4": 3,
    "E1": 5, "E2": 10, "E3": 15, "E4": 20, "E5": 25, "F1": 10, "F2": 20,
    "G1": 1.5, "G2": 2.5, "G3": 0.5, "G4": 4,
}
STAT = [
    ("=SUM(A1:A8)", None),
    ("=SUM(C1:C4)", None),
    ("=SSQ(A1:A8)", "=SUMSQ(A1:A8)"),
    ("=SSE(A1:A8)", "=DEVSQ(A1:A8)"),
    ("=AVG(A1:A8,C1:C4)", "=AVERAGE(A1:A8,C1:C4)"),
    ("=MSQ(A1:A8)", "=SUMSQ(A1:A8)/8"),
    ("=RMS(A1:A8)", "=SQRT(SUMSQ(A1:A8)/8)"),
    ("=MIN(A1:A8,-1)", None),
    ("=MAX(A1:A8,B1:B8)", None),
    ("=VAR(A1:A8)", "=VARP(A1:A8)"),
    ("=STD(A1:A8)", "=STDEVP(A1:A8)"),
    ("=VARS(A1:A8)", "=VAR(A1:A8)"),
    ("=STDS(B1:B8)", "=STDEV(B1:B8)"),
    ("=GMEAN(A1:A8)", "=GEOMEAN(A1:A8)"),
    ("=HMEAN(A1:A8)", "=HARMEAN(A1:A8)"),
    ("=COUNT(A1:A8,C1:C4,\"x\",1)", "=COUNTA(A1:A8,C1:C4)+2"),
    ("=PRODUCT(A1:A4,-0.5)", None),
    ("=VECLEN(3,4,A1)", "=SQRT(SUMSQ(3,4,A1))"),
    ("=CSUM(A1:A8,#>4)", "=SUMIF(A1:A8,\">4\")"),
    ("=CAVG(A1:A8,#>4)", "=AVERAGEIF(A1:A8,\">4\")"),
    ("=CCOUNT(A1:A8,#==4)", "=COUNTIF(A1:A8,4)"),
    ("=CMAX(A1:A8,#<5)", "=4"),
    ("=CMIN(B1:B8,\"#>2\")", "=3"),
    ("=CVAR(A1:A8,#>2)", "=VARP(A2:A8)"),
    ("=CVARS(A1:A8,#>2)", "=VAR(A2:A8)"),
    ("=CSTD(A1:A8,#>2)", "=STDEVP(A2:A8)"),
    ("=CSTDS(A1:A8,#>2)", "=STDEV(A2:A8)"),
    ("=T(5,2)", "=1-TDIST(2,5,1)"),
    ("=T(5,-2)", "=TDIST(2,5,1)"),
    ("=T(1,0.5)", "=1-TDIST(0.5,1,1)"),
    ("=F(3,7,2.5)", "=1-FDIST(2.5,3,7)"),
    ("=TTEST(A1:A8,4)", "=TDIST(ABS((AVERAGE(A1:A8)-4)/(STDEV(A1:A8)/SQRT(8))),7,2)"),
    ("=PTTEST(A1:A8,B1:B8)", "=TTEST(A1:A8,B1:B8,2,1)"),
    ("=TTEST2EV(A1:A8,B1:B6)", "=TTEST(A1:A8,B1:B6,2,2)"),
    ("=TTEST2UV(A1:A8,B1:B6)", "=TTEST(A1:A8,B1:B6,2,3)"),
    ("=FTEST(A1:A8,B1:B6)", None),
    ("=FTEST(B1:B6,A1:A8)", None),
    ("=ZTEST(A1:A8,4,2)", None),
    ("=ZTEST(A1:A8,6)", "=ZTEST(A1:A8,6,STDEV(A1:A8))"),
    ("=CORR(A1:A8,B1:B8)", "=CORREL(A1:A8,B1:B8)"),
    ("=NORMSDIST(1.5)", None),
    ("=NORMSDIST(-0.3)", None),
    ("=NORMSINV(0.975)", None),
    ("=NORMSINV(0.1)", None),
    ("=NORMDIST(7,5,2,1)", None),
    ("=NORMDIST(7,5,2,0)", None),
    ("=NORMINV(0.9,5,2)", None),
    ("=STANDARDIZE(7,5,2)", None),
    ("=CONFIDENCE(0.05,2,50.7)", "=CONFIDENCE(0.05,2,50)"),
    ("=ERF(0.5)", None),
    ("=ERF(0.5,1.5)", None),
    ("=ERFC(0.5)", None),
    ("=PERCENTILE(A1:A8,0.3)", None),
    ("=QUARTILE(A1:A8,1.9)", "=QUARTILE(A1:A8,1)"),
    ("=MEDIAN(A1:A8,C1:C4)", None),
    ("=LARGE(B1:B8,3)", None),
    ("=SMALL(A1:A8,2.7)", "=SMALL(A1:A8,2)"),
    ("=PERCENTRANK(G1:G4,2)", "=(2-1.5)/(2.5-1.5)/3+1/3"),
    ("=PERCENTRANK(A1:A8,4)", "=1/7"),
    ("=RANK(4,A1:A8)", None),
    ("=RANK(4,A1:A8,1)", None),
    ("=MODE(A1:A8)", None),
    ("=PERMUT(10,3)", None),
    ("=PERMUT(7.9,2.9)", "=PERMUT(7,2)"),
]

FAMILIES = {
    "statistical": (STAT_CELLS, STAT),
}


def main():
    for family in sys.argv[1:] or list(FAMILIES):
        cells, cases = FAMILIES[family]
        values = compute(cells, [g or ours for ours, g in cases])
        print(f"// {family}")
        for (ours, g), v in zip(cases, values):
            note = f"  // {g}" if g else ""
            print(f'{{R"({ours})", "{show(v)}"}},{note}')


if __name__ == "__main__":
    main()
