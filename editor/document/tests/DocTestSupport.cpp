#include "editor/document/tests/DocTestSupport.h"

#include "editor/document/ConfigData.h"
#include "editor/document/ErrorHandler.h"
#include "platform/Logger.h"

DocTest::DocTest() {
    CErrorHandler::SetLogPath(std::filesystem::path());
    CErrorHandler::GetInstance()->SetSink(&sink_);
    CConfigData::CreateInstance({});
}

DocTest::~DocTest() {
    CErrorHandler::DeleteInstance();
    CErrorHandler::SetLogPath(std::nullopt);
    CConfigData::DeleteInstance();
    GetLogger()->Close();
}

std::unique_ptr<CTessalyDoc> DocTest::NewDocument(const std::filesystem::path& dataDir) {
    auto doc = std::make_unique<CTessalyDoc>(dataDir);
    EXPECT_TRUE(doc->OnNewDocument());
    return doc;
}

std::filesystem::path DocTest::DataDirWith(std::string_view templateText) {
    std::filesystem::create_directories(dir_ / "data");
    dir_.Write("data/template.cfg", templateText);
    std::filesystem::copy_file(std::filesystem::path(IXO_DATA_DIR) / "Config.cfg",
                               dir_ / "data/Config.cfg",
                               std::filesystem::copy_options::overwrite_existing);
    return dir_ / "data";
}

std::string TextAt(const CTessalyDoc& doc, xmldom::Node node, std::string_view path) {
    std::string text;
    doc.GetNodeText(doc.GetProperty(node, path), text);
    return text;
}
