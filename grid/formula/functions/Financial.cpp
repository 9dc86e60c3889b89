// Financial worksheet functions: coupon schedules, bonds, discount securities, annuities,
// depreciation and cash flows. Dates are day serials of the engine's calendar.
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "grid/formula/FunctionArgs.h"
#include "grid/formula/NumericHelpers.h"

namespace formula {

namespace {

enum : int {
    kNotWhole = 42,
    kLifeNotPositive = 43,
    kPvFvZero = 44,
    kPvFvSign = 45,
    kPaymentFvSign = 46,
    kPaymentZero = 47,
    kPeriodNegative = 48,
    kTermNotPositive = 49,
    kRateBelowMinusOne = 50,
    kRateZero = 51,
    kNotNumeric = 56,
    kNotARange = 58,
    kNotALine = 59,
    kNoRoot = 63,
    kRateNotNumeric = 84,
    kInvalidDate = 111,
    kCostSalvage = 124,
    kLifePeriod = 125,
    kTooFewFlows = 126,
    kFlowNotNumeric = 129,
    kRateBelowMinusOneFound = 147,
    kStartPeriod = 285,
    kEndPeriod = 286,
    kEndBeforeStart = 287,
    kFraction = 289,
    kRateNotPositive = 290,
    kPeriodsBelowOne = 291,
    kSettlementAfterMaturity = 292,
    kSettlementBeforeIssue = 293,
    kBasis = 294,
    kFrequency = 295,
    kDatesNotALine = 296,
    kSeriesSizes = 297,
    kFirstCoupon = 298,
    kNoInOutFlow = 304,
    kTreasuryBill = 305,
    kDatesBeforeFirst = 308,
    kScheduleNotALine = 309,
    kNotPositive = 313,
};

constexpr int kMaxIterations = 50;
// The upward yield search in steps of 0.05 gives up beyond a yield of 10 000 %.
constexpr int kMaxYieldSteps = 2000;

double Checked(double x) {
    GXRequire(std::isfinite(x), GX_ERR_FLOATING);
    return x;
}

// The arguments of a function that takes only numbers: count in [min, max] (165), each a
// number (kindCode), and for the security functions each >= 0 (313). Index i is argument i.
std::vector<double> Numbers(GXCallFrame& frame, int min, int max, bool positive,
                            int kindCode = kNotNumeric) {
    GXCheckArgCount(frame, min, max);
    std::vector<double> a(static_cast<size_t>(frame.count) + 1, 0.0);
    for (int i = 1; i <= frame.count; ++i) {
        a[static_cast<size_t>(i)] = GXNumberArg(frame, i, kindCode);
    }
    if (positive) {
        for (int i = 1; i <= frame.count; ++i) {
            GXRequire(a[static_cast<size_t>(i)] >= 0, kNotPositive);
        }
    }
    return a;
}

int DateOf(double x) {
    double d = std::trunc(x);
    GXRequire(d >= 1 && d <= GX_LAST_SERIAL, kInvalidDate);
    return static_cast<int>(d);
}

int FrequencyOf(double x) {
    double f = std::trunc(x);
    GXRequire(f == 1 || f == 2 || f == 4, kFrequency);
    return static_cast<int>(f);
}

// The optional day-count basis at index i (0 when not given).
int BasisOf(const std::vector<double>& a, size_t i) {
    if (i >= a.size()) {
        return 0;
    }
    GXRequire(a[i] >= 0 && a[i] <= 3, kBasis);
    return static_cast<int>(a[i]);
}

int Shift(int date, int months) {
    int d = GXAddMonths(date, months);
    GXRequire(d != 0, kInvalidDate);
    return d;
}

// Days between two dates: 30/360 for basis 0, actual days otherwise.
double Days(int basis, int from, int to) {
    return basis == 0 ? GXDays360(from, to) : to - from;
}

double YearFraction(int basis, int from, int to) {
    return GXYearFraction(basis, from, to, false);
}

// Settlement, maturity, frequency and basis of a bond.
struct Bond {
    int settlement = 0, maturity = 0, frequency = 1, basis = 0;
    int Months() const { return 12 / frequency; }
};

Bond BondOf(double settlement, double maturity, double frequency, const std::vector<double>& a,
            size_t basisIndex) {
    Bond b;
    b.settlement = DateOf(settlement);
    b.maturity = DateOf(maturity);
    GXRequire(b.settlement < b.maturity, kSettlementAfterMaturity);
    b.frequency = FrequencyOf(frequency);
    b.basis = BasisOf(a, basisIndex);
    return b;
}

// The coupon period around settlement. Coupon dates are counted back from maturity, each
// from maturity itself, so a day lost to a short month comes back in the next date.
struct Coupons {
    int previous = 0, next = 0, count = 0;
    double daysBefore = 0, periodDays = 0, daysToNext = 0;
};

Coupons ScheduleOf(const Bond& b) {
    Coupons c;
    int k = 1;
    while ((c.previous = Shift(b.maturity, -k * b.Months())) > b.settlement) {
        ++k;
    }
    c.count = k;
    c.next = Shift(b.maturity, -(k - 1) * b.Months());
    c.daysBefore = Days(b.basis, c.previous, b.settlement);
    c.periodDays = b.basis == 0 ? 360.0 / b.frequency : c.next - c.previous;
    c.daysToNext = Days(b.basis, b.settlement, c.next);
    return c;
}

// The date with day 31 read as 30.
int Day31As30(int serial) {
    GXDate d = *GXSerialToDate(serial);
    return d.day == 31 ? GXDateSerial(d.year, d.month, 30) : serial;
}

Bond CouponArgs(GXCallFrame& frame) {
    std::vector<double> a = Numbers(frame, 3, 4, false);
    return BondOf(a[1], a[2], a[3], a, 4);
}

void CoupDayBs(GXValue& result, GXCallFrame& frame) {
    result = GXValue::Number(ScheduleOf(CouponArgs(frame)).daysBefore);
}
void CoupDays(GXValue& result, GXCallFrame& frame) {
    result = GXValue::Number(ScheduleOf(CouponArgs(frame)).periodDays);
}
void CoupDaysNc(GXValue& result, GXCallFrame& frame) {
    result = GXValue::Number(ScheduleOf(CouponArgs(frame)).daysToNext);
}
void CoupNum(GXValue& result, GXCallFrame& frame) {
    result = GXValue::Number(ScheduleOf(CouponArgs(frame)).count);
}
void CoupNcd(GXValue& result, GXCallFrame& frame) {
    result = GXValue::Number(Day31As30(ScheduleOf(CouponArgs(frame)).next));
}
void CoupPcd(GXValue& result, GXCallFrame& frame) {
    Bond b = CouponArgs(frame);
    int previous = ScheduleOf(b).previous;
    result = GXValue::Number(b.basis == 0 ? Day31As30(previous) : previous);
}

// ---- Bonds ----------------------------------------------------------------------------------

double PriceOf(const Bond& b, double rate, double yld, double redemption) {
    Coupons c = ScheduleOf(b);
    double coupon = rate * 100 / b.frequency;
    double v = 1 + yld / b.frequency;
    double t = c.daysToNext / c.periodDays;
    double price = redemption / std::pow(v, t + c.count - 1) - coupon * c.daysBefore / c.periodDays;
    for (int i = 0; i < c.count; ++i) {
        price += coupon / std::pow(v, t + i);
    }
    return price;
}

// The yield at which price(yield) meets pr: upward in steps of 0.05 from 0.10 while the price
// stays above pr, then at most 50 halvings between 0 and that yield.
double SolveYield(const std::function<double(double)>& price, double pr) {
    double y = 0.05, p = 0;
    int steps = 0;
    do {
        GXRequire(++steps <= kMaxYieldSteps, kNoRoot);
        y += 0.05;
        p = price(y);
    } while (p > pr);
    if (std::fabs(pr - p) < 1e-8) {
        return y;
    }
    double low = 0, high = y, t = high / 2;
    for (int trial = 1; trial <= kMaxIterations; ++trial) {
        p = price(t);
        if (std::fabs(pr - p) < 1e-8) {
            return t;
        }
        (p < pr ? high : low) = t;
        t = (low + high) / 2;
    }
    // Fifty halvings leave a bracket far narrower than prices can tell apart, unless no yield
    // from 0 up reaches pr at all (pr above the price at yield 0).
    GXRequire(std::fabs(price(t) - pr) <= 1e-6 * std::max(1.0, std::fabs(pr)), kNoRoot);
    return t;
}

void Price(GXValue& result, GXCallFrame& frame) {
    std::vector<double> a = Numbers(frame, 6, 7, true);
    Bond b = BondOf(a[1], a[2], a[6], a, 7);
    result = GXValue::Number(PriceOf(b, a[3], a[4], a[5]));
}

void Yield(GXValue& result, GXCallFrame& frame) {
    std::vector<double> a = Numbers(frame, 6, 7, true);
    Bond b = BondOf(a[1], a[2], a[6], a, 7);
    result = GXValue::Number(SolveYield([&](double y) { return PriceOf(b, a[3], y, a[5]); }, a[4]));
}

double DurationOf(GXCallFrame& frame, double& yieldPerPeriod) {
    std::vector<double> a = Numbers(frame, 5, 6, true);
    Bond b = BondOf(a[1], a[2], a[5], a, 6);
    Coupons c = ScheduleOf(b);
    double r = 1 + a[4] / b.frequency, t = c.daysToNext / c.periodDays;
    double coupon = a[3] * 100 / b.frequency, weighted = 0, total = 0;
    for (int i = 0; i < c.count; ++i) {
        double w = t + i;
        double pv = (coupon + (i == c.count - 1 ? 100 : 0)) / std::pow(r, w);
        weighted += pv * w;
        total += pv;
    }
    yieldPerPeriod = r;
    return weighted / total / b.frequency;
}

void Duration(GXValue& result, GXCallFrame& frame) {
    double r = 0;
    result = GXValue::Number(DurationOf(frame, r));
}

void MDuration(GXValue& result, GXCallFrame& frame) {
    double r = 0;
    double d = DurationOf(frame, r);
    result = GXValue::Number(d / r);
}

// The accrued interest from issue to settlement in coupon periods, counted on the coupon dates
// of the first interest date.
double AccruedPeriods(int issue, int firstInterest, int settlement, const Bond& b) {
    int m = b.Months();
    auto length = [&](int from, int to) {
        return b.basis == 0 ? Days(0, from, to) : static_cast<double>(to - from);
    };
    if (firstInterest < settlement) {
        int previous = firstInterest, next = Shift(firstInterest, m);
        if (next >= settlement) {
            double period = b.basis == 0 ? 360.0 / b.frequency : next - firstInterest;
            return Days(b.basis, firstInterest, settlement) / period;
        }
        for (int j = 2; next < settlement; ++j) {
            previous = next;
            next = Shift(firstInterest, j * m);
        }
        return Days(b.basis, previous, settlement) / length(previous, next);
    }
    int k = 1, start = Shift(firstInterest, -m);
    while (start > settlement) {
        start = Shift(firstInterest, -++k * m);
    }
    int end = Shift(firstInterest, -(k - 1) * m);
    double period = b.basis == 0 ? 360.0 / b.frequency : end - start;
    if (issue >= start) {
        return Days(b.basis, issue, settlement) / period;
    }
    double periods = Days(b.basis, start, settlement) / period;
    int quasiEnd = start, quasiStart = Shift(firstInterest, -++k * m);
    while (quasiStart > issue) {
        periods += 1;
        quasiEnd = quasiStart;
        quasiStart = Shift(firstInterest, -++k * m);
    }
    return periods + Days(b.basis, issue, quasiEnd) / length(quasiStart, quasiEnd);
}

void AccrInt(GXValue& result, GXCallFrame& frame) {
    std::vector<double> a = Numbers(frame, 6, 7, true);
    int issue = DateOf(a[1]), first = DateOf(a[2]), settlement = DateOf(a[3]);
    GXRequire(issue < settlement && issue < first, kSettlementAfterMaturity);
    Bond b;
    b.frequency = FrequencyOf(a[6]);
    b.basis = BasisOf(a, 7);
    double fraction = AccruedPeriods(issue, first, settlement, b);
    result = GXValue::Number(a[4] * a[5] / b.frequency * fraction);
}

// ODDFPRICE and ODDFYIELD: a bond whose first coupon period is odd.
struct OddBond {
    Bond bond;
    int issue = 0, firstCoupon = 0;
    double rate = 0, redemption = 0;
};

OddBond OddBondOf(GXCallFrame& frame, double& sixth) {
    std::vector<double> a = Numbers(frame, 8, 9, true);
    OddBond o;
    o.bond = BondOf(a[1], a[2], a[8], a, 9);
    o.issue = DateOf(a[3]);
    o.firstCoupon = DateOf(a[4]);
    GXRequire(o.bond.settlement >= o.issue, kSettlementBeforeIssue);
    GXRequire(o.issue < o.firstCoupon && o.firstCoupon < o.bond.maturity, kFirstCoupon);
    o.rate = a[5];
    sixth = a[6];
    o.redemption = a[7];
    return o;
}

// The first coupon: a part of the period that holds issue plus one coupon for every whole
// period between it and the first coupon date.
double OddFirstCoupon(const OddBond& o, double coupon) {
    int m = o.bond.Months(), end = o.firstCoupon, start = Shift(end, -m), whole = 0;
    while (start > o.issue) {
        ++whole;
        end = start;
        start = Shift(end, -m);
    }
    return coupon * Days(o.bond.basis, o.issue, end) / Days(o.bond.basis, start, end) +
           coupon * whole;
}

double OddPriceOf(const OddBond& o, double yld) {
    const Bond& b = o.bond;
    int m = b.Months();
    Coupons c = ScheduleOf(b);
    double r0 = c.daysToNext / c.periodDays;
    int n = 0;
    bool longFirst = o.issue < Shift(o.firstCoupon, -m);
    if (longFirst) {
        Bond rest = b;
        rest.settlement = o.firstCoupon;
        n = ScheduleOf(rest).count;
        int k = 0, date = o.firstCoupon;
        while (date > b.settlement) {
            date = Shift(o.firstCoupon, -++k * m);
        }
        r0 += k - (date < b.settlement ? 1 : 0);
    } else {
        n = c.count;
    }
    double coupon = o.rate * 100 / b.frequency, v = 1 + yld / b.frequency;
    int last = longFirst ? n : n - 1;
    double accrued = AccruedPeriods(o.issue, o.firstCoupon, b.settlement, b) * coupon;
    double price = (coupon + o.redemption) / std::pow(v, r0 + last) +
                   OddFirstCoupon(o, coupon) / std::pow(v, r0) - accrued;
    for (int i = 1; i < last; ++i) {
        price += coupon / std::pow(v, r0 + i);
    }
    return price;
}

void OddFPrice(GXValue& result, GXCallFrame& frame) {
    double yld = 0;
    OddBond o = OddBondOf(frame, yld);
    result = GXValue::Number(OddPriceOf(o, yld));
}

void OddFYield(GXValue& result, GXCallFrame& frame) {
    double pr = 0;
    OddBond o = OddBondOf(frame, pr);
    result = GXValue::Number(SolveYield([&](double y) { return OddPriceOf(o, y); }, pr));
}

// ---- Discount securities ----------------------------------------------------------------

// Settlement, maturity and basis of a discount security; the basis is argument basisIndex.
Bond SecurityOf(const std::vector<double>& a, size_t basisIndex, bool ordered = true) {
    Bond b;
    b.settlement = DateOf(a[1]);
    b.maturity = DateOf(a[2]);
    GXRequire(!ordered || b.settlement < b.maturity, kSettlementAfterMaturity);
    b.basis = BasisOf(a, basisIndex);
    return b;
}

double Yf(const Bond& b) {
    return YearFraction(b.basis, b.settlement, b.maturity);
}

void Disc(GXValue& result, GXCallFrame& frame) {
    std::vector<double> a = Numbers(frame, 4, 5, true);
    Bond b = SecurityOf(a, 5);
    result = GXValue::Number((1 - a[3] / a[4]) / Yf(b));
}

void IntRate(GXValue& result, GXCallFrame& frame) {
    std::vector<double> a = Numbers(frame, 4, 5, true);
    Bond b = SecurityOf(a, 5, false);
    result = GXValue::Number((a[4] - a[3]) / a[3] / Yf(b));
}

void PriceDisc(GXValue& result, GXCallFrame& frame) {
    std::vector<double> a = Numbers(frame, 4, 5, true);
    Bond b = SecurityOf(a, 5);
    result = GXValue::Number((1 - Yf(b) * a[3]) * a[4]);
}

void Received(GXValue& result, GXCallFrame& frame) {
    std::vector<double> a = Numbers(frame, 4, 5, true);
    Bond b = SecurityOf(a, 5);
    result = GXValue::Number(a[3] / (1 - Yf(b) * a[4]));
}

// The three year fractions of PRICEMAT and YIELDMAT: issue to settlement, issue to maturity,
// settlement to maturity.
struct MaturityFractions {
    double b, c, d;
};

MaturityFractions MaturityFractionsOf(const std::vector<double>& a) {
    Bond s = SecurityOf(a, 6);
    int issue = DateOf(a[3]);
    GXRequire(s.settlement >= issue, kSettlementBeforeIssue);
    return {YearFraction(s.basis, issue, s.settlement), YearFraction(s.basis, issue, s.maturity),
            Yf(s)};
}

void PriceMat(GXValue& result, GXCallFrame& frame) {
    std::vector<double> a = Numbers(frame, 5, 6, true);
    auto [b, c, d] = MaturityFractionsOf(a);
    double rate = a[4], yld = a[5];
    result = GXValue::Number((c * rate + 1) * 100 / (d * yld + 1) - rate * b * 100);
}

void YieldMat(GXValue& result, GXCallFrame& frame) {
    std::vector<double> a = Numbers(frame, 5, 6, true);
    auto [b, c, d] = MaturityFractionsOf(a);
    double rate = a[4], pr = a[5];
    result = GXValue::Number(((c * rate + 1) * 100 / (rate * b * 100 + pr) - 1) / d);
}

void AccrIntM(GXValue& result, GXCallFrame& frame) {
    std::vector<double> a = Numbers(frame, 4, 5, true);
    int issue = DateOf(a[1]), settlement = DateOf(a[2]);
    GXRequire(settlement >= issue, kSettlementBeforeIssue);
    result = GXValue::Number(a[4] * a[3] * YearFraction(BasisOf(a, 5), issue, settlement));
}

// Settlement and maturity of a Treasury bill, at most a year apart.
Bond TreasuryBillOf(const std::vector<double>& a) {
    Bond b = SecurityOf(a, 4);
    GXRequire(b.maturity <= Shift(b.settlement, 12), kTreasuryBill);
    b.basis = 2;
    return b;
}

void TBillEq(GXValue& result, GXCallFrame& frame) {
    std::vector<double> a = Numbers(frame, 3, 3, false);
    Bond b = TreasuryBillOf(a);
    double discount = a[3], p = 1 / (1 - Yf(b) * discount);
    if (b.maturity < Shift(b.settlement, 6)) {
        result = GXValue::Number(p * discount * 1.0138888888888888);
    } else {
        result = GXValue::Number((std::pow(p, 182.5 / (b.maturity - b.settlement)) - 1) * 2);
    }
}

void TBillYield(GXValue& result, GXCallFrame& frame) {
    std::vector<double> a = Numbers(frame, 3, 3, false);
    Bond b = TreasuryBillOf(a);
    double g = a[3] * 0.01;
    result = GXValue::Number((1 - g) / Yf(b) / g);
}

// ---- Annuities --------------------------------------------------------------------------

// Interest and principal paid over periods first..last of an annuity of nper periods.
struct Paid {
    double interest = 0, principal = 0;
};

// The balance after j payments: each period adds the interest and takes the payment, so
// b(j) = b(0) g^j - payment (g^j - 1) / rate with g = 1 + rate. In closed form no number of
// periods costs more than another (counting them one by one froze the editor for 2^31).
double BalanceAfter(double start, double rate, double payment, double j) {
    if (rate == 0) {
        return start - payment * j;
    }
    double growth = std::expm1(j * std::log1p(rate));  // g^j - 1, exact for small rates
    return start + start * growth - payment * growth / rate;
}

Paid PaidOver(double rate, double nper, double pv, double fv, double first, double last,
              bool atStart) {
    // A period beyond the annuity's end has no payment to split.
    GXRequire(last <= nper, GX_ERR_FLOATING);
    double grown = std::pow(1 + rate, nper);
    // Without interest the payment only repays the principal.
    double payment = rate == 0 ? (pv + fv) / nper : rate / (grown - 1) * (grown * pv + fv);
    Paid paid;
    double balance = pv;
    if (atStart) {
        payment /= 1 + rate;
        balance -= payment;
        if (first <= 1) {
            paid.principal += payment;  // the first payment, made at once, carries no interest
        }
        first -= 1;
        last -= 1;
    }
    // Whole periods from..to of the (possibly shifted) schedule.
    double from = std::max(std::ceil(first), 1.0), to = std::floor(last);
    if (from <= to) {
        double before = BalanceAfter(balance, rate, payment, from - 1);
        if (from == to) {
            double interest = rate * before;  // one period: as the schedule computes it
            paid.interest += interest;
            paid.principal += payment - interest;
        } else {
            double repaid = before - BalanceAfter(balance, rate, payment, to);
            paid.principal += repaid;
            paid.interest += rate == 0 ? 0 : (to - from + 1) * payment - repaid;
        }
    }
    paid.interest = Checked(paid.interest);
    paid.principal = Checked(paid.principal);
    return paid;
}

void CheckPeriods(double start, double end) {
    GXRequire(start >= 1, kStartPeriod);
    GXRequire(end >= 1, kEndPeriod);
    GXRequire(start <= end, kEndBeforeStart);
}

Paid Cumulative(GXCallFrame& frame) {
    std::vector<double> a = Numbers(frame, 6, 6, true);
    CheckPeriods(a[4], a[5]);
    return PaidOver(a[1], a[2], a[3], 0, a[4], a[5], a[6] != 0);
}

Paid SinglePeriod(GXCallFrame& frame) {
    std::vector<double> a = Numbers(frame, 5, 6, true);
    CheckPeriods(a[2], a[2]);
    return PaidOver(a[1], a[3], a[4], a[5], a[2], a[2], frame.count == 6 && a[6] != 0);
}

void CumIPmt(GXValue& result, GXCallFrame& frame) {
    result = GXValue::Number(Cumulative(frame).interest);
}
void CumPrinc(GXValue& result, GXCallFrame& frame) {
    result = GXValue::Number(Cumulative(frame).principal);
}
void IPmt(GXValue& result, GXCallFrame& frame) {
    result = GXValue::Number(SinglePeriod(frame).interest);
}
void PPmt(GXValue& result, GXCallFrame& frame) {
    result = GXValue::Number(SinglePeriod(frame).principal);
}

// FV, PV and PMT: (amount, rate, term).
std::vector<double> SimpleAnnuity(GXCallFrame& frame) {
    std::vector<double> a = Numbers(frame, 3, 3, false);
    GXRequire(a[2] >= -1, kRateBelowMinusOne);
    GXRequire(a[3] > 0, kTermNotPositive);
    return a;
}

void Fv(GXValue& result, GXCallFrame& frame) {
    std::vector<double> a = SimpleAnnuity(frame);
    double payment = a[1], rate = a[2], term = a[3];
    result = GXValue::Number(rate == 0 ? payment * term
                                       : payment * (Checked(std::pow(1 + rate, term)) - 1) / rate);
}

void Pv(GXValue& result, GXCallFrame& frame) {
    std::vector<double> a = SimpleAnnuity(frame);
    double payment = a[1], rate = a[2], term = a[3];
    result = GXValue::Number(rate == 0 ? payment * term
                                       : payment * (1 - Checked(std::pow(1 + rate, -term))) / rate);
}

void Pmt(GXValue& result, GXCallFrame& frame) {
    std::vector<double> a = SimpleAnnuity(frame);
    double principal = a[1], rate = a[2], term = a[3];
    result = GXValue::Number(
        rate == 0 ? principal / term : rate * principal / (1 - Checked(std::pow(1 + rate, -term))));
}

void Rate(GXValue& result, GXCallFrame& frame) {
    std::vector<double> a = Numbers(frame, 3, 3, false);
    double fv = a[1], pv = a[2], term = a[3];
    GXRequire(term > 0, kTermNotPositive);
    GXRequire(pv != 0 && fv != 0, kPvFvZero);
    GXRequire(fv / pv >= 0, kPvFvSign);
    result = GXValue::Number(std::pow(fv / pv, 1 / term) - 1);
}

void Term(GXValue& result, GXCallFrame& frame) {
    std::vector<double> a = Numbers(frame, 3, 3, false);
    double payment = a[1], rate = a[2], fv = a[3];
    GXRequire(rate >= -1, kRateBelowMinusOne);
    GXRequire(payment != 0, kPaymentZero);
    GXRequire(fv / payment >= 0, kPaymentFvSign);
    // Without interest the terms simply add up to fv.
    result = GXValue::Number(rate == 0 ? fv / payment
                                       : std::log(rate * fv / payment + 1) / std::log(rate + 1));
}

void CTerm(GXValue& result, GXCallFrame& frame) {
    std::vector<double> a = Numbers(frame, 3, 3, false);
    double rate = a[1], fv = a[2], pv = a[3];
    GXRequire(rate >= -1, kRateBelowMinusOne);
    GXRequire(rate != 0, kRateZero);
    GXRequire(pv != 0 && fv != 0, kPvFvZero);
    GXRequire(fv / pv >= 0, kPvFvSign);
    result = GXValue::Number(std::log(fv / pv) / std::log(1 + rate));
}

// ---- Depreciation -------------------------------------------------------------------------

void CheckCostSalvage(double cost, double salvage) {
    GXRequire(cost >= salvage && salvage >= 0, kCostSalvage);
}

void Sln(GXValue& result, GXCallFrame& frame) {
    std::vector<double> a = Numbers(frame, 3, 3, false);
    CheckCostSalvage(a[1], a[2]);
    GXRequire(a[3] > 0, kLifeNotPositive);
    result = GXValue::Number((a[1] - a[2]) / a[3]);
}

void Syd(GXValue& result, GXCallFrame& frame) {
    std::vector<double> a = Numbers(frame, 4, 4, false);
    double cost = a[1], salvage = a[2], life = a[3], period = a[4];
    CheckCostSalvage(cost, salvage);
    GXRequire(life > 0, kLifeNotPositive);
    GXRequire(period >= 0, kPeriodNegative);
    result = GXValue::Number((life - period + 1) * (cost - salvage) / (life * (life + 1) / 2));
}

// The book value after `periods` periods of double-declining depreciation: each period takes
// 2 / life of the book value, but never below salvage, so the total never exceeds
// cost - salvage.
double DecliningBook(double cost, double salvage, double life, double periods) {
    double keep = std::max(1 - 2 / life, 0.0);
    return std::max(cost * std::pow(keep, periods), salvage);
}

void Ddb(GXValue& result, GXCallFrame& frame) {
    std::vector<double> a = Numbers(frame, 4, 4, false);
    double cost = a[1], salvage = a[2], life = a[3], period = a[4];
    CheckCostSalvage(cost, salvage);
    GXRequire(life == std::trunc(life) && period == std::trunc(period), kNotWhole);
    GXRequire(period > 0 && period <= life, kLifePeriod);
    result = GXValue::Number(DecliningBook(cost, salvage, life, period - 1) -
                             DecliningBook(cost, salvage, life, period));
}

void Vdb(GXValue& result, GXCallFrame& frame) {
    std::vector<double> a = Numbers(frame, 5, 5, true);
    double cost = a[1], salvage = a[2];
    CheckCostSalvage(cost, salvage);
    double life = GXToInteger(a[3]), start = GXToInteger(a[4]), end = GXToInteger(a[5]);
    GXRequire(start >= 0 && start <= life && end >= 0 && end <= life, kLifePeriod);
    GXRequire(start <= end, kEndBeforeStart);
    result = GXValue::Number(DecliningBook(cost, salvage, life, start) -
                             DecliningBook(cost, salvage, life, end));
}

void Db(GXValue& result, GXCallFrame& frame) {
    std::vector<double> a = Numbers(frame, 4, 5, true);
    double cost = a[1], salvage = a[2];
    CheckCostSalvage(cost, salvage);
    double life = std::trunc(a[3]), period = std::trunc(a[4]);
    double month = frame.count == 5 ? a[5] : 0;
    GXRequire(period >= 1 && period <= life, kLifePeriod);
    if (cost == 0) {
        result = GXValue::Number(0);  // nothing to depreciate
        return;
    }
    double rate = std::floor((1 - std::pow(salvage / cost, 1 / life)) * 1000 + 0.5) / 1000;
    // The first period takes `month` twelfths of a year's rate, every later one the rate of
    // what is left, so the book value before period p >= 2 is cost (1 - rate m / 12) (1 -
    // rate)^(p - 2): a closed form, whatever the life (a period loop never ended for 1e15).
    double firstShare = month != 0 ? month / 12 : 1;
    double depreciation = 0;
    if (period == 1) {
        depreciation = cost * rate * firstShare;
    } else {
        double book = cost * (1 - rate * firstShare) * std::pow(1 - rate, period - 2);
        depreciation = book * rate * (period == life && month != 0 ? (12 - month) / 12 : 1);
    }
    result = GXValue::Number(depreciation);
}

// ---- Cash flows ---------------------------------------------------------------------------

// A one-row or one-column range (error values raised as they are).
GXRangeRef SeriesOf(GXCallFrame& frame, int i, int lineCode) {
    GXRangeRef r = GXRangeArg(frame, i, kNotARange);
    GXRequire(r.rowCount() == 1 || r.colCount() == 1, lineCode);
    return r;
}

// Every cell of a one-row or one-column range, each of which must hold a number.
std::vector<double> FullSeries(const GXRangeRef& r) {
    std::vector<double> values;
    long n = static_cast<long>(r.rowCount()) * r.colCount();
    values.reserve(static_cast<size_t>(n));
    for (long i = 0; i < n; ++i) {
        int row = r.firstRow() + static_cast<int>(r.colCount() == 1 ? i : 0);
        int col = r.firstCol() + static_cast<int>(r.colCount() == 1 ? 0 : i);
        double x = 0;
        GXRequire(GXCellNumber(row, col, x), kFlowNotNumeric);
        values.push_back(x);
    }
    return values;
}

void Mirr(GXValue& result, GXCallFrame& frame) {
    GXCheckArgCount(frame, 3, 3);
    double finance = GXNumberArg(frame, 2), reinvest = GXNumberArg(frame, 3);
    GXRangeRef values = SeriesOf(frame, 1, kNotALine);
    double pos = 0, neg = 0, k = 0, x = 0;
    for (GXEngineCell* c : GXRangeCells(values)) {
        if (GXCellNumber(c->row, c->col, x)) {
            ++k;
            (x >= 0 ? pos : neg) += x / std::pow(1 + (x >= 0 ? reinvest : finance), k);
        }
    }
    GXRequire(pos != 0 && neg != 0, kNoInOutFlow);
    result = GXValue::Number(
        std::pow(-std::pow(1 + reinvest, k) * pos / ((1 + finance) * neg), 1 / (k - 1)) - 1);
}

void Irr(GXValue& result, GXCallFrame& frame) {
    GXCheckArgCount(frame, 2, 2);
    double guess = GXNumberArg(frame, 1);
    GXRangeRef flows = GXRangeArg(frame, 2);
    GXRequire(static_cast<double>(flows.rowCount()) * flows.colCount() >= 2, kTooFewFlows);
    // Cells without a number read as 0; zeros before the first and after the last number
    // change no root, so the coefficients span only the cells that hold numbers.
    std::vector<double> c;
    long firstPosition = -1;
    double x = 0;
    for (GXEngineCell* cell : GXRangeCells(flows)) {
        if (!GXCellNumber(cell->row, cell->col, x)) {
            continue;
        }
        long position = static_cast<long>(cell->row - flows.firstRow()) * flows.colCount() +
                        (cell->col - flows.firstCol());
        if (firstPosition < 0) {
            firstPosition = position;
        }
        c.resize(static_cast<size_t>(position - firstPosition), 0.0);
        c.push_back(x);
    }
    x = guess + 1;
    for (int iteration = 0;; ++iteration) {
        GXRequire(iteration < kMaxIterations && !c.empty(), kNoRoot);
        double f = 0, d1 = 0, d2 = 0;
        for (double coefficient : c) {
            d2 = d2 * x + 2 * d1;
            d1 = d1 * x + f;
            f = f * x + coefficient;
        }
        GXRequire(d1 != 0, kNoRoot);
        double t = f / d1, g = t / (1 - d2 * t / d1);
        x -= g;
        if (std::fabs(g) < 1e-8) {
            break;
        }
    }
    GXRequire(x >= 0, kRateBelowMinusOneFound);
    result = GXValue::Number(x - 1);
}

// Values and dates of XNPV and XIRR as amounts and inclusive year fractions from the first
// date.
struct Flows {
    std::vector<double> amounts, times;
};

Flows FlowsOf(GXCallFrame& frame) {
    GXRangeRef values = SeriesOf(frame, 2, kNotALine), dates = SeriesOf(frame, 3, kDatesNotALine);
    GXRequire(static_cast<long>(values.rowCount()) * values.colCount() ==
                  static_cast<long>(dates.rowCount()) * dates.colCount(),
              kSeriesSizes);
    Flows f;
    f.amounts = FullSeries(values);
    std::vector<double> days = FullSeries(dates);
    int first = DateOf(days[0]);
    for (double d : days) {
        int date = DateOf(d);
        GXRequire(date >= first, kDatesBeforeFirst);
        f.times.push_back(GXYearFraction(1, first, date, true));
    }
    return f;
}

void Xnpv(GXValue& result, GXCallFrame& frame) {
    GXCheckArgCount(frame, 3, 3);
    double rate = GXNumberArg(frame, 1, kRateNotNumeric);
    GXRequire(rate >= -1, kRateBelowMinusOne);
    Flows f = FlowsOf(frame);
    double sum = 0;
    for (size_t i = 0; i < f.amounts.size(); ++i) {
        sum += f.amounts[i] / std::pow(1 + rate, f.times[i]);
    }
    result = GXValue::Number(sum);
}

void Xirr(GXValue& result, GXCallFrame& frame) {
    GXCheckArgCount(frame, 3, 3);
    double r = GXNumberArg(frame, 1, kRateNotNumeric);
    GXRequire(r > -1, kRateBelowMinusOneFound);
    Flows flows = FlowsOf(frame);
    double last = *std::max_element(flows.times.begin(), flows.times.end());
    auto value = [&](double rate, double& slope) {
        double f = 0;
        slope = 0;
        for (size_t i = 0; i < flows.amounts.size(); ++i) {
            double e = last - flows.times[i];
            f += flows.amounts[i] * std::pow(1 + rate, e);
            slope += e * flows.amounts[i] * std::pow(1 + rate, e - 1);
        }
        return f;
    };
    double slope = 0;
    double f = value(r, slope);
    // Large amounts carry rounding far above 1e-8 in f, so a step that no longer moves the
    // rate ends the search as well.
    for (int iteration = 0; std::fabs(f) >= 1e-8; ++iteration) {
        GXRequire(iteration < kMaxIterations && slope != 0 && std::isfinite(f), kNoRoot);
        double step = f / slope;
        r -= step;
        if (std::fabs(step) <= 1e-12 * std::max(1.0, std::fabs(r))) {
            break;
        }
        f = value(r, slope);
    }
    GXRequire(std::isfinite(r), kNoRoot);
    GXRequire(r > -1, kRateBelowMinusOneFound);
    result = GXValue::Number(r);
}

// ---- Rates and fractional dollars -----------------------------------------------------------

void CheckRateAndPeriods(double rate, double periods) {
    GXRequire(rate > 0, kRateNotPositive);
    GXRequire(periods >= 1, kPeriodsBelowOne);
}

void Effect(GXValue& result, GXCallFrame& frame) {
    std::vector<double> a = Numbers(frame, 2, 2, false, GX_ERR_BAD_ARG_TYPE);
    CheckRateAndPeriods(a[1], a[2]);
    result = GXValue::Number(Checked(std::pow(1 + a[1] / a[2], a[2])) - 1);
}

void Nominal(GXValue& result, GXCallFrame& frame) {
    std::vector<double> a = Numbers(frame, 2, 2, false);
    CheckRateAndPeriods(a[1], a[2]);
    result = GXValue::Number(a[2] * (std::pow(1 + a[1], 1 / a[2]) - 1));
}

void FvSchedule(GXValue& result, GXCallFrame& frame) {
    GXCheckArgCount(frame, 2, 2);
    double value = GXNumberArg(frame, 1, kNotNumeric);
    GXValue& schedule = frame.arg(2);
    double x = 0;
    switch (schedule.type) {
        case GX_VT_NUMBER:
            value *= 1 + schedule.number;
            break;
        case GX_VT_ERROR:
            GXRaiseValueError(schedule);
        case GX_VT_CELL:
        case GX_VT_RANGE:
            GXRequire(schedule.ref.rowCount() == 1 || schedule.ref.colCount() == 1,
                      kScheduleNotALine);
            for (GXEngineCell* c : GXRangeCells(schedule.ref)) {
                if (GXCellNumber(c->row, c->col, x)) {
                    value *= 1 + x;
                }
            }
            break;
        default:
            GXFunctionError(kNotNumeric);
    }
    result = GXValue::Number(value);
}

// Whole dollars and the fraction's denominator with its power of ten.
struct Fractional {
    double whole, part, denominator, power;
};

Fractional FractionalOf(GXCallFrame& frame, int kindCode) {
    std::vector<double> a = Numbers(frame, 2, 2, false, kindCode);
    GXRequire(a[1] > 0 && a[2] > 0, kNotPositive);
    double denominator = std::floor(a[2]);
    GXRequire(denominator > 0, kFraction);
    double power = 10;
    while (power < denominator) {
        power *= 10;
    }
    double whole = std::floor(a[1]);
    return {whole, a[1] - whole, denominator, power};
}

void DollarDe(GXValue& result, GXCallFrame& frame) {
    Fractional f = FractionalOf(frame, GX_ERR_BAD_ARG_TYPE);
    result = GXValue::Number(f.whole + f.part * f.power / f.denominator);
}

void DollarFr(GXValue& result, GXCallFrame& frame) {
    Fractional f = FractionalOf(frame, kNotNumeric);
    result = GXValue::Number(f.whole + f.part / f.power * f.denominator);
}

}  // namespace

void GXRegisterFinancialFunctions(GXHandlerRegistry& r) {
    r.Add("COUPDAYBS", CoupDayBs);
    r.Add("COUPDAYS", CoupDays);
    r.Add("COUPDAYSNC", CoupDaysNc);
    r.Add("COUPNCD", CoupNcd);
    r.Add("COUPNUM", CoupNum);
    r.Add("COUPPCD", CoupPcd);
    r.Add("PRICE", Price);
    r.Add("YIELD", Yield);
    r.Add("DURATION", Duration);
    r.Add("MDURATION", MDuration);
    r.Add("ACCRINT", AccrInt);
    r.Add("ODDFPRICE", OddFPrice);
    r.Add("ODDFYIELD", OddFYield);
    r.Add("DISC", Disc);
    r.Add("INTRATE", IntRate);
    r.Add("PRICEDISC", PriceDisc);
    r.Add("RECEIVED", Received);
    r.Add("PRICEMAT", PriceMat);
    r.Add("YIELDMAT", YieldMat);
    r.Add("ACCRINTM", AccrIntM);
    r.Add("TBILLEQ", TBillEq);
    r.Add("TBILLYIELD", TBillYield);
    r.Add("CUMIPMT", CumIPmt);
    r.Add("CUMPRINC", CumPrinc);
    r.Add("IPMT", IPmt);
    r.Add("PPMT", PPmt);
    r.Add("FV", Fv);
    r.Add("PV", Pv);
    r.Add("PMT", Pmt);
    r.Add("RATE", Rate);
    r.Add("TERM", Term);
    r.Add("CTERM", CTerm);
    r.Add("SLN", Sln);
    r.Add("SYD", Syd);
    r.Add("DDB", Ddb);
    r.Add("VDB", Vdb);
    r.Add("DB", Db);
    r.Add("MIRR", Mirr);
    r.Add("IRR", Irr);
    r.Add("XNPV", Xnpv);
    r.Add("XIRR", Xirr);
    r.Add("EFFECT", Effect);
    r.Add("NOMINAL", Nominal);
    r.Add("FVSCHEDULE", FvSchedule);
    r.Add("DOLLARDE", DollarDe);
    r.Add("DOLLARFR", DollarFr);
}

}  // namespace formula
