#include "grid/core/CGXRowColUndoData.h"

#include "grid/core/CGXStyle.h"

CGXRowColUndoData::CGXRowColUndoData() = default;
CGXRowColUndoData::~CGXRowColUndoData() = default;
