// Matrix, fitting, interpolation and transform worksheet functions.
#include "grid/formula/CellContents.h"
#include "grid/formula/FunctionArgs.h"

namespace formula {

namespace {

// TRANSPOSE(m): the range read row by row, written transposed from the formula's cell on.
void Transpose(GXValue& result, GXCallFrame& frame) {
    if (frame.count != 1) {
        GXFunctionError(GX_ERR_WRONG_ARG_COUNT);
    }
    GXValue& m = frame.arg(1);
    if (m.type == GX_VT_ERROR) {
        GXRaiseValueError(m);
    }
    if (m.type != GX_VT_RANGE && m.type != GX_VT_CELL) {
        GXFunctionError(GX_ERR_BAD_ARG_TYPE);
    }
    int rows = m.ref.rowCount(), cols = m.ref.colCount();
    std::vector<double> t(static_cast<size_t>(rows) * cols);
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < cols; ++j) {
            double x = 0;
            if (!GXCellNumber(m.ref.firstRow() + i, m.ref.firstCol() + j, x)) {
                GXFunctionError(130);  // non-numeric value in matrix
            }
            t[static_cast<size_t>(j) * rows + i] = x;
        }
    }
    GXWriteMatrixResult(cols, rows, t.data());
    result = GXValue::Number(t[0]);
}

}  // namespace

void GXRegisterMatrixFunctions(GXHandlerRegistry& r) {
    r.Add("TRANSPOSE", Transpose);
}

}  // namespace formula
