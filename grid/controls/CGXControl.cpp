#include "grid/controls/CGXControl.h"

#include "grid/core/CGXStyle.h"

CGXControl::~CGXControl() = default;
