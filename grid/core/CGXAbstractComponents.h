// Interfaces of the application-wide components that the grid's data types call when they are
// installed (the library state holds one pointer each, null until installed). Each has one
// implementation, named without "Abstract", among the grid's feature components; callers test
// the pointer and do nothing, or answer FALSE, 0 or a stated default, when it is absent.
#pragma once

#include "grid/core/GXDateText.h"
#include "grid/core/GXTypes.h"

#include <cstdint>
#include <ctime>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fw {
class Archive;
class DeviceContext;
class View;
struct PrintInfo;
struct Rect;
}  // namespace fw

class CGXBrush;
class CGXData;
class CGXFont;
class CGXGridParam;
class CGXLongOperation;
class CGXPen;
class CGXPrintDevice;
class CGXProperties;
class CGXRange;
class CGXRangeList;
class CGXStyle;
class CGXStylePtrArray;
class CGXStylePtrArrayPtrArray;
class CGXStylesMap;

// Archive forms of fonts, brushes, pens and styles. Each operation loads or stores by the
// archive's direction.
class CGXAbstractStyleSerializeImp : public CGXOwnedObject {
public:
    virtual void SerializeFont(CGXFont& font, fw::Archive& ar) = 0;
    virtual void SerializeBrush(CGXBrush& brush, fw::Archive& ar) = 0;
    virtual void SerializePen(CGXPen& pen, fw::Archive& ar) = 0;
    virtual void SerializeStyle(CGXStyle& style, fw::Archive& ar, const CGXStylesMap* map) = 0;
};

// The older archive form of a style's user attributes.
class CGXAbstractSerializeQZ5CompatibleImp : public CGXOwnedObject {
public:
    virtual void SerializeOldUserAttributes(CGXStyle& style, fw::Archive& ar) = 0;
};

// Grid settings in the application profile.
class CGXAbstractGridProfileImp : public CGXOwnedObject {
public:
    virtual void WriteStylesMap(const CGXStylesMap& map) = 0;
    virtual void WriteFont(const CGXFont& font, std::string_view section,
                           std::string_view entry) = 0;
    virtual void WriteStyle(const CGXStyle& style, std::string_view section,
                            std::string_view entry) = 0;
    virtual bool ReadStylesMap(CGXStylesMap& map) = 0;
    virtual bool ReadStyle(CGXStyle& style, std::string_view section, std::string_view entry) = 0;
    virtual void WriteProperties(const CGXProperties& properties) = 0;
    virtual bool ReadProperties(CGXProperties& properties) = 0;
};

// TRUE when every attribute included in `other` is included in `style` with the same value.
class CGXAbstractStyleCompareSubsetImp : public CGXOwnedObject {
public:
    virtual bool IsSubSet(const CGXStyle& style, const CGXStyle& other) = 0;
};

// Deep copies of the shared grid objects.
class CGXAbstractGridParamCopyOperatorImp : public CGXOwnedObject {
public:
    virtual void CopyParam(CGXGridParam& dest, const CGXGridParam& source) = 0;
    virtual void CopyStylesMap(CGXStylesMap& dest, const CGXStylesMap& source) = 0;
    virtual void CopyProperties(CGXProperties& dest, const CGXProperties& source) = 0;
};

// Archive forms of the shared grid objects.
class CGXAbstractGridDocSerializeImp : public CGXOwnedObject {
public:
    virtual void SerializeStylesMap(CGXStylesMap& map, fw::Archive& ar) = 0;
    virtual void SerializeData(CGXData& data, fw::Archive& ar) = 0;
    virtual void SerializeCellArray(CGXStylePtrArrayPtrArray& cells, fw::Archive& ar) = 0;
    virtual void SerializeStyleArray(CGXStylePtrArray& styles, fw::Archive& ar) = 0;
    virtual void SerializeProperties(CGXProperties& properties, fw::Archive& ar) = 0;
    virtual void SerializeParam(CGXGridParam& param, fw::Archive& ar) = 0;
};

// The covered-cell pool of a parameter object.
class CGXAbstractCoveredCellPoolImp : public CGXOwnedObject {
public:
    virtual std::unique_ptr<CGXOwnedObject> CreateCoveredCellPool() = 0;
    virtual void RebuildCoveredCellPool(CGXOwnedObject& pool, const CGXRangeList& covered) = 0;
};

// Pools of span ranges and of ranges whose spans are computed later.
class CGXAbstractSpanCellPoolImp : public CGXOwnedObject {
public:
    // Moves the spans of a pool with rows (columns) inserted at `first` (count lines) or
    // removed (first..last).
    virtual void LinesInserted(CGXOwnedObject& pool, bool rows, ROWCOL first, ROWCOL count) = 0;
    virtual void LinesRemoved(CGXOwnedObject& pool, bool rows, ROWCOL first, ROWCOL last) = 0;
};
class CGXAbstractDelayedRangePoolImp : public CGXOwnedObject {};

// Copying and moving cells inside a cell store.
class CGXAbstractDataCopyMoveCellsImp : public CGXOwnedObject {
public:
    virtual bool CopyCells(CGXData& data, const CGXRange& source, ROWCOL destRow,
                           ROWCOL destCol) = 0;
    virtual bool MoveCells(CGXData& data, const CGXRange& source, ROWCOL destRow,
                           ROWCOL destCol) = 0;
};

// Moving rows or columns of a cell store into a new order after sorting: order[i] is the old
// row (column) that goes to position first + i of the range.
class CGXAbstractGridSortMoveDataImp : public CGXOwnedObject {
public:
    virtual bool SortMoveRows(CGXData& data, const CGXRange& range,
                              const std::vector<ROWCOL>& order) = 0;
    virtual bool SortMoveCols(CGXData& data, const CGXRange& range,
                              const std::vector<ROWCOL>& order) = 0;
};

// Progress and abort of long operations; keeps the process-wide long-operation state.
class CGXAbstractLongOperationImp : public CGXOwnedObject {
public:
    virtual void Start(CGXLongOperation& op) = 0;
    virtual void Stop(CGXLongOperation& op) = 0;
    virtual void FreeStatusText(CGXLongOperation& op) = 0;
    virtual void SetStatusText(CGXLongOperation& op, std::string_view text, bool copy) = 0;
    virtual bool CheckProgressCanAbort(CGXLongOperation& op, bool& abort) = 0;
    virtual bool CheckProgress(CGXLongOperation& op) = 0;
    virtual void ProcessPendingInput(CGXLongOperation& op) = 0;
};

// Date order and separators of the user's settings.
class CGXAbstractDateTimeImp : public CGXOwnedObject {
public:
    virtual void RefreshSettings() = 0;
    // 0 day first, 1 month first, 2 year first.
    virtual int GetDateFormatInfo(bool& fourDigitYear, std::string& separator) = 0;
    virtual std::string GetTimeSeparator(bool refresh) = 0;
    // Parses a date, a time or both; false when the text is none of them.
    virtual bool ParseDateTime(GXDateTimeRecord& record, std::string_view text) = 0;
    virtual bool ParseDateTime(std::tm& time, std::string_view text) = 0;
    virtual std::string FormatDateTime(const GXDateTimeRecord& record) = 0;
    // The date alone ("%x") at local midnight, else date and time ("%c").
    virtual std::string FormatTime(std::time_t time) = 0;
};

// Text drawn at the font's orientation (the font must be selected into the device context); the
// turned text's box is aligned in the rectangle by DT_CENTER, DT_RIGHT, DT_VCENTER and DT_BOTTOM.
class CGXAbstractDrawRotatedTextImp : public CGXOwnedObject {
public:
    virtual bool DrawRotatedText(fw::DeviceContext& dc, std::string_view text, const fw::Rect& rect,
                                 const CGXStyle& style, unsigned format) = 0;
};

// The work of a grid's print device (CGXPrintDevice), in the component's order. Blocks are the
// printer's names and mode blocks; a null or empty block is a missing one.
class CGXAbstractPrintDeviceImp : public CGXOwnedObject {
public:
    // 0: the device's printer becomes the application's.
    virtual void MakeAppPrinter(CGXPrintDevice& device) = 0;
    // 1: the print dialog on the device's printer; IDOK (1) stores the chosen one, IDCANCEL (2)
    // leaves it; 0 without a device.
    virtual int DoPrintDialog(CGXPrintDevice* device) = 0;
    // 2: prepares printing of a view on the device's printer; FALSE when the view refuses.
    virtual bool OnPreparePrinting(CGXPrintDevice* device, fw::View& view, fw::PrintInfo& info) = 0;
    // 3 and 4: the device takes copies of the blocks.
    virtual void StoreHandles(CGXPrintDevice& device, const std::vector<std::uint8_t>* names,
                              const std::vector<std::uint8_t>* mode) = 0;
    virtual void StoreData(CGXPrintDevice& device, std::span<const std::uint8_t> names,
                           std::span<const std::uint8_t> mode) = 0;
    // 5: frees the blocks and the printer context.
    virtual void FreeDevice(CGXPrintDevice& device) = 0;
    // 6: copies of two blocks (empty for missing ones).
    virtual void CopyOut(const std::vector<std::uint8_t>* names,
                         const std::vector<std::uint8_t>* mode, std::vector<std::uint8_t>& namesOut,
                         std::vector<std::uint8_t>& modeOut) = 0;
    // 7: the print-setup dialog; IDOK (1) when the device took the printer chosen.
    virtual int DoPrintSetup(CGXPrintDevice& device) = 0;
    // 8 and 9: the printer context, made once; deleting it.
    virtual fw::DeviceContext* GetPrinterDC(CGXPrintDevice& device) = 0;
    virtual void DeletePrinterDC(CGXPrintDevice& device) = 0;
    // 10: new copies of the device's blocks (both null without a names block).
    virtual void MakeHandles(const CGXPrintDevice& device,
                             std::unique_ptr<std::vector<std::uint8_t>>& names,
                             std::unique_ptr<std::vector<std::uint8_t>>& mode) = 0;
    // 11 and 12: TRUE when each of the device's blocks has the given size and bytes, or is
    // missing while the given block is empty.
    virtual bool IsSamePrinter(const CGXPrintDevice& device, const std::vector<std::uint8_t>* names,
                               const std::vector<std::uint8_t>* mode) = 0;
    virtual bool IsSameData(const CGXPrintDevice& device, std::span<const std::uint8_t> names,
                            std::span<const std::uint8_t> mode) = 0;
};
