#include "grid/core/GXLibraryState.h"

#include "framework/app/Application.h"
#include "framework/docview/FrameWnd.h"
#include "framework/docview/View.h"
#include "framework/persist/Clipboard.h"
#include "framework/window/Window.h"
#include "grid/core/CGXAbstractFeatures.h"
#include "grid/core/CGXDIB.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/CGXSysColorCache.h"
#include "os/Paths.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>

void GXLoadLibraryTexts(GX_LIBRARY_STATE& state);

namespace {

// The platform facts the library keeps, as GetVersion reports them on the NT family: 5.1.
constexpr unsigned kMajorVersion = 5;
constexpr unsigned kMinorVersion = 1;

bool postRoutineAdded = false;

void TerminateAtToolkitExit() {
    postRoutineAdded = false;
    GXTerminateLibrary();
}

}  // namespace

GX_LIBRARY_STATE::GX_LIBRARY_STATE() = default;

GX_LIBRARY_STATE::~GX_LIBRARY_STATE() {
    Release();
}

GX_LIBRARY_STATE& GXGetLibraryState() {
    static GX_LIBRARY_STATE state;
    return state;
}

CGXTabWndInterface* GX_LIBRARY_STATE::GetTabWndInterface() const {
    return dynamic_cast<CGXTabWndInterface*>(m_pTabWndInt.get());
}

void GX_LIBRARY_STATE::RegisterContainerClass(const GXWndClass& c) {
    if (std::find(m_containerClasses.begin(), m_containerClasses.end(), c) ==
        m_containerClasses.end())
        m_containerClasses.push_back(c);
}

bool GX_LIBRARY_STATE::IsContainerClass(const fw::Window* window) const {
    return std::any_of(m_containerClasses.begin(), m_containerClasses.end(),
                       [window](const GXWndClass& c) { return c.isKindOf(window); });
}

void GX_LIBRARY_STATE::RegisterGridObject(const void* object, CGXGridCore* grid) {
    if (!object || !grid)
        return;
    std::vector<CGXGridCore*>& grids = m_gridsOfObject[object];
    if (std::find(grids.begin(), grids.end(), grid) == grids.end())
        grids.push_back(grid);
}

void GX_LIBRARY_STATE::RemoveGrid(CGXGridCore* grid) {
    for (auto it = m_gridsOfObject.begin(); it != m_gridsOfObject.end();) {
        std::erase(it->second, grid);
        it = it->second.empty() ? m_gridsOfObject.erase(it) : std::next(it);
    }
}

CGXGridCore* GX_LIBRARY_STATE::FindGridOfObject(const void* object) const {
    auto it = m_gridsOfObject.find(object);
    return it == m_gridsOfObject.end() || it->second.empty() ? nullptr : it->second.front();
}

void GX_LIBRARY_STATE::Release() {
    m_pControlFactory.reset();
    m_pTabWndInt.reset();
    m_pOwnedComponent2.reset();
    m_pOwnedComponent3.reset();
    m_pFindReplaceSettings.reset();
    m_pDrawingAndFormatting.reset();
    m_pDIBPool.reset();
    for (auto& o : m_apEngineObjects) o.reset();
    m_pNumberFormattingImp = nullptr;
    m_pCoveredCellPoolImp = nullptr;
    m_pSpanCellPoolImp = nullptr;
    m_pLongOperationImp = nullptr;
    m_pDataCopyMoveCellsImp = nullptr;
    m_pSortMoveDataImp = nullptr;
    m_pDateTimeImp = nullptr;
    m_pDrawRotatedTextImp = nullptr;
    m_pParamCopyOperatorImp = nullptr;
    m_pDocSerializeImp = nullptr;
    m_pProfileImp = nullptr;
    m_pQZ5CompatibleImp = nullptr;
    m_pStyleSerializeImp = nullptr;
    m_pStyleCompareSubsetImp = nullptr;
    m_pPrintDeviceImp = nullptr;
    m_pDelayedRangePoolImp = nullptr;
    // Newest first: a component may use one installed before it while it is deleted.
    while (!m_ownedObjects.empty()) m_ownedObjects.pop_back();
    m_containerClasses.clear();
    m_gridsOfObject.clear();
    m_windowClasses.clear();
    for (std::string& s : m_aszTexts) s.clear();
    m_strProcessing.clear();
    m_strDone.clear();
    m_strPressEscape.clear();
    m_strAbortOperation.clear();
    m_strPopupClass.clear();
    m_longOperation = GXLongOperationState();
    m_bInitDone = false;
}

std::uint32_t GXGetModuleInstance() {
    // FNV-1a of the program's path: stable for one program, different between programs.
    std::uint32_t h = 2166136261u;
    for (char c : os::ProgramPath().string()) {
        h ^= static_cast<unsigned char>(c);
        h *= 16777619u;
    }
    return h;
}

bool GXRegisterWndClass(std::string_view name, unsigned classStyle) {
    auto& classes = GXGetLibraryState().m_windowClasses;
    return classes.emplace(std::string(name), classStyle).second;
}

bool GXGetClassInfo(std::string_view name, unsigned* classStyle) {
    const auto& classes = GXGetLibraryState().m_windowClasses;
    auto it = classes.find(std::string(name));
    if (it == classes.end())
        return false;
    if (classStyle)
        *classStyle = it->second;
    return true;
}

namespace {

void RegisterLibraryClasses(GX_LIBRARY_STATE& state) {
    char popup[32];
    std::snprintf(popup, sizeof popup, "GXPopup%08x", GXGetModuleInstance());
    state.m_strPopupClass = popup;
    GXRegisterWndClass(state.m_strPopupClass, GX_CS_SAVEBITS);
    if (state.m_pControlFactory)
        state.m_pControlFactory->RegisterControlWindowClasses();
    // Copies of the system edit, list box and combo box classes, usable everywhere.
    for (const char* name : {"GXEDIT", "GXLISTBOX", "GXCOMBOBOX"})
        if (!GXGetClassInfo(name))
            GXRegisterWndClass(name, GX_CS_GLOBALCLASS | GX_CS_DBLCLKS);
    if (!GXGetClassInfo("GXWND"))
        GXRegisterWndClass("GXWND", 0x400B);
    if (!GXGetClassInfo("GXNDBLCLKSWND"))
        GXRegisterWndClass("GXNDBLCLKSWND", 0x4003);
    if (!GXGetClassInfo("GxMdiFrame"))
        GXRegisterWndClass("GxMdiFrame", 0x4008);
    // Dialogs name grid windows by this class.
    CGXGridWnd::RegisterWindowClass();
}

}  // namespace

void GXInitLibrary(std::unique_ptr<CGXAbstractControlFactory> factory) {
    GX_LIBRARY_STATE& state = GXGetLibraryState();
    char name[32];
    std::snprintf(name, sizeof name, "Grid Styles %08x", GXGetModuleInstance());
    state.m_nClipboardFormat = fw::RegisterClipboardFormat(name);

    state.m_pControlFactory = std::move(factory);
    state.m_pTabWndInt.reset();
    state.m_pOwnedComponent2.reset();
    state.m_pOwnedComponent3.reset();

    state.m_nVersion = kMajorVersion * 256 + kMinorVersion;
    state.m_bNotNT = false;
    state.m_bWin4 = kMajorVersion >= 4;
    state.m_bWinLess4 = kMajorVersion < 4;
    state.m_bWin32s = state.m_bNotNT && state.m_bWinLess4;

    if (state.m_pControlFactory)
        state.m_pControlFactory->InstallApplicationComponents();

    GXAddLibraryStrings();
    GXLoadLibraryTexts(state);
    RegisterLibraryClasses(state);

    CGXSysColorCache::Instance().Update();
    CGXSysColorCache::RefreshDateTimeSettings();
    state.m_bInitDone = true;

    // Everything the library holds goes before the toolkit does.
    if (!postRoutineAdded && QCoreApplication::instance()) {
        qAddPostRoutine(TerminateAtToolkitExit);
        postRoutineAdded = true;
    }
}

void GXTerminateLibrary() {
    GXGetLibraryState().Release();
    CGXSysColorCache::Instance().Release();
}

void GXSetLibrarySettings(int first, int second, int third) {
    GX_LIBRARY_STATE& state = GXGetLibraryState();
    state.m_nSettings[0] = first;
    state.m_nSettings[1] = second;
    state.m_nSettings[2] = third;
}

bool GXIsActivationSuppressed() {
    return GXGetLibraryState().m_bActivationSuppressed;
}

void GXSetActivationSuppressed(bool suppressed) {
    GXGetLibraryState().m_bActivationSuppressed = suppressed;
}

fw::Window* GXGetParentOfClass(const fw::Window* window, const GXWndClass& c, bool ignoreIconic) {
    if (!window)
        return nullptr;
    fw::Window* parent = window->GetParentWindow();
    if (!parent || !c.isKindOf(parent))
        return nullptr;
    if (!ignoreIconic)
        for (fw::Window* w = parent; w; w = w->GetParentWindow())
            if (w->IsIconic())
                return nullptr;
    return parent;
}

fw::Window* GXGetActiveView() {
    fw::Application* app = fw::GetApp();
    auto* frame = app ? dynamic_cast<fw::FrameWnd*>(app->GetMainWnd()) : nullptr;
    if (!frame)
        return nullptr;
    return frame->GetActiveView();
}
