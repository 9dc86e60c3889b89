// Stellan's command line: the parser, and the program run with each verb against a unit
// directory and a stand-in systemctl in a temporary folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ProcessRun.h"
#include "os/Paths.h"
#include "services/CommandLine.h"
#include "services/ServiceControl.h"

namespace {

namespace fs = std::filesystem;

TEST(CommandLineTest, VerbsTargetsSeparatorsAndCase) {
    struct Case {
        std::vector<std::string> args;
        StellanVerb verb;
        StellanTarget target;
        bool autoStart;
    } cases[] = {
        {{"-install:all", "-auto"}, StellanVerb::Install, StellanTarget::All, true},
        {{"/STOP/NTP"}, StellanVerb::Stop, StellanTarget::Ntp, false},
        {{"-install:bootp", "auto"}, StellanVerb::Install, StellanTarget::Bootp, true},
        {{"run-BootP", "/AUTO"}, StellanVerb::Run, StellanTarget::Bootp, true},
        {{"--Remove::all"}, StellanVerb::Remove, StellanTarget::All, false},
        {{"Console:ntp"}, StellanVerb::Console, StellanTarget::Ntp, false},
        {{"-help"}, StellanVerb::Help, StellanTarget::None, false},
        {{"-install:xyz"}, StellanVerb::Install, StellanTarget::Unknown, false},
        {{"-start:all"}, StellanVerb::Unknown, StellanTarget::All, false},
        {{"-run:ntp", "-auto", "-stratum=5"}, StellanVerb::Run, StellanTarget::Ntp, false},
        {{"-install:all", "-automatic"}, StellanVerb::Install, StellanTarget::All, false},
    };
    for (const Case& c : cases) {
        const StellanCommand got = ParseStellanCommand(c.args);
        EXPECT_EQ(got.verb, c.verb) << c.args[0];
        EXPECT_EQ(got.target, c.target) << c.args[0];
        EXPECT_EQ(got.autoStart, c.autoStart) << c.args[0];
    }
    EXPECT_EQ(ParseStellanCommand({}).verb, StellanVerb::None);
    EXPECT_EQ(ParseStellanCommand({"-" + std::string(40, 'x') + ":all"}).verbText.size(), 31u);
}

TEST(CommandLineTest, UnitNamesAreClean) {
    EXPECT_EQ(ServiceUnitName("IxoBootpService (Ver:4.0.14.0.0.0)"),
              "ixobootpservice-ver-4.0.14.0.0.0.service");
    EXPECT_EQ(ServiceUnitName("Ixo Chronel Service (NTP) (Ver:4.0.14.0.0.0)"),
              "ixo-chronel-service-ntp-ver-4.0.14.0.0.0.service");
}

const std::string kHelp =
    "Stellan:\r\n"
    "----------------\r\n"
    "Command Line Options:\r\n"
    "       Stellan -install:bootp/ntp/all [-auto]\r\n"
    "       Stellan -run:bootp/ntp/all [-auto]\r\n"
    "       Stellan -remove:bootp/ntp/all\r\n"
    "       Stellan -stop:bootp/ntp/all\r\n"
    "       Stellan -help\r\n"
    "\r\n"
    "        -install     install the service(s)\r\n"
    "        -run         (install and) run the service(s)\r\n"
    "        -stop        stop the service(s)\r\n"
    "        -remove      stop and remove the service(s)\r\n"
    "        -auto        Start the service automatically after system startup\r\n"
    "        -help        print this screen\r\n"
    "\r\n"
    "Flags:\r\n"
    "        bootp  - applies to bootp only\r\n"
    "        ntp    - applies to time service only\r\n"
    "        all    - applies to both services\r\n"
    "To change Stratum for the time service, set the Startup\r\n"
    "parameter for the Ixo Chronel Service (NTP) in the Service control\r\n"
    "manager to \"-stratum=num\" where num is the Stratum number\r\n";

const std::string kBoot = "IxoBootpService (Ver:4.0.14.0.0.0)";
const std::string kTime = "Ixo Chronel Service (NTP) (Ver:4.0.14.0.0.0)";
const std::string kBootUnit = "ixobootpservice-ver-4.0.14.0.0.0.service";
const std::string kTimeUnit = "ixo-chronel-service-ntp-ver-4.0.14.0.0.0.service";

// The program with its unit directory and a systemctl that logs its arguments.
class StellanProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(dir.Path() / "units");
        WriteText(dir / "systemctl", "#!/bin/sh\necho \"$@\" >> " + (dir / "calls") +
                                         "\n[ \"$1\" = is-active ] && echo inactive\nexit 0\n");
        fs::permissions(dir / "systemctl", fs::perms::owner_all);
    }
    ProcessOutput Stellan(const std::string& args, const std::string& systemctl = "") {
        return RunCommand("IXO_SERVICE_DIR=" + (dir / "units") +
                          " IXO_SYSTEMCTL=" + (systemctl.empty() ? dir / "systemctl" : systemctl) +
                          " " + STELLAN_PROGRAM + " " + args + " </dev/null");
    }
    fs::path Unit(const std::string& name) const { return dir.Path() / "units" / name; }
    fs::path Wants(const std::string& name) const {
        return dir.Path() / "units" / "multi-user.target.wants" / name;
    }

    TempDir dir;
};

TEST_F(StellanProgramTest, HelpIsPrintedExactly) {
    const ProcessOutput r = Stellan("-HELP");
    EXPECT_EQ(r.out, kHelp);
    EXPECT_EQ(r.exitCode, 0);
}

TEST_F(StellanProgramTest, UnknownVerbsAndTargetsFailOutsideTheServiceManager) {
    for (const std::string args : {"-install:xyz", "-bogus:all", "-install"}) {
        const ProcessOutput r = Stellan(args);
        EXPECT_EQ(r.out, "Failed in StartServiceCtrlDispatcher...\r\n" + kHelp) << args;
        EXPECT_EQ(r.exitCode, 255) << args;
    }
    EXPECT_FALSE(fs::exists(Unit(kBootUnit)));
}

TEST_F(StellanProgramTest, ConsoleWithoutAServiceRunsNothing) {
    const ProcessOutput r = Stellan("console:all");
    EXPECT_EQ(r.out, "Running in console mode - Appid 10\r\n");
    EXPECT_EQ(r.exitCode, 0);
}

TEST_F(StellanProgramTest, InstallWritesUnitsAutoEnablesThemRemoveDeletesThem) {
    ProcessOutput r = Stellan("-install:all -auto");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.exitCode, 0);
    const std::string boot = ReadText(Unit(kBootUnit));
    EXPECT_NE(boot.find("\nDescription=" + kBoot + "\n"), std::string::npos) << boot;
    EXPECT_NE(boot.find("\nEnvironment=\"IXO_SERVICE=" + kBoot + "\"\n"), std::string::npos);
    EXPECT_NE(boot.find("\nExecStart=\"" + fs::canonical(STELLAN_PROGRAM).string() +
                        "\" $IXO_START_PARAMETERS\n"),
              std::string::npos)
        << boot;
    EXPECT_NE(boot.find("\nAmbientCapabilities=CAP_NET_BIND_SERVICE CAP_SYS_TIME\n"),
              std::string::npos);
    // bootp.cfg is read from the current folder: the system folder, for a service.
    EXPECT_NE(boot.find("\nWorkingDirectory=-" + os::SystemDir().string() + "\n"),
              std::string::npos)
        << boot;
    EXPECT_NE(ReadText(Unit(kTimeUnit)).find("\nDescription=" + kTime + "\n"), std::string::npos);
    EXPECT_EQ(fs::read_symlink(Wants(kBootUnit)), Unit(kBootUnit));
    EXPECT_TRUE(fs::is_symlink(Wants(kTimeUnit)));

    r = Stellan("INSTALL/Ntp");
    EXPECT_EQ(r.out, "Unable to Create Service " + kTime +
                         " - The service is already installed: " + Unit(kTimeUnit).string() + "\n");
    EXPECT_EQ(r.exitCode, 1);

    r = Stellan("remove:all");
    EXPECT_EQ(r.out, "Stopping " + kBoot + ".\n" + kBoot + " stopped.\n" + kBoot + " removed.\n" +
                         "Stopping " + kTime + ".\n" + kTime + " stopped.\n" + kTime +
                         " removed.\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_FALSE(fs::exists(Unit(kBootUnit)));
    EXPECT_FALSE(fs::exists(Wants(kTimeUnit)));
    EXPECT_NE(ReadText(dir / "calls").find("stop " + kTimeUnit + "\n"), std::string::npos);

    r = Stellan("-remove:bootp");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out.rfind("OpenService failed - ", 0), 0u) << r.out;
}

TEST_F(StellanProgramTest, RunInstallsOnDemandAndHandsTheStartParametersToTheUnit) {
    ProcessOutput r = Stellan("-run:ntp x -stratum=5");
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_FALSE(fs::exists(Wants(kTimeUnit)));  // on demand
    EXPECT_EQ(ReadText(Unit(kTimeUnit + ".d/start-parameters.conf")),
              "[Service]\nEnvironment=\"IXO_START_PARAMETERS=-stratum=5\"\n");
    EXPECT_NE(ReadText(dir / "calls").find("start " + kTimeUnit + "\n"), std::string::npos);
    // The next start without parameters has none.
    r = Stellan("-run:ntp");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_FALSE(fs::exists(Unit(kTimeUnit + ".d")));
}

TEST_F(StellanProgramTest, WithoutSystemctlRunAndStopSaySo) {
    for (const std::string verb : {"-run:ntp", "-stop:ntp"}) {
        const ProcessOutput r = Stellan(verb, dir / "no-systemctl");
        EXPECT_EQ(r.out,
                  "OpenSCManager failed - systemctl not found: no service manager to talk to on "
                  "this machine\n")
            << verb;
        EXPECT_EQ(r.exitCode, 1);
    }
    // systemctl that fails: its own words are passed on.
    WriteText(dir / "failing",
              "#!/bin/sh\necho 'System has not been booted with systemd'\nexit 1\n");
    fs::permissions(dir / "failing", fs::perms::owner_all);
    const ProcessOutput r = Stellan("-run:ntp", dir / "failing");
    EXPECT_EQ(r.out, "StartService failed - System has not been booted with systemd\n");
    EXPECT_EQ(r.exitCode, 1);
}

}  // namespace
