#include "grid/formula/EngineState.h"

#include "grid/formula/Evaluator.h"
#include "grid/formula/NumericHelpers.h"
#include "grid/formula/PatternMatcher.h"
#include "grid/formula/WorksheetFunctions.h"

namespace formula {

GX_ENGINE_STATE::GX_ENGINE_STATE() = default;
GX_ENGINE_STATE::~GX_ENGINE_STATE() = default;

void GX_ENGINE_STATE::SetWorksheetFunctions(std::unique_ptr<CGXWorksheetFunctions> functions) {
    functions_ = std::move(functions);
}

void GX_ENGINE_STATE::UseDefaultWorksheetFunctions() {
    SetWorksheetFunctions(std::make_unique<CGXDefaultWorksheetFunctions>());
}

GX_ENGINE_STATE& GXGetEngineState() {
    static GX_ENGINE_STATE state;
    return state;
}

void GXResetEngineState() {
    GX_ENGINE_STATE& s = GXGetEngineState();
    s.sheets.clear();
    s.SetError(0, 0, 0);
    s.shifting = 0;
    s.SetWorksheetFunctions(nullptr);
    GXRegexReset();
    GXRandomReset();
    GXTakeNumericError();
    GXGetEvalState() = GX_EVAL_STATE{};
}

int GXCreateSheet() {
    auto& sheets = GXGetEngineState().sheets;
    for (size_t i = 0; i < sheets.size(); ++i) {
        if (!sheets[i]) {
            sheets[i] = std::make_unique<GXEngineSheet>();
            sheets[i]->number = static_cast<int>(i) + 1;
            return sheets[i]->number;
        }
    }
    sheets.push_back(std::make_unique<GXEngineSheet>());
    sheets.back()->number = static_cast<int>(sheets.size());
    return sheets.back()->number;
}

GXEngineSheet* GXGetSheet(int sheet) {
    auto& sheets = GXGetEngineState().sheets;
    if (sheet < 1 || static_cast<size_t>(sheet) > sheets.size()) {
        return nullptr;
    }
    return sheets[sheet - 1].get();
}

void GXDestroySheet(int sheet) {
    if (GXGetSheet(sheet) != nullptr) {
        GXGetEngineState().sheets[sheet - 1].reset();
    }
}

void GXResetSheet(int sheet) {
    GXEngineSheet* s = GXGetSheet(sheet);
    if (s == nullptr) {
        return;
    }
    // Options, the message and the owner survive a reset; the contents go.
    auto fresh = std::make_unique<GXEngineSheet>();
    fresh->manualRecalc = s->manualRecalc;
    fresh->recalcMethod = s->recalcMethod;
    fresh->constraintCheck = s->constraintCheck;
    fresh->iterationCount = s->iterationCount;
    fresh->blanksAreZero = s->blanksAreZero;
    fresh->messageSlotFree = s->messageSlotFree;
    fresh->message = s->message;
    fresh->owner = s->owner;
    fresh->passCounter = s->passCounter;
    fresh->number = sheet;
    GXGetEngineState().sheets[sheet - 1] = std::move(fresh);
}

namespace {

int SetOption(int sheet, int GXEngineSheet::*field, int value, int max) {
    GXEngineSheet* s = GXGetSheet(sheet);
    if (s == nullptr || value < 0 || value > max) {
        return 0;
    }
    s->*field = value;
    return 1;
}

int GetOption(int sheet, int GXEngineSheet::*field) {
    GXEngineSheet* s = GXGetSheet(sheet);
    return s ? s->*field : 0;
}

}  // namespace

int GXSetManualRecalc(int sheet, int on) {
    return SetOption(sheet, &GXEngineSheet::manualRecalc, on, 1);
}
int GXSetRecalcMethod(int sheet, int immediately) {
    return SetOption(sheet, &GXEngineSheet::recalcMethod, immediately, 1);
}
int GXSetConstraintCheck(int sheet, int on) {
    return SetOption(sheet, &GXEngineSheet::constraintCheck, on, 1);
}
int GXSetIterationCount(int sheet, int count) {
    return SetOption(sheet, &GXEngineSheet::iterationCount, count, 100);
}
int GXSetBlanksAreZero(int sheet, int on) {
    return SetOption(sheet, &GXEngineSheet::blanksAreZero, on, 1);
}
int GXGetManualRecalc(int sheet) {
    return GetOption(sheet, &GXEngineSheet::manualRecalc);
}
int GXGetRecalcMethod(int sheet) {
    return GetOption(sheet, &GXEngineSheet::recalcMethod);
}
int GXGetConstraintCheck(int sheet) {
    return GetOption(sheet, &GXEngineSheet::constraintCheck);
}
int GXGetIterationCount(int sheet) {
    return GetOption(sheet, &GXEngineSheet::iterationCount);
}
int GXGetBlanksAreZero(int sheet) {
    return GetOption(sheet, &GXEngineSheet::blanksAreZero);
}

void GXPostMessage(GXEngineSheet& sheet, std::string text) {
    if (!sheet.messageSlotFree) {
        return;
    }
    if (text.size() > GXEngineSheet::kMessageCapacity) {
        text.resize(GXEngineSheet::kMessageCapacity);
    }
    sheet.message = std::move(text);
    sheet.messageSlotFree = false;
}

bool GXGetMessage(int sheet, std::string& text) {
    GXEngineSheet* s = GXGetSheet(sheet);
    if (s == nullptr || s->messageSlotFree) {
        return false;
    }
    text = s->message;
    return true;
}

void GXResetMessage(int sheet) {
    if (GXEngineSheet* s = GXGetSheet(sheet)) {
        s->messageSlotFree = true;
    }
}

}  // namespace formula
