// The grid library's process-wide state, GX_LIBRARY_STATE: the control factory, the
// application-wide components, the registered clipboard format and window classes, the
// library's texts, its three settings, and the map from a shared object (a parameter object,
// its properties, styles map or cell store) to the grids that use it.
//
// The library is started once by GXInitLibrary (the application's start-up) and shut down by
// GXTerminateLibrary, which runs by itself when the Qt application object is destroyed, so that
// nothing the library holds outlives the toolkit.
#pragma once

#include "grid/core/CGXAbstractComponents.h"
#include "grid/core/CGXAbstractControlFactory.h"
#include "grid/core/GXLongOperationState.h"
#include "grid/core/GXTypes.h"

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace fw {
class Window;
}

class CGXDIBPool;
class CGXDrawingAndFormatting;
class CGXGridCore;
class CGXNumberFormattingImp;
class CGXTabWndInterface;

// A run-time class of windows (the container window classes, GXGetParentOfClass): a name and a
// test whether a window is of that class or one derived from it.
struct GXWndClass {
    const char* name;
    bool (*isKindOf)(const fw::Window* window);
    friend bool operator==(const GXWndClass& a, const GXWndClass& b) {
        return a.isKindOf == b.isKindOf;
    }
};

template <class T>
GXWndClass GXWndClassOf(const char* name) {
    return {name, [](const fw::Window* w) { return dynamic_cast<const T*>(w) != nullptr; }};
}

// Window class styles.
inline constexpr unsigned GX_CS_VREDRAW = 0x0001;
inline constexpr unsigned GX_CS_HREDRAW = 0x0002;
inline constexpr unsigned GX_CS_DBLCLKS = 0x0008;
inline constexpr unsigned GX_CS_SAVEBITS = 0x0800;
inline constexpr unsigned GX_CS_GLOBALCLASS = 0x4000;

struct GX_LIBRARY_STATE {
    GX_LIBRARY_STATE();
    ~GX_LIBRARY_STATE();
    GX_LIBRARY_STATE(const GX_LIBRARY_STATE&) = delete;
    GX_LIBRARY_STATE& operator=(const GX_LIBRARY_STATE&) = delete;

    bool m_bInitDone = false;
    unsigned m_nClipboardFormat = 0;  // "Grid Styles %08x"

    // The library's texts: the 30 progress texts and command names (GXLibraryText gives them by
    // id), and the four texts of the long-operation display.
    std::array<std::string, 31> m_aszTexts;
    std::string m_strProcessing;      // 20075
    std::string m_strDone;            // 20076
    std::string m_strPressEscape;     // 20077
    std::string m_strAbortOperation;  // 20081

    // Facts about the platform, as a Windows program reads them from GetVersion.
    unsigned m_nVersion = 0;  // major * 256 + minor
    bool m_bNotNT = false;
    bool m_bWin4 = false;  // major version 4 or later: the new look
    bool m_bWinLess4 = false;
    bool m_bWin32s = false;

    bool m_bActivationSuppressed = false;
    int m_nSettings[3] = {0, 0, 0};  // GXSetLibrarySettings
    int m_nCoreDefault = 1;          // copied by every new grid core

    std::unique_ptr<CGXAbstractControlFactory> m_pControlFactory;
    // The tab-window interface that a tab window installs, and two further owned components.
    std::unique_ptr<CGXOwnedObject> m_pTabWndInt;
    std::unique_ptr<CGXOwnedObject> m_pOwnedComponent2;
    std::unique_ptr<CGXOwnedObject> m_pOwnedComponent3;
    // The find state shared by all grids (the find-and-replace feature makes it).
    std::unique_ptr<CGXOwnedObject> m_pFindReplaceSettings;
    CGXTabWndInterface* GetTabWndInterface() const;

    // Container window classes: a grid whose parent is one handles its scroll bars differently.
    std::vector<GXWndClass> m_containerClasses;
    void RegisterContainerClass(const GXWndClass& c);
    bool IsContainerClass(const fw::Window* window) const;

    // Shared objects and the grids that use them.
    void RegisterGridObject(const void* object, CGXGridCore* grid);
    void RemoveGrid(CGXGridCore* grid);
    CGXGridCore* FindGridOfObject(const void* object) const;
    std::map<const void*, std::vector<CGXGridCore*>> m_gridsOfObject;

    // Application-wide objects deleted at shut-down: the drawing-and-formatting object, the
    // bitmap pool and the formula engine's objects.
    std::unique_ptr<CGXDrawingAndFormatting> m_pDrawingAndFormatting;
    std::unique_ptr<CGXDIBPool> m_pDIBPool;
    std::array<std::unique_ptr<CGXOwnedObject>, 6> m_apEngineObjects;

    // The application-wide components (owned by m_ownedObjects).
    CGXNumberFormattingImp* m_pNumberFormattingImp = nullptr;
    CGXAbstractCoveredCellPoolImp* m_pCoveredCellPoolImp = nullptr;
    CGXAbstractSpanCellPoolImp* m_pSpanCellPoolImp = nullptr;
    CGXAbstractLongOperationImp* m_pLongOperationImp = nullptr;
    CGXAbstractDataCopyMoveCellsImp* m_pDataCopyMoveCellsImp = nullptr;
    CGXAbstractGridSortMoveDataImp* m_pSortMoveDataImp = nullptr;
    CGXAbstractDateTimeImp* m_pDateTimeImp = nullptr;  // with or without OLE dates
    CGXAbstractDrawRotatedTextImp* m_pDrawRotatedTextImp = nullptr;
    CGXAbstractGridParamCopyOperatorImp* m_pParamCopyOperatorImp = nullptr;
    CGXAbstractGridDocSerializeImp* m_pDocSerializeImp = nullptr;
    CGXAbstractGridProfileImp* m_pProfileImp = nullptr;
    CGXAbstractSerializeQZ5CompatibleImp* m_pQZ5CompatibleImp = nullptr;
    CGXAbstractStyleSerializeImp* m_pStyleSerializeImp = nullptr;
    CGXAbstractStyleCompareSubsetImp* m_pStyleCompareSubsetImp = nullptr;
    CGXAbstractPrintDeviceImp* m_pPrintDeviceImp = nullptr;
    CGXAbstractDelayedRangePoolImp* m_pDelayedRangePoolImp = nullptr;

    // Objects deleted at shut-down; every application-component installer adds its object here.
    template <class T>
    T* AddOwnedObject(std::unique_ptr<T> object) {
        T* raw = object.get();
        m_ownedObjects.push_back(std::move(object));
        return raw;
    }
    std::vector<std::unique_ptr<CGXOwnedObject>> m_ownedObjects;

    // Window classes registered by the library and the cell controls, with their class styles.
    std::map<std::string, unsigned> m_windowClasses;
    std::string m_strPopupClass;  // the pop-up class of the library's small windows

    GXLongOperationState m_longOperation;

    // Frees everything the library holds (GXTerminateLibrary).
    void Release();
};

GX_LIBRARY_STATE& GXGetLibraryState();

// Starts the library with the full control factory: registers the style clipboard format, stores
// the factory (deleting one held before), installs the application-wide components, loads the
// library's texts, registers the window classes and fills the system-colour cache. Calling it
// again is harmless.
void GXInitLibrary(std::unique_ptr<CGXAbstractControlFactory> factory);
// Frees everything the library holds; the library may be started again afterwards.
void GXTerminateLibrary();
// The three settings of the application (the editor passes 1, 2, 1).
void GXSetLibrarySettings(int first, int second, int third);
bool GXIsActivationSuppressed();
void GXSetActivationSuppressed(bool suppressed);

// The module's instance number: the style clipboard format carries it, so two programs built
// from this library register different formats while two runs of one program share one.
std::uint32_t GXGetModuleInstance();

// A text of the library's table by string id (20139 "Redoing %1 ...", ...); empty when the id
// is not one of the table's.
const std::string& GXLibraryText(unsigned id);
// Adds the library's own texts to the string table where the program has not set them.
void GXAddLibraryStrings();

// Window classes: registering a name that exists changes nothing (FALSE).
bool GXRegisterWndClass(std::string_view name, unsigned classStyle);
bool GXGetClassInfo(std::string_view name, unsigned* classStyle = nullptr);

// The parent of a window when it is of the given class, else null; unless `ignoreIconic`, also
// null when the parent or any window above it is minimised.
fw::Window* GXGetParentOfClass(const fw::Window* window, const GXWndClass& c, bool ignoreIconic);

// The active view of the application's main frame (or of its active child frame), or null.
fw::Window* GXGetActiveView();
