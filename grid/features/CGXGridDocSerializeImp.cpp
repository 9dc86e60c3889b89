#include "grid/features/CGXGridDocSerializeImp.h"

#include "framework/persist/Archive.h"
#include "framework/persist/StringTable.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXStylePtrArray.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/GXLibraryState.h"
#include "grid/features/CGXSpanCellPools.h"
#include "grid/features/CGXStyleSerializeImp.h"
#include "grid/features/GXArchiveValues.h"
#include "grid/features/GXPoolRecords.h"

#include <cstdint>
#include <cstdio>

namespace {

constexpr std::uint16_t kStylesMapSchema = 2;
constexpr std::uint16_t kArraySchema = 1;
constexpr std::uint16_t kPropertiesSchema = 4;
constexpr std::uint16_t kParamSchema = 10;
constexpr std::uint32_t kEndMark = 0xFFFFFFFF;
// Arrays are indexed by row or column; more than 2^24 of them is no grid this library writes.
constexpr std::uint32_t kMaxArrayCount = 1u << 24;

using gxarchive::Bool;
using gxarchive::Byte;
using gxarchive::DWord;
using gxarchive::PutBool;
using gxarchive::Word;

std::uint16_t Schema(fw::Archive& ar, std::uint16_t current, const char* what) {
    const std::uint16_t schema = Word(ar);
    if (schema > current)
        throw fw::ArchiveException(fw::ArchiveCause::BadSchema, what);
    return schema;
}
// A DWORD array index read against the announced count.
std::uint32_t CheckedCount(fw::Archive& ar, const char* what) {
    const std::uint32_t count = DWord(ar);
    if (count > kMaxArrayCount)
        throw fw::ArchiveException(fw::ArchiveCause::TooLarge, what);
    return count;
}
void CheckIndex(std::uint32_t index, std::uint32_t count, const char* what) {
    if (index >= count)
        throw fw::ArchiveException(fw::ArchiveCause::BadIndex, what);
}

// Restores the archive's context object however the block is left.
class ContextGuard {
public:
    explicit ContextGuard(fw::Archive& ar) : ar_(ar), previous_(ar.GetContext()) {}
    ~ContextGuard() { ar_.SetContext(previous_); }
    ContextGuard(const ContextGuard&) = delete;
    ContextGuard& operator=(const ContextGuard&) = delete;

private:
    fw::Archive& ar_;
    fw::Serializable* previous_;
};

std::string ResourceName(unsigned id, const char* pattern) {
    std::string name = fw::LoadString(id);
    if (name.empty()) {
        char buf[32];
        std::snprintf(buf, sizeof buf, pattern, id);
        name = buf;
    }
    return name;
}

}  // namespace

// --- styles map ------------------------------------------------------------------------------

void CGXGridDocSerializeImp::SerializeStylesMap(CGXStylesMap& map, fw::Archive& ar) {
    if (ar.IsStoring())
        StoreStylesMap(map, ar);
    else
        LoadStylesMap(map, ar);
}

void CGXGridDocSerializeImp::StoreStylesMap(CGXStylesMap& map, fw::Archive& ar) {
    ar << kStylesMapSchema << map.m_strSection;
    ar << static_cast<std::uint16_t>(map.ControlNames().size());
    for (const auto& [id, name] : map.ControlNames()) ar << static_cast<std::uint32_t>(id) << name;
    ar << static_cast<std::uint16_t>(map.Names().size());
    for (const auto& [name, id] : map.Names()) ar << id << name;
    ar << static_cast<std::uint16_t>(map.Styles().size());
    for (auto& [id, e] : map.Styles()) {
        ar << id << static_cast<std::uint32_t>(e.resourceId) << e.name;
        PutBool(ar, e.system);
        CGXStyle empty;
        (e.style ? *e.style : empty).Serialize(ar, &map);
    }
    ar << map.NextId();
    ar << static_cast<std::uint16_t>(map.UserAttributes().size());
    for (auto& [id, e] : map.UserAttributes()) {
        ar << static_cast<std::uint32_t>(id);
        CGXStyle empty;
        (e.style ? *e.style : empty).Serialize(ar, &map);
    }
}

void CGXGridDocSerializeImp::LoadStylesMap(CGXStylesMap& map, fw::Archive& ar) {
    const std::uint16_t schema = Schema(ar, kStylesMapSchema, "styles map");
    map.RemoveAllStyles();
    map.Resources().clear();
    map.RemoveAllControls();
    map.m_strSection = ar.ReadString();
    for (std::uint16_t n = Word(ar); n > 0; --n) {
        const std::uint32_t id = DWord(ar);
        map.ControlNames()[id] = ar.ReadString();
    }
    for (std::uint16_t n = Word(ar); n > 0; --n) {
        Word(ar);  // the name map is rebuilt from the base styles
        ar.ReadString();
    }
    for (std::uint16_t n = Word(ar); n > 0; --n) {
        CGXStylesMapStyleEntry e;
        e.id = Word(ar);
        // A second entry for an id would leave the first one's names pointing at it.
        if (map.Styles().count(e.id))
            throw fw::ArchiveException(fw::ArchiveCause::BadIndex, "styles map: repeated id");
        e.resourceId = DWord(ar);
        e.name = ar.ReadString();
        e.system = Bool(ar);
        e.style = map.CreateStyle();
        e.style->Serialize(ar, &map);
        if (e.resourceId != 0) {
            e.name = ResourceName(e.resourceId, "STYLE%u");
            map.Resources()[e.resourceId] = e.id;
        }
        map.Names()[e.name] = e.id;
        const std::uint16_t id = e.id;
        map.Styles()[id] = std::move(e);
    }
    map.NextId() = Word(ar);
    if (schema >= 2) {
        for (std::uint16_t n = Word(ar); n > 0; --n) {
            const auto id = static_cast<std::uint16_t>(DWord(ar));
            auto style = map.CreateStyle();
            style->Serialize(ar, &map);
            map.UserAttributes()[id] = {id, ResourceName(id, "UA%u"), std::move(style)};
        }
    }
    map.m_wStyleStandard = map.GetStyleIdFromResource(GX_IDS_STYLE_STANDARD);
    map.m_wStyleColHeader = map.GetStyleIdFromResource(GX_IDS_STYLE_COLHEADER);
    map.m_wStyleRowHeader = map.GetStyleIdFromResource(GX_IDS_STYLE_ROWHEADER);
}

// --- cell store and its arrays ---------------------------------------------------------------

void CGXGridDocSerializeImp::SerializeData(CGXData& data, fw::Archive& ar) {
    if (ar.IsStoring()) {
        ar << kArraySchema << static_cast<std::uint32_t>(data.GetRowCount())
           << static_cast<std::uint32_t>(data.GetColCount());
    } else {
        if (Word(ar) != kArraySchema)
            throw fw::ArchiveException(fw::ArchiveCause::BadSchema, "cell store");
        data.RowCountRef() = DWord(ar);
        data.ColCountRef() = DWord(ar);
    }
    SerializeCellArray(data.m_apapCellStyle, ar);
    SerializeStyleArray(data.m_apRowBaseStyle, ar);
    SerializeStyleArray(data.m_apColBaseStyle, ar);
}

void CGXGridDocSerializeImp::SerializeCellArray(CGXStylePtrArrayPtrArray& cells, fw::Archive& ar) {
    if (ar.IsStoring()) {
        ar << kArraySchema << static_cast<std::uint32_t>(cells.GetSize());
        for (std::size_t i = 0; i < cells.GetSize(); ++i)
            if (CGXStylePtrArray* row = cells.GetAt(i)) {
                ar << static_cast<std::uint32_t>(i);
                SerializeStyleArray(*row, ar);
            }
        ar << kEndMark;
        return;
    }
    if (Word(ar) != kArraySchema)
        throw fw::ArchiveException(fw::ArchiveCause::BadSchema, "cell array");
    cells.RemoveAll();
    const std::uint32_t count = CheckedCount(ar, "cell array count");
    // The array grows only as far as the elements read: what lies past them is empty anyway.
    for (std::uint32_t index = DWord(ar); index != kEndMark; index = DWord(ar)) {
        CheckIndex(index, count, "cell array index");
        if (cells.GetSize() <= index)
            cells.SetSize(std::size_t(index) + 1);
        auto row = std::make_unique<CGXStylePtrArray>();
        SerializeStyleArray(*row, ar);
        cells.ElementAt(index) = std::move(row);
    }
}

void CGXGridDocSerializeImp::SerializeStyleArray(CGXStylePtrArray& styles, fw::Archive& ar) {
    if (ar.IsStoring()) {
        ar << kArraySchema << static_cast<std::uint32_t>(styles.GetSize());
        for (std::size_t i = 0; i < styles.GetSize(); ++i)
            if (CGXStyle* style = styles.GetAt(i)) {
                ar << static_cast<std::uint32_t>(i);
                ar.WriteObject(style);
            }
        ar << kEndMark;
        return;
    }
    if (Word(ar) != kArraySchema)
        throw fw::ArchiveException(fw::ArchiveCause::BadSchema, "style array");
    styles.RemoveAll();
    const std::uint32_t count = CheckedCount(ar, "style array count");
    for (std::uint32_t index = DWord(ar); index != kEndMark; index = DWord(ar)) {
        CheckIndex(index, count, "style array index");
        if (styles.GetSize() <= index)
            styles.SetSize(std::size_t(index) + 1);
        styles.SetAt(index, ar.ReadObjectAs<CGXStyle>());
    }
}

// --- properties ------------------------------------------------------------------------------

void CGXGridDocSerializeImp::SerializeProperties(CGXProperties& p, fw::Archive& ar) {
    if (ar.IsStoring())
        StoreProperties(p, ar);
    else
        LoadProperties(p, ar);
}

void CGXGridDocSerializeImp::StoreProperties(CGXProperties& p, fw::Archive& ar) {
    ar << kPropertiesSchema;
    std::vector<std::uint32_t> colors(p.Colors().begin(), p.Colors().end());
    ar.WriteDWordArray(colors);
    ar.WriteStringArray({});
    PutBool(ar, p.GetDisplayVertLines());
    PutBool(ar, p.GetDisplayHorzLines());
    PutBool(ar, p.Get3dButtons());
    PutBool(ar, p.m_bMarkRowHeader);
    PutBool(ar, p.m_bMarkColHeader);
    ar << p.m_sSection << static_cast<std::uint32_t>(p.GetZoom());
    for (auto& [id, u] : p.m_userProperties) {
        ar << id << u.name;
        ar.WriteObject(u.style.get());
    }
    ar << std::uint32_t{0};
    for (int v : {int(p.GetPrintVertLines()), int(p.GetPrintHorzLines()), p.m_nPageOrder,
                  int(p.GetBlackWhite()), int(p.m_bPrintRowHeaders), int(p.m_bCenterVertical),
                  int(p.m_bCenterHorizontal), p.m_nTopMargin, p.m_nLeftMargin, p.m_nRightMargin,
                  p.m_nBottomMargin, int(p.m_bPrintFrame), p.m_nHeaderDistance, p.m_nFooterDistance,
                  p.m_nFirstPage})
        ar << static_cast<std::int32_t>(v);
    ar << p.m_wSetting1 << p.m_wSetting2;
    ar.WriteDWordArray(p.m_awColBreaks);
    ar.WriteDWordArray(p.m_awRowBreaks);
    SerializeData(*p.m_pFooter, ar);
    SerializeData(*p.m_pHeader, ar);
    ar << static_cast<std::uint32_t>(p.m_bPrintColHeaders ? 1 : 0);
}

void CGXGridDocSerializeImp::LoadProperties(CGXProperties& p, fw::Archive& ar) {
    const std::uint16_t schema = Schema(ar, kPropertiesSchema, "properties");
    std::vector<std::uint32_t> colors = ar.ReadDWordArray();
    // The table keeps one colour per name: the names come from the program, not the archive.
    colors.resize(p.ColorNames().size(), 0);
    p.Colors().assign(colors.begin(), colors.end());
    ar.ReadStringArray();
    p.SetDisplayVertLines(Bool(ar));
    p.SetDisplayHorzLines(Bool(ar));
    p.Set3dButtons(Bool(ar));
    p.m_bMarkRowHeader = Bool(ar);
    p.m_bMarkColHeader = Bool(ar);
    p.m_sSection = ar.ReadString();
    p.SetZoom(static_cast<int>(DWord(ar)));
    for (std::uint32_t id = DWord(ar); id != 0; id = DWord(ar)) {
        CGXProperties::UserProperty& u = p.m_userProperties[id];
        u.name = ar.ReadString();
        u.style = ar.ReadObjectAs<CGXStyle>();
    }
    auto Int = [&ar] { return static_cast<std::int32_t>(DWord(ar)); };
    p.SetPrintVertLines(Int() != 0);
    p.SetPrintHorzLines(Int() != 0);
    p.m_nPageOrder = Int();
    p.SetBlackWhite(Int() != 0);
    p.m_bPrintRowHeaders = Int() != 0;
    p.m_bCenterVertical = Int() != 0;
    p.m_bCenterHorizontal = Int() != 0;
    p.m_nTopMargin = Int();
    p.m_nLeftMargin = Int();
    p.m_nRightMargin = Int();
    p.m_nBottomMargin = Int();
    p.m_bPrintFrame = Int() != 0;
    p.m_nHeaderDistance = Int();
    p.m_nFooterDistance = Int();
    p.m_nFirstPage = Int();
    p.m_wSetting1 = Word(ar);
    p.m_wSetting2 = Word(ar);
    if (schema >= 3) {
        p.m_awColBreaks = ar.ReadDWordArray();
        p.m_awRowBreaks = ar.ReadDWordArray();
    }
    SerializeData(*p.m_pFooter, ar);
    SerializeData(*p.m_pHeader, ar);
    if (schema == 2 || schema >= 4)
        p.m_bPrintColHeaders = DWord(ar) != 0;
}

// --- parameter object ------------------------------------------------------------------------

void CGXGridDocSerializeImp::SerializeParam(CGXGridParam& param, fw::Archive& ar) {
    if (ar.IsStoring())
        StoreParam(param, ar);
    else
        LoadParam(param, ar);
}

namespace {

// The options of the parameter object in their archive order (the own-flags and sub-objects
// excepted). Each entry handles one member in both directions.
void ArchiveOptionsHead(CGXGridParam& p, fw::Archive& ar) {
    bool* flags1[] = {&p.m_bMouseOption,   &p.m_bCoreOption,   &p.m_bReadOnly, &p.m_bUndoEnabled,
                      &p.m_bLockReadOnly,  &p.m_bTrackThumb,   &p.m_bReadOnly, &p.m_bCoreOption,
                      &p.m_bAllowMoveCols, &p.m_bAllowMoveRows};
    for (bool* b : flags1) {
        if (ar.IsStoring())
            PutBool(ar, *b);
        else
            *b = Bool(ar);
    }
}

void ArchiveOptionsMiddle(CGXGridParam& p, fw::Archive& ar) {
    bool* flags[] = {&p.m_bDirectCopyPaste, &p.m_bDirectCutPaste, &p.m_bNumberedColHeaders,
                     &p.m_bNumberedRowHeaders};
    std::uint16_t* masks[] = {&p.m_wAllowSelection, &p.m_wAllowTrackRowHeight,
                              &p.m_wAllowTrackColWidth};
    if (ar.IsStoring()) {
        for (bool* b : flags) PutBool(ar, *b);
        for (std::uint16_t* w : masks) ar << *w;
        ar << static_cast<std::uint32_t>(p.m_nFrozenRows)
           << static_cast<std::uint32_t>(p.m_nFrozenCols)
           << static_cast<std::uint32_t>(p.m_nDefaultColWidth)
           << static_cast<std::uint32_t>(p.m_nDefaultRowHeight) << p.m_sSheetName;
        for (std::uint16_t w : p.m_awOptions) ar << w;
        ar << static_cast<std::uint32_t>(p.m_nHeaderRows)
           << static_cast<std::uint32_t>(p.m_nHeaderCols);
        return;
    }
    for (bool* b : flags) *b = Bool(ar);
    for (std::uint16_t* w : masks) *w = Word(ar);
    p.m_nFrozenRows = DWord(ar);
    p.m_nFrozenCols = DWord(ar);
    p.m_nDefaultColWidth = static_cast<std::int32_t>(DWord(ar));
    p.m_nDefaultRowHeight = static_cast<std::int32_t>(DWord(ar));
    p.m_sSheetName = ar.ReadString();
    for (std::uint16_t& w : p.m_awOptions) w = Word(ar);
    p.m_nHeaderRows = DWord(ar);
    p.m_nHeaderCols = DWord(ar);
}

void ArchiveLists(CGXGridParam& p, fw::Archive& ar) {
    if (ar.IsLoading()) {
        p.m_SelRects.DeleteAll();
        p.m_CoveredCells.DeleteAll();
        p.m_RowHeights.RemoveAll();
        p.m_ColWidths.RemoveAll();
        p.m_MarkedCells.DeleteAll();
        p.m_ExtraRanges.DeleteAll();
    }
    p.m_SelRects.Serialize(ar);
    p.m_CoveredCells.Serialize(ar);
    if (ar.IsLoading()) {
        p.CreateCoveredCellPool();
        p.RebuildCoveredCellPool();
    }
    p.m_RowHeights.Serialize(ar);
    p.m_ColWidths.Serialize(ar);
    p.m_MarkedCells.Serialize(ar);
    p.m_ExtraRanges.Serialize(ar);
}

// A BYTE, WORD or DWORD member in both directions.
template <class Wire, class T>
void Member(fw::Archive& ar, T& member) {
    if (ar.IsStoring()) {
        ar << static_cast<Wire>(member);
    } else {
        Wire v = 0;
        ar >> v;
        member = static_cast<T>(v);
    }
}

void ArchiveOptionsTail(CGXGridParam& p, fw::Archive& ar, std::uint16_t schema) {
    if (schema >= 2)
        Member<std::uint8_t>(ar, p.m_bPaintOutside);
    if (schema >= 3) {
        Member<std::uint8_t>(ar, p.m_bSyncCurrentCell);
        Member<std::uint8_t>(ar, p.m_bExcelLikeFill);
        Member<std::uint32_t>(ar, p.m_nActivateCell);
        Member<std::uint32_t>(ar, p.m_nEditFormat);
        Member<std::uint32_t>(ar, p.m_nHideCurrentCell);
    }
    if (schema >= 4)
        Member<std::uint16_t>(ar, p.m_wSelectionMode);
    if (schema >= 5) {
        Member<std::uint8_t>(ar, p.m_bKeepSelection);
        Member<std::uint16_t>(ar, p.m_wOption4);
        Member<std::uint32_t>(ar, p.m_nOption3);
    }
    if (schema >= 6) {
        for (bool* b : {&p.m_bLockHeaderSize, &p.m_bTrackBodyCells, &p.m_bFocusOnClickInActiveView,
                        &p.m_bRedrawOnCancel, &p.m_bSetCurrentCellOnRelease})
            Member<std::uint8_t>(ar, *b);
        Member<std::uint16_t>(ar, p.m_wFloatMode);
        GXArchivePool(ar, p.m_apDelayedRangePools[0], GXPoolKind::DelayedRange);
        GXArchivePool(ar, p.m_apSpanCellPools[2], GXPoolKind::SpanCell);
        Member<std::uint16_t>(ar, p.m_wMergeMode);
        GXArchivePool(ar, p.m_apDelayedRangePools[1], GXPoolKind::DelayedRange);
        GXArchivePool(ar, p.m_apSpanCellPools[0], GXPoolKind::SpanCell);
        GXArchivePool(ar, p.m_apSpanCellPools[1], GXPoolKind::SpanCell);
        Member<std::uint16_t>(ar, p.m_nCurrentCellDrawing);
    }
    if (schema >= 8) {
        Member<std::uint8_t>(ar, p.m_bMarkSelectionHeaders);
        Member<std::uint8_t>(ar, p.m_bRestoreCurrentCell);
        Member<std::uint8_t>(ar, p.m_bMarkCells);
    }
    if (schema >= 9)
        Member<std::uint16_t>(ar, p.m_nEnterKeyAction);
    if (schema >= 10)
        Member<std::uint8_t>(ar, p.m_nGridLineStyle);
}

// Loaded spans are worked out again: each delayed pool is given the whole table to evaluate and
// the span pools that go with it start empty.
void ResetLoadedPools(CGXGridParam& p) {
    auto reset = [&p](std::size_t delayed, std::initializer_list<std::size_t> spans) {
        auto* pool = dynamic_cast<CGXDelayedRangePool*>(p.m_apDelayedRangePools[delayed].get());
        if (!pool)
            return;
        pool->Empty();
        pool->AddDelayedRange(CGXRange(0, 0, ROWCOL(-2), ROWCOL(-2)));
        for (std::size_t s : spans)
            if (auto* span = dynamic_cast<CGXSpanCellPool*>(p.m_apSpanCellPools[s].get()))
                span->Reset();
    };
    reset(0, {2});
    reset(1, {0, 1});
}

}  // namespace

void CGXGridDocSerializeImp::StoreParam(CGXGridParam& p, fw::Archive& ar) {
    ar << kParamSchema;
    ArchiveOptionsHead(p, ar);
    PutBool(ar, p.m_bOwnData);
    PutBool(ar, p.m_bOwnPrintDevice);
    PutBool(ar, p.m_bOwnProperties);
    PutBool(ar, p.m_bOwnStylesMap);
    ArchiveOptionsMiddle(p, ar);
    {
        ContextGuard guard(ar);
        ar.SetContext(p.GetStylesMap());
        if (p.m_bOwnStylesMap)
            ar.WriteObject(p.GetStylesMap());
        if (p.m_bOwnData)
            ar.WriteObject(p.GetData());
        if (p.m_bOwnProperties)
            ar.WriteObject(p.GetProperties());
    }
    if (p.m_bOwnPrintDevice)
        ar.WriteObject(p.GetPrintDevice());
    ArchiveLists(p, ar);
    ArchiveOptionsTail(p, ar, kParamSchema);
}

void CGXGridDocSerializeImp::LoadParam(CGXGridParam& p, fw::Archive& ar) {
    const std::uint16_t schema = Schema(ar, kParamSchema, "grid parameters");
    // What the object owned goes first; the own-flags read decide what comes instead.
    p.SetStylesMap(nullptr);
    p.SetData(nullptr);
    p.SetProperties(nullptr);
    p.SetPrintDevice(nullptr);
    ArchiveOptionsHead(p, ar);
    const bool ownData = Bool(ar);
    const bool ownPrintDevice = Bool(ar);
    const bool ownProperties = Bool(ar);
    const bool ownStylesMap = Bool(ar);
    ArchiveOptionsMiddle(p, ar);
    {
        ContextGuard guard(ar);
        if (ownStylesMap) {
            p.SetStylesMap(ar.ReadObjectAs<CGXStylesMap>().release(), true);
            ar.SetContext(p.GetStylesMap());
        }
        if (ownData)
            p.SetData(ar.ReadObjectAs<CGXData>().release(), true);
        if (ownProperties)
            p.SetProperties(ar.ReadObjectAs<CGXProperties>().release(), true);
    }
    if (ownPrintDevice)
        p.SetPrintDevice(ar.ReadObjectAs<CGXPrintDevice>().release(), true);
    ArchiveLists(p, ar);
    ArchiveOptionsTail(p, ar, schema);
    if (schema >= 6)
        ResetLoadedPools(p);
}

void InstallDocSerializeImp() {
    InstallStyleSerializeImp();
    InstallSpanCellPoolImp();
    InstallDelayedRangePoolImp();
    GX_LIBRARY_STATE& state = GXGetLibraryState();
    if (!state.m_pDocSerializeImp)
        state.m_pDocSerializeImp = state.AddOwnedObject(std::make_unique<CGXGridDocSerializeImp>());
}
