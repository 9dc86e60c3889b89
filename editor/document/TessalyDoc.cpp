// CTessalyDoc: construction, the template, and opening and saving configurations.
#include "editor/document/TessalyDoc.h"

#include "editor/document/ConfigData.h"
#include "editor/document/EditorStrings.h"
#include "editor/document/ErrorHandler.h"
#include "os/Paths.h"
#include "rcc/IOMProxy.h"

namespace {

constexpr const char* kTessalyDocSource = "TessalyDoc";

std::filesystem::path DefaultDataDir() {
    std::filesystem::path programDir = os::ProgramDir();
    std::error_code error;
    if (!programDir.empty() &&
        std::filesystem::exists(programDir / CTessalyDoc::kTemplateFile, error))
        return programDir;
    return std::filesystem::current_path(error);
}

void ReportOpenFailure(const std::filesystem::path& path, const std::string& reason) {
    CErrorHandler::GetInstance()->ReportText(
        CErrorHandler::TYPE_ERROR, kTessalyDocSource, __LINE__,
        FormatText(LoadEditorString(IDS_OPEN_FAILED).c_str(), path.c_str(), reason.c_str()));
}

}  // namespace

CTessalyDoc::CTessalyDoc() : CTessalyDoc(DefaultDataDir()) {}

CTessalyDoc::CTessalyDoc(std::filesystem::path dataDir) : dataDir_(std::move(dataDir)) {
    LoadTemplate();
}

CTessalyDoc::~CTessalyDoc() = default;

void CTessalyDoc::LoadTemplate() {
    xmldom::LoadResult loaded = template_.Load(dataDir_ / kTemplateFile);
    if (!loaded) {
        CErrorHandler::GetInstance()->ReportText(
            CErrorHandler::TYPE_ERROR, kTessalyDocSource, __LINE__,
            LoadEditorString(IDS_TEMPLATE_NOT_OPENED) + " (" + (dataDir_ / kTemplateFile).string() +
                ": " + loaded.message + ")");
        return;
    }
    templateRoot_ = template_.TopLevel("Template");
    if (!templateRoot_) {
        CErrorHandler::GetInstance()->ReportMessage(CErrorHandler::TYPE_ERROR,
                                                    IDS_TEMPLATE_NOT_OPENED);
        return;
    }
    templateNodes_ = templateRoot_.ChildElement("Nodes");
    properties_ = templateRoot_.ChildElement("Properties");
    views_ = templateRoot_.ChildElement("Views");
    enumerations_ = templateRoot_.ChildElement("Enumerations");
    templateVPorts_ = templateRoot_.ChildElement("vPorts");
}

bool CTessalyDoc::LoadConfiguration(const std::filesystem::path& path) {
    xmldom::Document loaded;
    xmldom::LoadResult result = loaded.Load(path);
    if (!result) {
        ReportOpenFailure(path, result.message);
        return false;
    }
    xmldom::Node network = loaded.TopLevel("Network");
    xmldom::Node nodes = network.ChildElement("Nodes");
    if (!nodes) {
        ReportOpenFailure(
            path, network ? "it has no \"Nodes\" element" : "it is not a network configuration");
        return false;
    }
    config_ = std::move(loaded);
    configNodes_ = nodes;
    configVPorts_ = network.ChildElement("vPorts");
    nodeInfoCursor_ = {};
    CountNodes();
    return true;
}

void CTessalyDoc::CountNodes() {
    nodeCount_ = 0;
    for (xmldom::Node node = configNodes_.FirstChildElement(); node;
         node = node.NextSiblingElement())
        ++nodeCount_;
}

bool CTessalyDoc::OnNewDocument() {
    if (!LoadConfiguration(dataDir_ / kStartFile))
        return false;
    std::string folder = CConfigData::GetInstance()->GetDefaultDataDir();
    if (!folder.empty() && !folder.ends_with('/'))
        folder += '/';
    SetPathName(folder + kNewDocumentName);
    SetModifiedFlag(false);
    return true;
}

bool CTessalyDoc::OnOpenDocument(const std::filesystem::path& path) {
    if (!LoadConfiguration(path))
        return false;
    SetPathName(path.string());
    SetModifiedFlag(false);
    return true;
}

bool CTessalyDoc::OnSaveDocument(const std::filesystem::path& path) {
    xmldom::SaveResult saved = config_.Save(path);
    if (!saved) {
        CErrorHandler::GetInstance()->ReportText(
            CErrorHandler::TYPE_ERROR, kTessalyDocSource, __LINE__,
            FormatText(LoadEditorString(IDS_SAVE_FAILED).c_str(), path.c_str(),
                       saved.message.c_str()));
        return false;
    }
    SetPathName(path.string());
    SetModifiedFlag(false);
    return true;
}
