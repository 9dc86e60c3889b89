// When the time engine may step the clock. One datagram from anyone used to be enough;
// now a step needs the elected source, on the lighting card's network, to give the
// same offset (within kSpread) in answer to kPolls consecutive polls, and a step of more
// than kLargeStep seconds also needs the source to have kept it for kLargeHold seconds.
// Pure: the caller brings the poll number and its own clock's reading with every sample.
//
//   StepAgreement agreement;
//   switch (agreement.Add(poll, offset, now)) { case StepAgreement::Verdict::kStep: ... }
#pragma once

#include <cstdint>

class StepAgreement {
public:
    static constexpr int kPolls = 3;
    static constexpr double kSpread = 0.128;    // seconds between the run's extreme offsets
    static constexpr double kLargeStep = 1000;  // seconds; beyond it the source must insist
    static constexpr double kLargeHold = 60;    // seconds the source keeps a large offset

    enum class Verdict {
        kWait,          // not agreed yet
        kStep,          // step by Offset()
        kRefusedLarge,  // agreed, but too large a step for now (told once per run)
    };

    // A sample of the elected source answering poll number `poll` (the engine counts its
    // polls) with `offset` seconds, taken when the engine's clock read `now` seconds.
    Verdict Add(uint32_t poll, double offset, double now);
    // Forgets the run: another source, an offset that needs no step, or a step done.
    void Reset();
    // The offset to step by: the latest sample's.
    double Offset() const { return latest_; }
    int Samples() const { return count_; }

private:
    int count_ = 0;
    uint32_t lastPoll_ = 0;
    double low_ = 0, high_ = 0, latest_ = 0;
    double since_ = 0;  // the clock's reading at the run's first sample
    bool toldLarge_ = false;
};
