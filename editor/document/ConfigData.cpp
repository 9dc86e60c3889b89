#include "editor/document/ConfigData.h"

#include <memory>

#include "editor/document/EditorStrings.h"
#include "os/IniFile.h"
#include "os/Paths.h"

namespace {

std::unique_ptr<CConfigData>& ConfigDataInstance() {
    static std::unique_ptr<CConfigData> instance;
    return instance;
}

std::filesystem::path DefaultSettingsPath() {
    const char* name = FindEditorString(IDS_SETTINGS_FILE);
    std::filesystem::path folder = os::ProgramDir();
    return folder.empty() ? std::filesystem::path(name) : os::FindAnyCase(folder, name);
}

}  // namespace

CConfigData* CConfigData::GetInstance() {
    if (!ConfigDataInstance())
        ConfigDataInstance() = std::make_unique<CConfigData>(DefaultSettingsPath());
    return ConfigDataInstance().get();
}

CConfigData* CConfigData::CreateInstance(std::filesystem::path settingsPath) {
    ConfigDataInstance() = std::make_unique<CConfigData>(std::move(settingsPath));
    return ConfigDataInstance().get();
}

void CConfigData::DeleteInstance() {
    ConfigDataInstance().reset();
}

CConfigData::CConfigData(std::filesystem::path settingsPath) : path_(std::move(settingsPath)) {}
CConfigData::~CConfigData() = default;

std::string CConfigData::GetText(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
    if (path_.empty())
        return std::string(defaultValue);
    return os::IniFile(path_).GetString(section, key, defaultValue);
}

int CConfigData::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
    if (path_.empty())
        return defaultValue;
    return os::IniFile(path_).GetInt(section, key, defaultValue);
}

std::string CConfigData::GetPassword() const {
    return GetText("Wov", "Password", kDefaultPassword);
}

bool CConfigData::SetPassword(std::string_view password) {
    return !path_.empty() && os::IniFile(path_).WriteString("Wov", "Password", password);
}

std::string CConfigData::GetDefaultDataDir() const {
    return GetText("Wov", "DefaultDataDir", "");
}

int CConfigData::GetUpdateSoftwareDelay() const {
    return GetInt("Network", "UpdateSoftwareDelay", kDefaultUpdateSoftwareDelay);
}

int CConfigData::GetRccTimeout() const {
    return GetInt("Network", "RCCTimeout", kDefaultRccTimeout);
}

int CConfigData::GetXmitVersion() const {
    return GetInt("NodeStatus", "XmitVersion", kDefaultXmitVersion);
}

int CConfigData::GetNodeId() const {
    return GetInt("NodeStatus", "NodeID", kDefaultNodeId);
}

std::string CConfigData::GetBootpServerName() const {
    return GetText("Bootp", "ServerName", kDefaultServerName);
}

std::string CConfigData::GetTftpDir() const {
    return GetText("Bootp", "TFTPDir", kDefaultTftpDir);
}
