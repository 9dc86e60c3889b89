#include "services/StepAgreement.h"

#include <algorithm>
#include <cmath>

void StepAgreement::Reset() {
    *this = StepAgreement{};
}

StepAgreement::Verdict StepAgreement::Add(uint32_t poll, double offset, double now) {
    const bool continues = count_ > 0 && poll == lastPoll_ + 1 &&
                           std::max(high_, offset) - std::min(low_, offset) <= kSpread;
    if (!continues) {
        Reset();
        low_ = high_ = offset;
        since_ = now;
    }
    ++count_;
    lastPoll_ = poll;
    low_ = std::min(low_, offset);
    high_ = std::max(high_, offset);
    latest_ = offset;
    if (count_ < kPolls)
        return Verdict::kWait;
    if (std::fabs(offset) > kLargeStep && now - since_ < kLargeHold) {
        if (toldLarge_)
            return Verdict::kWait;
        toldLarge_ = true;
        return Verdict::kRefusedLarge;
    }
    return Verdict::kStep;
}
