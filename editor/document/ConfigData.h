// CConfigData: the editor's settings file "Tessaly.ini" beside the program.
//
//   [Wov]        Password (default "Pelur"), DefaultDataDir ("")
//   [Network]    UpdateSoftwareDelay (ms, 100), RCCTimeout (s, 10)
//   [NodeStatus] XmitVersion (2), NodeID (0)
//   [Bootp]      ServerName ("WovServer"), TFTPDir ("/srv/tftp")
//
// The file is read afresh on every call; a missing file, section or key gives the
// default. Values are returned whole, however long.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

class CConfigData {
public:
    static constexpr const char* kDefaultPassword = "Pelur";
    static constexpr int kDefaultUpdateSoftwareDelay = 100;
    static constexpr int kDefaultRccTimeout = 10;
    static constexpr int kDefaultXmitVersion = 2;
    static constexpr int kDefaultNodeId = 0;
    static constexpr const char* kDefaultServerName = "WovServer";
    static constexpr const char* kDefaultTftpDir = "/srv/tftp";

    // The singleton, made on first use with the settings file beside the program.
    static CConfigData* GetInstance();
    // Makes the singleton anew over `settingsPath` (an empty path: no file, every value
    // its default); for tools and tests.
    static CConfigData* CreateInstance(std::filesystem::path settingsPath);
    static void DeleteInstance();

    explicit CConfigData(std::filesystem::path settingsPath);
    virtual ~CConfigData();

    const std::filesystem::path& GetSettingsPath() const { return path_; }

    std::string GetPassword() const;
    // Writes [Wov] Password; false when there is no settings path or the write fails.
    bool SetPassword(std::string_view password);
    std::string GetDefaultDataDir() const;
    int GetUpdateSoftwareDelay() const;
    int GetRccTimeout() const;
    int GetXmitVersion() const;
    int GetNodeId() const;
    std::string GetBootpServerName() const;
    std::string GetTftpDir() const;

private:
    std::string GetText(std::string_view section, std::string_view key,
                        std::string_view defaultValue) const;
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const;

    std::filesystem::path path_;
};
