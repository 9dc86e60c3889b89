// The viewer of an OLE object stored in a cell (user attribute 52794, a byte-array variant in
// the database OLE-object form of GXOleObjectCodec). OLE servers have no Linux counterpart: the
// viewer reads and checks the stored object and shows its class name with "not supported" in
// place of the object; running, inserting, saving and the OLE clipboard are not offered. Bad
// data is refused with "The binary data is not valid." (20134). User-interface thread.
#pragma once

#include "grid/controls/GXVariant.h"
#include "grid/extras/GXOleObjectCodec.h"

#include "framework/window/Window.h"

#include <map>
#include <memory>
#include <string>

class CGXGenericViewerImpl;

// The client site and advise sink the viewer hands an object: reference counted as COM objects
// are, each deleting itself when its count reaches 0; Release answers the count left (0 once it
// freed itself).
class CGXClientSite {
public:
    explicit CGXClientSite(CGXGenericViewerImpl* viewer) : viewer_(viewer) {}
    unsigned long AddRef() { return ++refs_; }
    unsigned long Release();
    // Answers itself for the two interfaces it has ("IUnknown", "IOleClientSite"), adding one.
    CGXClientSite* QueryInterface(const std::string& iid);
    // Called by the destructor, for tests.
    static inline unsigned destroyed = 0;

private:
    ~CGXClientSite() { ++destroyed; }
    unsigned long refs_ = 1;
    CGXGenericViewerImpl* viewer_;
};

class CGXAdviseSink {
public:
    explicit CGXAdviseSink(CGXGenericViewerImpl* viewer) : viewer_(viewer) {}
    unsigned long AddRef() { return ++refs_; }
    unsigned long Release();
    CGXAdviseSink* QueryInterface(const std::string& iid);  // "IUnknown", "IAdviseSink"
    // The object closed: the viewer lets it go.
    void OnClose();
    static inline unsigned destroyed = 0;

private:
    ~CGXAdviseSink() { ++destroyed; }
    unsigned long refs_ = 1;
    CGXGenericViewerImpl* viewer_;
};

// The window that stands in for the object's server: the class name and "not supported".
class CGXOleViewerWnd : public fw::Window {
    Q_OBJECT

public:
    CGXOleViewerWnd(std::string title, std::string progId);
    const std::string& Line() const { return line_; }

protected:
    void OnPaint() override;

private:
    std::string title_;
    std::string line_;
};

class CGXOleViewer {
public:
    virtual ~CGXOleViewer() = default;
    enum class OpenResult { kNoObject, kInvalidData, kOpened, kAlreadyOpen };
    // Opens the cell's data; shows 20134 for data that is not a valid object.
    virtual OpenResult Open(const GXVariant& data, fw::Window* owner) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    virtual bool CanCopy() const = 0;
    virtual bool CanCut() const = 0;
    virtual bool CanPaste() const = 0;
};

class CGXGenericViewerImpl : public CGXOleViewer {
public:
    CGXGenericViewerImpl();
    ~CGXGenericViewerImpl() override;
    OpenResult Open(const GXVariant& data, fw::Window* owner) override;
    void Close() override;
    bool IsOpen() const override { return window_ != nullptr; }
    // Whether the data holds an object at all (a byte array): what copy and cut would take.
    static bool HoldsObject(const GXVariant& data);
    bool CanCopy() const override { return false; }
    bool CanCut() const override { return false; }
    bool CanPaste() const override { return false; }
    // The object last opened and its window, for tests.
    const GXOleStoredObject& Object() const { return object_; }
    CGXOleViewerWnd* Window() const { return window_.get(); }
    // The object let go of its site and sink (the advise sink's OnClose).
    void ReleaseObject();

private:
    GXOleStoredObject object_;
    std::unique_ptr<CGXOleViewerWnd> window_;
    CGXClientSite* site_ = nullptr;
    CGXAdviseSink* sink_ = nullptr;
};

// One viewer per key (the browsing grid's field number), made on first request.
class CGXViewerManager {
public:
    CGXGenericViewerImpl& GetViewer(std::uint32_t key);
    std::size_t GetCount() const { return viewers_.size(); }

private:
    std::map<std::uint32_t, std::unique_ptr<CGXGenericViewerImpl>> viewers_;
};
