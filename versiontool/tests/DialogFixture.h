// The main dialog with real widgets over engines that send nothing: tests hand reports
// to the monitor as an engine's worker would, and every node command lands in a
// recorder (or, where a test says so, goes out through the real sender). The profile is
// a key store of the test's own.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QHeaderView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "framework/controls/ListView.h"
#include "framework/persist/Profile.h"
#include "testsupport/WithDialog.h"
#include "versiontool/QuillonResources.h"
#include "versiontool/VersionToolDlg.h"

namespace quillon::test {

using ixo::testsupport::WithDialog;

// An engine that only remembers its sink.
struct QuietEngine : CDiscoveryEngine {
    explicit QuietEngine(IDeviceEngineSink** slot) : slot_(slot) {}
    UdpStatus Start(IDeviceEngineSink* sink) override {
        *slot_ = sink;
        return UDPSOCK_S_OK;
    }
    void Stop() override { *slot_ = nullptr; }

private:
    IDeviceEngineSink** slot_;
};

struct SentCommand {
    uint32_t destination;
    uint32_t type;
    bool operator==(const SentCommand&) const = default;
};

inline VavVersionInfo Version(uint16_t major, uint16_t minor, uint16_t patch, uint16_t build = 0) {
    VavVersionData d;
    d.major = major, d.minor = minor, d.patch = patch, d.build = build;
    return VavVersionInfo(d);
}

inline DeviceEvent Device(std::string name, uint32_t ip, bool current, bool updatable,
                          uint8_t appId = 1) {
    DeviceEvent e;
    e.name = std::move(name);
    e.ipAddress = ip;
    e.appId = appId;
    e.netVersion = current ? Version(4, 0, 14) : Version(3, 9, 2);
    e.appVersion = Version(2, 1, 0, 45);
    e.typeName = updatable ? "0x2042 Network node or gateway" : "0x1882 Face panel";
    e.updatable = updatable;
    return e;
}

class DialogFixture : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("quillon-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        fw::SetAppProfile(fw::Profile::InKeyStore(kRegistryKey, kAppName, dir_ / "user.keys"));
        LoadQuillonStrings();
    }
    void TearDown() override {
        dialog.reset();
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    // Opens the dialog as the program does, without its modal loop; the real sender and
    // engines only inside a network namespace.
    CVersionToolDlg& Open(bool realSender = false, bool realEngines = false) {
        dialog.reset();
        auto monitor = std::make_unique<CDeviceMonitor>([this](EngineKind kind) {
            return std::make_unique<QuietEngine>(kind == EngineKind::NodeStatus ? &nodeSink
                                                                                : &legacySink);
        });
        if (realEngines)
            monitor = std::make_unique<CDeviceMonitor>();
        CommandSender sender;
        if (!realSender)
            sender = [this](uint32_t to, uint32_t type) {
                sent.push_back({to, type});
                return 0u;
            };
        dialog = std::make_unique<CVersionToolDlg>(nullptr, std::move(monitor), sender);
        EXPECT_TRUE(dialog->CreateModeless());
        return *dialog;
    }
    // A report from the node-status engine's worker, delivered to the list.
    void Found(const DeviceEvent& e) { Report(true, e); }
    void Lost(const DeviceEvent& e) { Report(false, e); }
    void Report(bool found, const DeviceEvent& e) {
        ASSERT_NE(nodeSink, nullptr) << "discovery is off";
        std::thread([&] { found ? nodeSink->OnDeviceFound(e) : nodeSink->OnDeviceLost(e); }).join();
        QCoreApplication::processEvents();
    }

    fw::ListView& List() { return dialog->List(); }
    QTreeWidget* Tree() { return List().Widget(); }
    std::vector<std::string> Column(int column) {
        std::vector<std::string> texts;
        for (int i = 0; i < List().GetItemCount(); ++i)
            texts.push_back(List().GetItemText(i, column));
        return texts;
    }
    std::string Line(unsigned id) { return dialog->GetDlgItemText(id); }
    void ClickRow(int row, Qt::KeyboardModifiers modifiers = {}) {
        const QRect r = Tree()->visualItemRect(Tree()->topLevelItem(row));
        QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, modifiers, r.center());
    }
    void ClickHeader(int column) {
        QHeaderView* header = Tree()->header();
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    }

    std::unique_ptr<CVersionToolDlg> dialog;
    IDeviceEngineSink* nodeSink = nullptr;
    IDeviceEngineSink* legacySink = nullptr;
    std::vector<SentCommand> sent;
    std::filesystem::path dir_;
};

}  // namespace quillon::test
