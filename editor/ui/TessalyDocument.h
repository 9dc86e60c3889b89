// The editor's document as the framework sees it: the framework's document (title, path,
// views, the save question, recent files) around the configuration document CTessalyDoc,
// which holds the template and the configuration and does the network work. The modified
// flag is the configuration's: every change the configuration marks shows in the framework's
// flag too, so closing, New and Open ask to save exactly when something changed.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "editor/document/TessalyDoc.h"
#include "framework/docview/Document.h"

namespace tessaly {

class CTessalyDocument : public fw::Document {
public:
    // The template and the starting configuration come from `dataDir` (empty: the program's
    // folder).
    explicit CTessalyDocument(std::filesystem::path dataDir = {});
    ~CTessalyDocument() override;

    CTessalyDoc& Doc() { return *data_; }
    const CTessalyDoc& Doc() const { return *data_; }

    bool OnNewDocument() override;
    bool OnOpenDocument(const std::string& path) override;
    bool OnSaveDocument(const std::string& path) override;
    bool SaveModified() override;

private:
    class Data;
    std::unique_ptr<Data> doc_;
    CTessalyDoc* data_ = nullptr;  // doc_ as the configuration document
};

// The document of the program's one frame, or null before there is one.
CTessalyDocument* ActiveTessalyDocument();

}  // namespace tessaly
