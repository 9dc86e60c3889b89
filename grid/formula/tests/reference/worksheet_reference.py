#!/usr/bin/env python3
"""Expected values for the worksheet-function tables (MathFunctionsTest.cpp,
DateFunctionsTest.cpp, LookupFunctionsTest.cpp), computed by Gnumeric, an independent
spreadsheet, not by this engine. Needs Gnumeric's ssconvert (Debian package gnumeric), which
the build does not install: run it by hand when a table changes.

Run: python3 grid/formula/tests/reference/worksheet_reference.py [family]

Each family has a sheet fixture (the same cells the C++ test sets up) and pairs of our formula
and Gnumeric's formula for the same quantity; Gnumeric's spelling differs where its function
has another name, counts from 1 where ours counts from 0, or where a plain expression says what
our function means. The output lines are the table rows, values printed as "%.14g" like the
engine's own display, texts with a leading "'".
"""
import csv
import os
import subprocess
import sys
import tempfile

MATH_CELLS = {"A1": 10, "A2": 20, "A3": "abc", "B1": 1, "B2": 0, "B3": 2}
MATH = [
    ("=ABS(-2.5)", None),
    ("=ACOS(0.5)", None),
    ("=ASIN(-1)", None),
    ("=ATAN(1)", None),
    ("=ATAN2(1,1)", None),
    ("=ATAN2(0,1)", None),
    ("=ATAN2(-1,0)", None),
    ("=COS(1)", None),
    ("=COSH(1)", None),
    ("=SIN(1)", None),
    ("=SINH(1)", None),
    ("=TAN(1)", None),
    ("=TANH(0.5)", None),
    ("=EXP(1)", None),
    ("=DEGREES(PI())", None),
    ("=RADIANS(180)", None),
    ("=LN(10)", None),
    ("=LOG(1000)", None),
    ("=LOG10(0.01)", None),
    ("=LOG2(8)", None),
    ("=SQRT(16)", None),
    ("=INT(2.7)", None),
    ("=INT(-2.7)", "=TRUNC(-2.7)"),
    ("=FRAC(-2.75)", "=-2.75-TRUNC(-2.75)"),
    ("=CEIL(2.1)", None),
    ("=CEIL(-2.1)", None),
    ("=FLOOR(-2.1)", "=INT(-2.1)"),
    ("=FLOOR(2.9)", "=INT(2.9)"),
    ("=SIGMOID(2)", "=1/(EXP(2)+1)"),
    ("=GAMMA(0.5)", None),
    ("=GAMMA(5)", None),
    ("=GAMMA(10.5)", None),
    ("=LNGAMMA(10)", "=GAMMALN(10)"),
    ("=LNGAMMA(0.3)", "=GAMMALN(0.3)"),
    ("=FACT(0)", None),
    ("=FACT(5)", None),
    ("=FACT(20)", None),
    ("=FACT(21)", None),
    ("=FACT(170)", None),
    ("=MOD(-7,3)", "=-7-3*TRUNC(-7/3)"),
    ("=MOD(7,-3)", "=7-(-3)*TRUNC(7/-3)"),
    ("=MOD(-6,3)", None),
    ("=MOD(5.5,2)", None),
    ("=MODULUS(-7,3)", "=MOD(-7,3)"),
    ("=MODULUS(7,-3)", "=MOD(7,-3)"),
    ("=ROUND(2.5,0)", None),
    ("=ROUND(-2.5,0)", None),
    ("=ROUND(1234.5678,-2)", None),
    ("=ROUND(3.14159,2)", None),
    ("=ROUND(-0.4,0)", None),
    ("=PI()", None),
    ("=POLY(2,1,2,3)", "=1*2^2+2*2+3"),
    ("=POLY(3,A1:A2)", "=A1*3+A2"),
    ("=IF(1,\"yes\",\"no\")", None),
    ("=IF(0,1,2)", None),
    ("=ISNUMBER(A1)", None),
    ("=ISNUMBER(A3)", None),
    ("=ISSTRING(A3)", "=ISTEXT(A3)"),
    ("=ISSTRING(A1)", "=ISTEXT(A1)"),
    ("=CHAR(65)", None),
    ("=CODE(\"A\")", None),
    ("=CLEAN(\"a\\tb\")", "=CLEAN(\"a\"&CHAR(9)&\"b\")"),
    ("=EXACT(\"a\",\"a\")", "=IF(EXACT(\"a\",\"a\"),1,0)"),
    ("=EXACT(\"a\",\"A\")", "=IF(EXACT(\"a\",\"A\"),1,0)"),
    ("=FIND(\"b\",\"abc\",0)", "=FIND(\"b\",\"abc\",1)-1"),
    ("=FIND(\"c\",\"abcabc\",3)", "=FIND(\"c\",\"abcabc\",4)-1"),
    ("=HEXTONUM(\"ff\")", "=HEX2DEC(\"ff\")"),
    ("=HEXTONUM(\"7fffffff\")", "=HEX2DEC(\"7fffffff\")"),
    ("=NUMTOHEX(255)", "=LOWER(DEC2HEX(255))"),
    ("=NUMTOHEX(-1)", "=LOWER(DEC2HEX(4294967295))"),
    ("=LEFT(\"abc\",2)", None),
    ("=LEFT(\"abc\",5)", None),
    ("=RIGHT(\"abc\",2)", None),
    ("=MID(\"abc\",2,5)", None),
    ("=LENGTH(\"hello\")", "=LEN(\"hello\")"),
    ("=LOWER(\"AbC\")", None),
    ("=UPPER(\"AbC\")", None),
    ("=PROPER(\"hello wORLD\")", None),
    ("=REPEAT(\"ab\",3)", "=REPT(\"ab\",3)"),
    ("=REPLACE(\"abcdef\",2,3,\"X\")", "=REPLACE(\"abcdef\",3,3,\"X\")"),
    ("=REPLACE(\"abc\",5,1,\"X\")", "=\"abc\"&\"X\""),
    ("=TRIM(\"  a   b  \")", None),
    ("=VALUE(\"12.5\")", None),
    ("=STRING(3.14159,2)", "=FIXED(3.14159,2,TRUE)"),
    ("=STRING(-1234.5678,3)", "=FIXED(-1234.5678,3,TRUE)"),
    ("=S(A3)", "=T(A3)"),
    ("=S(\"abc\")", "=T(\"abc\")"),
    ("=N(A1)", None),
    ("=N(A3)", None),
    ("=STRLEN(\"ab\",A1,A3)", "=LEN(\"ab\")+LEN(A1)+LEN(A3)"),
    ("=STRCAT(\"a\",1.5,A1,A3)", "=CONCATENATE(\"a\",1.5,A1,A3)"),
]

DATE_CELLS = {"A1": 36526, "A2": 36528, "A3": 36529}
DATE = [
    ("=DATE(2000,1,1)", None),
    ("=DATE(100,1,1)", None),
    ("=DATE(1900,3,1)", None),
    ("=DATE(2099,12,31)", None),
    ("=DATE(2024,2,29.9)", None),
    ("=TIME(12,30,0)", None),
    ("=TIME(23,59,59)", None),
    ("=DAY(36585)", None),
    ("=MONTH(36585)", None),
    ("=YEAR(36526)", "=YEAR(36526)-1900"),
    ("=YEAR(73050)", "=YEAR(73050)-1900"),
    ("=HOUR(0.75)", None),
    ("=HOUR(36526.999)", None),
    ("=MINUTE(0.5104166667)", None),
    ("=SECOND(TIME(1,2,3))", None),
    ("=DATEVALUE(\"2000-01-01\")", None),
    ("=DATEVALUE(\"2024-02-29\")", None),
    ("=TIMEVALUE(\"12:30:00\")", None),
    ("=TIMEVALUE(\"6:15\")", None),
    ("=DAYS360(DATE(2001,1,31),DATE(2001,3,1))", None),
    ("=DAYS360(DATE(2001,1,30),DATE(2001,3,31))", None),
    ("=DAYS360(DATE(2000,1,1),DATE(2001,1,1))", None),
    ("=EDATE(DATE(2001,1,31),1)", None),
    ("=EDATE(DATE(2000,2,29),12)", None),
    ("=EDATE(DATE(2001,2,28),1)", None),
    ("=EDATE(DATE(2001,3,15),-14)", None),
    ("=EOMONTH(DATE(2001,1,15),-1)", None),
    ("=EOMONTH(DATE(2000,1,31),1)", None),
    ("=EOMONTH(DATE(2001,1,15),25)", None),
    ("=WEEKDAY(36526)", None),
    ("=WEEKDAY(36527)", None),
    ("=YEARFRAC(36526,36526)", "=1/360"),
    ("=YEARFRAC(36526,36891,0)", "=(DAYS360(36526,36891)+1)/360"),
    ("=YEARFRAC(36526,36891,1)", "=(36891-36526+1)/366"),
    ("=YEARFRAC(36892,36526,3)", "=ABS(36526-36892+1)/365"),
    ("=YEARFRAC(36526,36891,2)", "=(36891-36526+1)/360"),
    # Monday 3 January 2000 to Friday 7 January; holidays in A1:A3 (Sat 1, Mon 3, Tue 4).
    ("=NETWORKDAYS(36528,36532)", None),
    ("=NETWORKDAYS(36528,36532,A3)", None),
    ("=NETWORKDAYS(36528,36532,A1:A3)", None),
    ("=NETWORKDAYS(36540,36550,A1:A3)", None),
    ("=NETWORKDAYS(36532,36528)", None),
]
# NETWORKDAYS for every start weekday (Saturday 1 January 2000 on) and spans of 0 to 15 days,
# printed as one row of counts per start day.
SPANS = (0, 1, 2, 5, 6, 7, 8, 13, 15)
WEEK = [(f"=NETWORKDAYS({start},{start + span})", None)
        for start in range(36526, 36533) for span in SPANS]
# WORKDAY: our count includes the start when it is a working day; Gnumeric's starts after it.
DATE += [
    ("=WORKDAY(36528,1)", "=WORKDAY(36528,0)"),
    ("=WORKDAY(36528,2)", "=WORKDAY(36528,1)"),
    ("=WORKDAY(36528,-2)", "=WORKDAY(36528,-1)"),
    ("=WORKDAY(36526,1)", "=WORKDAY(36526,1)"),
    ("=WORKDAY(36526,-1)", "=WORKDAY(36526,-1)"),
    ("=WORKDAY(36528,10,A1:A3)", "=WORKDAY(36528,10,A1:A3)"),
]

LOOKUP_CELLS = {"A1": 10, "A2": 20, "A3": 30, "B1": "ten", "B2": "twenty", "B3": "thirty",
                "C1": 1, "C2": 2, "C3": 3, "D1": "x", "D2": "abc", "D3": "abd",
                "E1": 1, "E3": 3, "E4": 5}
LOOKUP = [
    ("=VLOOKUP(15,A1:C3,1)", "=VLOOKUP(15,A1:C3,2)"),
    ("=VLOOKUP(20,A1:C3,2)", "=VLOOKUP(20,A1:C3,3)"),
    ("=VLOOKUP(35,A1:C3,1)", "=VLOOKUP(35,A1:C3,2)"),
    ("=VLOOKUP(30,A1:C3,0)", "=VLOOKUP(30,A1:C3,1)"),
    ("=VLOOKUP(\"abd\",D1:D3,0)", "=VLOOKUP(\"abd\",D1:D3,1,FALSE)"),
    ("=HLOOKUP(2,C1:E1,0)", "=HLOOKUP(2,C1:E1,1)"),
    ("=HLOOKUP(\"thirty\",B3:C3,0)", "=HLOOKUP(\"thirty\",B3:C3,1,FALSE)"),
    ("=HLOOKUP(10,A1:A3,2)", "=HLOOKUP(10,A1:A3,3)"),
    ("=MATCH(20,A1:A3,0)", None),
    ("=MATCH(25,A1:A3,1)", None),
    ("=MATCH(25,A1:A3)", None),
    ("=MATCH(\"a*\",D1:D3,0)", None),
    ("=MATCH(\"ab?\",D1:D3,0)", None),
    ("=MATCH(2,C1:C3,-1)", None),
    ("=ROW(B3)", None),
    ("=ROWS(A1:C3)", None),
    ("=COLS(A1:C3)", "=COLUMNS(A1:C3)"),
    ("=COL(C2)", "=COLUMN(C2)-1"),
    ("=CHOOSE(0,\"a\",\"b\")", "=CHOOSE(1,\"a\",\"b\")"),
    ("=CHOOSE(1.9,\"a\",\"b\")", "=CHOOSE(2.9,\"a\",\"b\")"),
    ("=SUM(INDEX(A1:C3,2,3))", None),
    ("=SUM(INDEX(A1:C3,0,3))", "=SUM(C1:C3)"),
    ("=SUM(INDEX(A1:C3,2,0))", "=SUM(A2:C2)"),
    ("=SUM(INDEX(A1:A3,3))", None),
    ("=SUM(@@(\"A1..A3\"))", "=SUM(INDIRECT(\"A1:A3\"))"),
    ("=CELLINFO(\"row\",C2)", "=CELL(\"row\",C2)"),
    ("=CELLINFO(\"contents\",B2)&\"\"", "=CELL(\"contents\",B2)&\"\""),
    ("=CELLINFO(\"type\",B2)", "=CELL(\"type\",B2)"),
    ("=CELLINFO(\"type\",A1)", "=CELL(\"type\",A1)"),
    ("=CELLINFO(\"type\",F9)", "=CELL(\"type\",F9)"),
    ("=SUM(INTERSECT(A1:C3,C2:E4))", "=SUM(A1:C3 C2:E4)"),
    ("=SUM(CELLREF(2,3))", "=SUM(C3)"),
    ("=SUM(RANGEREF(0,1,2,2))", "=SUM(A1:C2)"),
]

FAMILIES = {
    "math": (MATH_CELLS, MATH),
    "date": (DATE_CELLS, DATE),
    "lookup": (LOOKUP_CELLS, LOOKUP),
}


def column_name(i):
    name = ""
    i += 1
    while i:
        i, r = divmod(i - 1, 26)
        name = chr(65 + r) + name
    return name


def compute(cells, formulas):
    # The fixture in A..H, one formula per row in column J.
    grid = {}
    for address, value in cells.items():
        col = ord(address[0]) - 65
        grid[(int(address[1:]) - 1, col)] = value
    for i, f in enumerate(formulas):
        grid[(i, 9)] = f
    rows = max(r for r, _ in grid) + 1
    with tempfile.TemporaryDirectory() as tmp:
        src, out = os.path.join(tmp, "in.csv"), os.path.join(tmp, "out.txt")
        with open(src, "w", newline="") as fh:
            w = csv.writer(fh, quoting=csv.QUOTE_ALL)
            for r in range(rows):
                w.writerow([grid.get((r, c), "") for c in range(10)])
        subprocess.run(["ssconvert", "-T", "Gnumeric_stf:stf_assistant", "-O",
                        "separator=| format=raw quoting-mode=never eol=unix", src, out],
                       check=True, capture_output=True)
        with open(out) as fh:
            lines = fh.read().split("\n")
    return [(line.split("|") + [""] * 10)[9] for line in lines[:len(formulas)]]


def show(value):
    if value in ("TRUE", "FALSE"):
        return "1" if value == "TRUE" else "0"
    try:
        return "%.14g" % float(value)
    except ValueError:
        return "'" + value


def print_rows(family, cells, cases):
    """Prints the table rows of one family: our formula and Gnumeric's value."""
    values = compute(cells, [g or ours for ours, g in cases])
    print(f"// {family}")
    for (ours, g), v in zip(cases, values):
        note = f"  // {g}" if g else ""
        print(f'{{R"({ours})", "{show(v)}"}},{note}')


def main():
    chosen = sys.argv[1:] or list(FAMILIES)
    for family in chosen:
        cells, cases = FAMILIES[family]
        if family == "date":
            values = compute(cells, [ours for ours, _ in WEEK])
            print("// NETWORKDAYS(start, start + span), spans", SPANS)
            for i in range(7):
                print("{" + ", ".join(values[i * len(SPANS):(i + 1) * len(SPANS)]) + "},")
        print_rows(family, cells, cases)


if __name__ == "__main__":
    main()
