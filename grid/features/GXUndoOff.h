// Runs a scope with the parameter object's undo switch off, restoring it afterwards: the
// operations inside record one command of their own for the whole change, not one each.
#pragma once

#include "grid/core/CGXGridParam.h"

class GXUndoOff {
public:
    explicit GXUndoOff(CGXGridParam* param) : param_(param) {
        if (param_) {
            old_ = param_->m_bUndoEnabled;
            param_->m_bUndoEnabled = false;
        }
    }
    ~GXUndoOff() {
        if (param_)
            param_->m_bUndoEnabled = old_;
    }
    GXUndoOff(const GXUndoOff&) = delete;
    GXUndoOff& operator=(const GXUndoOff&) = delete;

private:
    CGXGridParam* param_;
    bool old_ = false;
};
