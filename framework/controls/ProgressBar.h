// The progress bar: a range, a position and a step.
#pragma once

#include "framework/controls/Control.h"

class QProgressBar;

namespace fw {

class ProgressBar : public Control {
    Q_OBJECT

public:
    bool Create(DWORD style, const Rect& rect, Window* parent, UINT id);
    void SetRange(int lower, int upper);
    int SetPos(int pos);  // returns the position before
    int GetPos() const;
    int OffsetPos(int delta);
    int SetStep(int step);
    int StepIt();  // wraps to the lower end past the upper one, as the bar does

private:
    QProgressBar* bar_ = nullptr;
    int step_ = 10;
};

}  // namespace fw
