// What the document tests share: a silent error sink that records every report, no
// settings file, no log file, and the project's own template and starting file.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "editor/document/ErrorSink.h"
#include "editor/document/TessalyDoc.h"
#include "testsupport/TempDir.h"

class DocTest : public ::testing::Test {
protected:
    DocTest();
    ~DocTest() override;

    // The document over the data folder of the project (or `dataDir`), with a new
    // configuration from its "Config.cfg".
    std::unique_ptr<CTessalyDoc> NewDocument(const std::filesystem::path& dataDir = IXO_DATA_DIR);
    // A data folder holding `templateText` as its template and the project's start file.
    std::filesystem::path DataDirWith(std::string_view templateText);

    HeadlessErrorSink sink_{nullptr};
    ixo::testsupport::TempDir dir_;
};

// The text below `node` at `path` ("" when absent).
std::string TextAt(const CTessalyDoc& doc, xmldom::Node node, std::string_view path);
