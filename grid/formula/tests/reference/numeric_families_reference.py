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

from worksheet_reference import print_rows

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


FIN_CELLS = {
    "A1": -1000, "A2": 300, "A3": 400, "A4": 500, "A5": 200,
    "B1": 36892, "B2": 36982, "B3": 37073, "B4": 37257, "B5": 37438,
    "C1": 0.05, "C2": 0.06, "C3": 0.07,
}
# Serials: 39493 15 Feb 2008, 42689 15 Nov 2016, 39583 15 May 2008, 39675 15 Aug 2008.
FIN = [
    ("=COUPDAYBS(39493,42689,2,0)", None),
    ("=COUPDAYBS(39493,42689,4,1)", None),
    ("=COUPDAYS(39493,42689,2,0)", None),
    ("=COUPDAYS(39493,42689,2,1)", None),
    ("=COUPDAYSNC(39493,42689,2,1)", None),
    ("=COUPDAYSNC(39493,42689,1,0)", None),
    ("=COUPNUM(39493,42689,2,0)", None),
    ("=COUPNUM(42688,42689,2,0)", None),
    ("=COUPNCD(39493,42689,2,0)", None),
    ("=COUPPCD(39493,42689,4,1)", None),
    ("=COUPPCD(39151,40421,2,1)", None),
    ("=PRICE(39493,42689,0.0575,0.065,100,2,0)", None),
    ("=PRICE(39493,42689,0.08,0.05,105,4,1)", None),
    ("=YIELD(39493,42689,0.0575,95.04287,100,2,0)", None),
    ("=YIELD(39493,42689,0.08,150,100,2,0)", None),
    ("=DURATION(39493,42689,0.08,0.09,2,1)", None),
    ("=MDURATION(39493,42689,0.08,0.09,2,0)", None),
    ("=ACCRINT(39493,39675,39583,0.1,1000,2,0)", None),
    ("=ACCRINTM(39493,39583,0.1,1000,3)", None),
    ("=ODDFPRICE(39763,44256,39736,39873,0.0785,0.0625,100,2,1)", None),
    ("=ODDFYIELD(39763,44256,39736,39873,0.0575,84.5,100,2,0)", None),
    ("=DISC(39107,39248,97.975,100,2)", None),
    ("=INTRATE(39493,39583,1000000,1014420,2)", None),
    ("=PRICEDISC(39493,39583,0.0525,100,2)", None),
    ("=RECEIVED(39493,39583,1000000,0.0575,3)", None),
    ("=PRICEMAT(39493,39551,39397,0.061,0.061,0)", None),
    ("=YIELDMAT(39522,39755,39394,0.0625,100.0123,0)", None),
    ("=TBILLEQ(39538,39600,0.0914)", None),
    ("=TBILLEQ(39538,39738,0.09)", None),
    ("=TBILLYIELD(39538,39600,98.45)", None),
    ("=CUMIPMT(0.0075,360,125000,13,24,0)", "=-CUMIPMT(0.0075,360,125000,13,24,0)"),
    ("=CUMIPMT(0.0075,360,125000,13,24,1)", "=-CUMIPMT(0.0075,360,125000,13,24,1)"),
    ("=CUMPRINC(0.0075,360,125000,13,24,0)", "=-CUMPRINC(0.0075,360,125000,13,24,0)"),
    ("=CUMPRINC(0.0075,360,125000,1,1,1)", "=-CUMPRINC(0.0075,360,125000,1,1,1)"),
    ("=IPMT(0.01,3,36,8000,0)", "=-IPMT(0.01,3,36,8000,0)"),
    ("=IPMT(0.01,2,10,1000,500,1)", "=-IPMT(0.01,2,10,1000,500,1)"),
    ("=PPMT(0.01,3,36,8000,0)", "=-PPMT(0.01,3,36,8000,0)"),
    ("=PPMT(0.01,2,10,1000,500,0)", "=-PPMT(0.01,2,10,1000,500,0)"),
    ("=FV(100,0.05,10)", "=-FV(0.05,10,100)"),
    ("=PV(100,0.05,10)", "=-PV(0.05,10,100)"),
    ("=PMT(1000,0.05,10)", "=-PMT(0.05,10,1000)"),
    ("=RATE(2000,1000,10)", "=RRI(10,1000,2000)"),
    ("=TERM(100,0.05,1000)", "=NPER(0.05,-100,0,1000)"),
    ("=CTERM(0.05,2000,1000)", "=LN(2000/1000)/LN(1.05)"),
    ("=SLN(10000,1000,5)", None),
    ("=SYD(10000,1000,5,2)", None),
    ("=DDB(10000,1000,5,2)", None),
    ("=DDB(10000,1000,5,5)", None),
    ("=DDB(1000,900,5,1)", None),
    ("=VDB(10000,1000,5,1,3)", "=VDB(10000,1000,5,1,3,2,TRUE)"),
    ("=VDB(10000,1000,5,0,5)", "=VDB(10000,1000,5,0,5,2,TRUE)"),
    ("=DB(10000,1000,5,2)", None),
    ("=DB(10000,1000,5,1,7)", None),
    ("=DB(10000,1000,5,3,7)", None),
    ("=MIRR(A1:A5,0.1,0.12)", None),
    ("=IRR(0.1,A1:A5)", "=IRR(A1:A5,0.1)"),
    ("=IRR(-0.5,A1:A5)", "=IRR(A1:A5,-0.5)"),
    ("=XIRR(0.1,A1:A5,B1:B5)", "=XIRR(A1:A5,B1:B5,0.1)"),
    ("=XNPV(0.09,A1:A5,B1:B5)", "=XNPV(0.09,A1:A5,B1:B5)/1.09^(1/365)"),
    ("=EFFECT(0.0525,4)", None),
    ("=EFFECT(0.1,2.5)", "=(1+0.1/2.5)^2.5-1"),
    ("=NOMINAL(0.053543,4)", None),
    ("=FVSCHEDULE(1,C1:C3)", None),
    ("=FVSCHEDULE(100,0.05)", None),
    ("=DOLLARDE(1.02,16)", None),
    ("=DOLLARDE(1.1,32)", None),
    ("=DOLLARFR(1.125,16)", None),
    ("=DOLLARFR(1.09375,32)", None),
]

MATRIX_CELLS = {
    "A1": 4, "B1": 7, "A2": 2, "B2": 6,
    "C1": 1, "D1": 2, "E1": 3, "C2": 4, "D2": 5, "E2": 6,
    "F1": 7, "G1": 8, "F2": 9, "G2": 10, "F3": 11, "G3": 12,
    "H1": 1, "H2": 2, "H3": 3, "H4": 4, "H5": 5,
    "I1": 2.1, "I2": 3.9, "I3": 6.2, "I4": 7.8, "I5": 10.1,
}
# Array results are read one element at a time with INDEX.
LINEST = "LINEST(I1:I5,H1:H5,TRUE,TRUE)"
QUADRATIC = "LINEST(I1:I5,H1:H5^{1,2})"
MATRIX = [
    ("=INVERT(A1:B2)", "=INDEX(MINVERSE(A1:B2),1,1)"),
    ("B1 of =INVERT(A1:B2)", "=INDEX(MINVERSE(A1:B2),1,2)"),
    ("A2 of =INVERT(A1:B2)", "=INDEX(MINVERSE(A1:B2),2,1)"),
    ("=DET(A1:B2)", "=MDETERM(A1:B2)"),
    ("=DET(F1:G2)", "=MDETERM(F1:G2)"),
    ("B2 of =MMUL(C1:E2,F1:G3)", "=INDEX(MMULT(C1:E2,F1:G3),2,2)"),
    ("=DOT(C1:E2,C1:E2)", "=SUMPRODUCT(C1:E2,C1:E2)"),
    ("=SUMPRODUCT(H1:H3,C1:E1)", "=H1*C1+H2*D1+H3*E1"),
    ("=TREND(6,H1:H5,I1:I5)", "=TREND(I1:I5,H1:H5,6)"),
    ("=FORECAST(6,H1:H5,I1:I5)", "=FORECAST(6,I1:I5,H1:H5)"),
    ("row 3 of =LINFIT(H1:H5,I1:I5)", "=INDEX(TREND(I1:I5,H1:H5,H1:H5),3,1)"),
    ("PLS slope", f"=INDEX({LINEST},1,1)"),
    ("PLS intercept", f"=INDEX({LINEST},1,2)"),
    ("PLS s^2", f"=INDEX({LINEST},3,2)^2"),
    ("PLS standard error of the slope", f"=INDEX({LINEST},2,1)"),
    ("PLS R^2", f"=INDEX({LINEST},3,1)"),
    ("PLS F", f"=INDEX({LINEST},4,1)"),
    ("PLS t tail of the intercept",
     f"=TDIST(INDEX({LINEST},1,2)/INDEX({LINEST},2,2),3,2)"),
    ("POLYCOEF x^2", f"=INDEX({QUADRATIC},1,1)"),
    ("POLYCOEF x", f"=INDEX({QUADRATIC},1,2)"),
    ("POLYCOEF 1", f"=INDEX({QUADRATIC},1,3)"),
]

FAMILIES = {
    "statistical": (STAT_CELLS, STAT),
    "financial": (FIN_CELLS, FIN),
    "matrix": (MATRIX_CELLS, MATRIX),
}


def main():
    for family in sys.argv[1:] or list(FAMILIES):
        print_rows(family, *FAMILIES[family])


if __name__ == "__main__":
    main()
