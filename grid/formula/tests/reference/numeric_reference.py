#!/usr/bin/env python3
"""Expected values for NumericHelpersTest.cpp, worked out independently of the engine:
Python's math and statistics modules, exact rational arithmetic (fractions), closed forms of
the distributions for small degrees of freedom, datetime for the calendar and glibc's own
drand48 through ctypes. Run: python3 grid/formula/tests/reference/numeric_reference.py
"""
import cmath
import ctypes
import datetime
import math
from fractions import Fraction
from statistics import NormalDist


def show(label, values):
    print(label)
    for v in values:
        print("   ", v)


def lgamma_table():
    xs = [0.1, 0.5, 1.0, 1.5, 2.5, 3.0, 7.5, 8.5, 10.0, 30.0, 170.5, -0.5, -1.5, -2.5]
    show("lgamma(x), sign", [(x, repr(math.lgamma(x)), 1 if math.gamma(x) > 0 else -1)
                             for x in xs])


def ibeta_exact(a, b, x):
    # I_x(a, b) for whole a, b: the binomial tail sum, exact in rationals.
    n = a + b - 1
    x = Fraction(x)
    return float(sum(math.comb(n, j) * x**j * (1 - x)**(n - j) for j in range(a, n + 1)))


def distributions():
    show("I_x(a,b)", [(a, b, x, repr(ibeta_exact(a, b, x)))
                      for a, b, x in [(2, 3, "0.4"), (5, 1, "0.9"), (1, 1, "0.3"),
                                      (10, 20, "0.3"), (3, 7, "0.85")]])
    # Two-tailed Student probabilities: df 1 (Cauchy) and df 2 have closed forms.
    show("student df=1", [(t, repr(1 - 2 * math.atan(abs(t)) / math.pi)) for t in [0.5, 1, 3.2]])
    show("student df=2", [(t, repr(1 - abs(t) / math.sqrt(2 + t * t))) for t in [0.5, 1, 3.2]])
    # Upper F tail with d1 = 2: (d2 / (d2 + 2 f)) ** (d2 / 2).
    show("F tail d1=2", [(d2, f, repr((d2 / (d2 + 2 * f)) ** (d2 / 2)))
                         for d2, f in [(5, 1.5), (10, 0.2), (3, 7.0)]])
    show("P(1,x)=1-exp(-x)", [(x, repr(1 - math.exp(-x))) for x in [0.3, 2.0, 9.0]])
    show("P(0.5,x)=erf(sqrt x)", [(x, repr(math.erf(math.sqrt(x)))) for x in [0.3, 2.0, 9.0]])
    show("P(3,x)", [(x, repr(1 - math.exp(-x) * (1 + x + x * x / 2))) for x in [0.5, 4.0]])
    nd = NormalDist()
    show("Phi", [(x, repr(nd.cdf(x))) for x in [-3.0, -1.0, 0.0, 0.5, 1.96, 4.0]])
    show("Phi^-1", [(p, repr(nd.inv_cdf(p))) for p in [0.001, 0.025, 0.3, 0.9, 0.975, 0.999999]])


def calendar():
    base = datetime.date(1899, 12, 30)  # serials count from here after February 1900
    dates = [(1900, 3, 1), (1904, 2, 29), (2000, 1, 1), (2000, 2, 29), (2001, 2, 28),
             (2024, 12, 31), (2099, 12, 31)]
    show("serials", [(d, (datetime.date(*d) - base).days) for d in dates])


def matrices():
    a = [[Fraction(v) for v in row] for row in [[4, -2, 1], [3, 6, -4], [2, 1, 8]]]
    det = (a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1])
           - a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0])
           + a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]))
    print("det", det)
    # Inverse by the adjugate, exact; the cyclic form of a 3 x 3 cofactor carries its sign.
    cof = [[a[(i + 1) % 3][(j + 1) % 3] * a[(i + 2) % 3][(j + 2) % 3]
            - a[(i + 1) % 3][(j + 2) % 3] * a[(i + 2) % 3][(j + 1) % 3] for j in range(3)]
           for i in range(3)]
    inv = [[cof[j][i] / det for j in range(3)] for i in range(3)]
    assert all(sum(a[i][m] * inv[m][j] for m in range(3)) == (i == j)
               for i in range(3) for j in range(3))
    show("inverse", [[repr(float(v)) for v in row] for row in inv])
    # Least squares of y on (x, 1), exact normal equations, and the regression summary.
    xs = [Fraction(v) for v in [1, 2, 3, 4]]
    ys = [Fraction(v) for v in ["2.1", "3.9", "6.2", "7.8"]]
    n, k = 4, 2
    sx, sy = sum(xs), sum(ys)
    sxx, sxy = sum(x * x for x in xs), sum(x * y for x, y in zip(xs, ys))
    d = n * sxx - sx * sx
    slope, intercept = (n * sxy - sx * sy) / d, (sxx * sy - sx * sxy) / d
    fitted = [slope * x + intercept for x in xs]
    sse = sum((y - f) ** 2 for y, f in zip(ys, fitted))
    s2 = sse / (n - k)
    mean = sy / n
    sst = sum((y - mean) ** 2 for y in ys)
    ssreg = sum((f - mean) ** 2 for f in fitted)
    r2 = ssreg / sst
    f_stat = (ssreg / (k - 1)) / s2
    c00, c11 = Fraction(n) / d, sxx / d  # diagonal of (X^T X)^-1 for columns (x, 1)
    se = [math.sqrt(s2 * c00), math.sqrt(s2 * c11)]
    t = [float(slope) / se[0], float(intercept) / se[1]]
    tail2 = lambda t: 1 - abs(t) / math.sqrt(2 + t * t)  # two-tailed, df 2
    show("regression", [repr(float(slope)), repr(float(intercept)), repr(se[0]), repr(se[1]),
                        repr(t[0]), repr(t[1]), repr(tail2(t[0])), repr(tail2(t[1])),
                        repr(float(s2)), repr(float(r2)), repr(float(f_stat)),
                        repr(tail2(math.sqrt(float(f_stat))))])
    r2 = math.sqrt(2)
    show("eigen of [[2,1,0],[1,2,1],[0,1,2]]", [repr(2 + r2), 2.0, repr(2 - r2),
                                                 repr(0.5), repr(r2 / 2), repr(1 / r2)])


def transforms():
    def dft(xs, sign):
        n = len(xs)
        out = [sum(x * cmath.exp(sign * 2j * math.pi * j * k / n) for j, x in enumerate(xs))
               for k in range(n)]
        return [v / n for v in out] if sign < 0 else out
    xs = [1, 2, 3, 4, 0, -1, 2.5, 7]
    show("dft +1 of 8", [(repr(v.real), repr(v.imag)) for v in dft(xs, 1)])
    ys = [complex(1, 1), 2, complex(0, -3), 5, 1, 0]
    show("dft -1 of 6", [(repr(v.real), repr(v.imag)) for v in dft(ys, -1)])


def random():
    libc = ctypes.CDLL("libc.so.6")
    libc.drand48.restype = ctypes.c_double
    libc.srand48(0x1234ABCD)  # the same state as an unseeded drand48: 0x1234ABCD330E
    show("drand48", [repr(libc.drand48()) for _ in range(5)])


lgamma_table()
distributions()
calendar()
matrices()
transforms()
random()
