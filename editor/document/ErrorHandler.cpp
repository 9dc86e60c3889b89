#include "editor/document/ErrorHandler.h"

#include <memory>

#include "editor/document/EditorStrings.h"
#include "os/Paths.h"
#include "platform/Logger.h"

namespace {

std::unique_ptr<CErrorHandler>& ErrorHandlerInstance() {
    static std::unique_ptr<CErrorHandler> instance;
    return instance;
}

std::optional<std::filesystem::path>& LogPath() {
    static std::optional<std::filesystem::path> path;
    return path;
}

std::filesystem::path DefaultLogPath() {
    std::filesystem::path folder = os::ProgramDir();
    return folder.empty() ? std::filesystem::path("Wov.log") : folder / "Wov.log";
}

constexpr const char* kOwnSource = "ErrorHandler";

}  // namespace

CErrorHandler* CErrorHandler::GetInstance() {
    if (!ErrorHandlerInstance())
        ErrorHandlerInstance() = std::make_unique<CErrorHandler>();
    return ErrorHandlerInstance().get();
}

void CErrorHandler::DeleteInstance() {
    ErrorHandlerInstance().reset();
}

void CErrorHandler::SetLogPath(std::optional<std::filesystem::path> path) {
    LogPath() = std::move(path);
}

CErrorHandler::CErrorHandler() {
    std::filesystem::path path = LogPath().value_or(DefaultLogPath());
    if (!path.empty())
        GetLogger()->Open(path.c_str(), LOG_DEFAULT_FLAGS, LOG_DEFAULT_MAX_SIZE, false);
}

CErrorHandler::~CErrorHandler() = default;

void CErrorHandler::SetSink(IErrorSink* sink) {
    sink_ = sink;
}

IErrorSink& CErrorHandler::Sink() const {
    return sink_ ? *sink_ : console_;
}

void CErrorHandler::Report(uint32_t type, const char* sourceFile, int line, uint32_t messageId) {
    ReportText(type, sourceFile, line, LoadEditorString(messageId));
}

void CErrorHandler::ReportText(uint32_t type, const char* sourceFile, int line,
                               const std::string& text) {
    GetLogger()->LogMessage(type, sourceFile, line, "%s", text.c_str());
    if (type == TYPE_ERROR)
        Sink().ShowError(LoadEditorString(IDS_PRODUCT_NAME), text);
    else if (type == TYPE_WARNING || type == TYPE_NOTICE)
        Sink().SetMessageText(text);
}

void CErrorHandler::ReportMessage(uint32_t type, uint32_t messageId) {
    int line = type == TYPE_ERROR ? 230 : type == TYPE_WARNING ? 236 : 242;
    Report(type, kOwnSource, line, messageId);
}

int CErrorHandler::AskAbortRetryIgnore(uint32_t level, const char* sourceFile, int line,
                                       const std::string& text) {
    GetLogger()->LogMessage(level, sourceFile, line, "%s", text.c_str());
    int answer = Sink().AskAbortRetryIgnore(LoadEditorString(IDS_PRODUCT_NAME), text);
    if (answer != ANSWER_RETRY && answer != ANSWER_IGNORE)
        answer = ANSWER_ABORT;
    return answer;
}

void CErrorHandler::ShowReady() {
    Sink().SetMessageText(LoadEditorString(IDS_READY));
}
