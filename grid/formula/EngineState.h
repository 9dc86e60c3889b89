// The process-wide engine state: the sheet table, the last error and the installed
// worksheet-function set.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "grid/formula/CellStore.h"

namespace formula {

class CGXWorksheetFunctions;

class GX_ENGINE_STATE {
public:
    GX_ENGINE_STATE();
    ~GX_ENGINE_STATE();
    GX_ENGINE_STATE(const GX_ENGINE_STATE&) = delete;
    GX_ENGINE_STATE& operator=(const GX_ENGINE_STATE&) = delete;

    // Deletes the installed set and installs the new one (null: none).
    void SetWorksheetFunctions(std::unique_ptr<CGXWorksheetFunctions> functions);
    void UseDefaultWorksheetFunctions();
    CGXWorksheetFunctions* WorksheetFunctions() const { return functions_.get(); }

    void SetError(int flag, int number, int position) {
        errorFlag = flag;
        lastError = number;
        lastErrorPos = position;
    }

    int errorFlag = 0;
    int lastError = 0;
    int lastErrorPos = 0;
    int shifting = 0;
    std::vector<std::unique_ptr<GXEngineSheet>> sheets;  // sheet n in element n-1

private:
    std::unique_ptr<CGXWorksheetFunctions> functions_;
};

// The engine state, created on first call.
GX_ENGINE_STATE& GXGetEngineState();
// Frees every sheet, clears the error and uninstalls the function set, the scanner and
// pattern-matcher state and the random generator: a fresh process as far as the engine knows.
void GXResetEngineState();

// Sheets (numbers from 1).
int GXCreateSheet();
void GXDestroySheet(int sheet);
void GXResetSheet(int sheet);
// Null for a number that names no sheet.
GXEngineSheet* GXGetSheet(int sheet);

// Options: setters return 1, or 0 and leave the option unchanged for a value out of range.
int GXSetManualRecalc(int sheet, int on);
int GXSetRecalcMethod(int sheet, int immediately);
int GXSetConstraintCheck(int sheet, int on);
int GXSetIterationCount(int sheet, int count);
int GXSetBlanksAreZero(int sheet, int on);
int GXGetManualRecalc(int sheet);
int GXGetRecalcMethod(int sheet);
int GXGetConstraintCheck(int sheet);
int GXGetIterationCount(int sheet);
int GXGetBlanksAreZero(int sheet);

// The message slot: one message waits until the owner takes it.
void GXPostMessage(GXEngineSheet& sheet, std::string text);
bool GXGetMessage(int sheet, std::string& text);
void GXResetMessage(int sheet);

}  // namespace formula
