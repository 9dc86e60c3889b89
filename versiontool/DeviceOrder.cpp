#include "versiontool/DeviceOrder.h"

#include <array>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
int Sign(long long v) {
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

// The digit run that starts at `at`, without its leading zeros; compared by length and
// then digit by digit, so runs of any length compare by value without overflow.
std::string_view DigitRun(std::string_view s, size_t at) {
    size_t end = at;
    while (end < s.size() && IsDigit(s[end])) ++end;
    while (at + 1 < end && s[at] == '0') ++at;
    return s.substr(at, end - at);
}

int CompareNumbers(std::string_view a, size_t i, std::string_view b, size_t j) {
    const std::string_view x = DigitRun(a, i), y = DigitRun(b, j);
    if (x.size() != y.size())
        return x.size() < y.size() ? -1 : 1;
    return Sign(x.compare(y));
}

// Letters by their upper-case form, digit runs by value, a digit before a letter.
int CompareAlnum(std::string_view a, size_t i, std::string_view b, size_t j) {
    const char c = a[i], d = b[j];
    if (IsLetter(c) && IsLetter(d))
        return Sign(Upper(c) - Upper(d));
    if (IsDigit(c) && IsDigit(d))
        return CompareNumbers(a, i, b, j);
    return IsDigit(c) ? -1 : 1;
}

}  // namespace

int NaturalCompare(std::string_view a, std::string_view b) {
    size_t i = 0, j = 0;
    for (;;) {
        if (i == a.size() || j == b.size()) {
            if (i == a.size() && j == b.size())
                return 0;
            return i == a.size() ? -1 : 1;
        }
        if (!IsLetter(a[i]) && !IsDigit(a[i])) {
            ++i;
            continue;
        }
        if (IsLetter(b[j]) || IsDigit(b[j])) {
            if (int r = CompareAlnum(a, i, b, j); r != 0)
                return r;
            ++i;
        }
        ++j;
    }
}

int CompareVersions(const VavVersionInfo& a, const VavVersionInfo& b) {
    const std::array<unsigned, 6> x = {a.GetMajor(),        a.GetMinor(),      a.GetPatch(),
                                       a.GetReleaseStage(), a.GetPatchDigit(), a.GetBuild()};
    const std::array<unsigned, 6> y = {b.GetMajor(),        b.GetMinor(),      b.GetPatch(),
                                       b.GetReleaseStage(), b.GetPatchDigit(), b.GetBuild()};
    for (size_t k = 0; k < x.size(); ++k)
        if (x[k] != y[k])
            return x[k] < y[k] ? -1 : 1;
    return 0;
}

namespace {
int CompareColumn(const DeviceEvent& a, const DeviceEvent& b, unsigned column) {
    switch (column) {
        case 0:
            return NaturalCompare(a.name, b.name);
        case 1:
            return Sign(static_cast<long long>(a.ipAddress) - b.ipAddress);
        case 2:
            return Sign(static_cast<int>(a.appId) - b.appId);
        case 3:
            return CompareVersions(a.netVersion, b.netVersion);
        case 4:
            return NaturalCompare(a.typeName, b.typeName);
        case 5:
            return CompareVersions(a.appVersion, b.appVersion);
        default:
            return 0;
    }
}
}  // namespace

int CompareListItems(const DeviceEvent* a, const DeviceEvent* b, uintptr_t param) {
    if (a == nullptr)
        return -1;
    if (b == nullptr)
        return 1;
    const int order = CompareColumn(*a, *b, static_cast<unsigned>(param & 0xFFFF));
    return (param >> 16) != 0 ? order : -order;
}
