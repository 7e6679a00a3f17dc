// A simulated machine with an IME package in the current directory and the
// setup context the driver would build for it. At the end of every test the
// tool must hold no key, file or search open and every box must have had an
// answer.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "common/ime_package_sim.h"
#include "driver/setup_context.h"
#include "platform/sim/machine.h"

namespace registration_test {

using namespace ime_package;

// The layout's key name, formatted here independently of the tool's helpers.
inline std::string KeyNameOf(HKL layout)
{
    char text[16];
    std::snprintf(text, sizeof text, "%8X", static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(layout)));
    return text;
}

// "" when the file is missing, else its contents.
inline std::string Contents(const std::string& path)
{
    return sim::FileExists(path) ? sim::FileContents(path) : std::string();
}

class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sim::Reset();
        PutPackageFiles();

        context.ParamFilePath = std::string(kPackageDir) + "\\setup.log";
        context.SystemDirectory = kSystemDir;
        context.ImeFileName = "MyIme.ime";
        context.MbFileName = "MyIme.mb";
        context.ImeDisplayName = kDisplayName;
        context.InstalledImePath = std::string(kSystemDir) + "\\MyIme.ime";
        context.InstalledMbPath = std::string(kSystemDir) + "\\MyIme.mb";
    }

    void TearDown() override
    {
        EXPECT_EQ(sim::OpenKeyCount(), 0);
        EXPECT_EQ(sim::OpenFileCount(), 0);
        EXPECT_EQ(sim::OpenFindCount(), 0);
        EXPECT_EQ(sim::LoadedModuleCount(), 0);
        EXPECT_EQ(sim::UnansweredBoxes(), 0);
    }

    // setup.log names the IME file in the package's sub-folder "ime": the
    // installed copy's path then keeps that folder below the system directory.
    // The input method manager reads the IME file of that name in the system
    // directory itself, where there is none: it gives no layout.
    static void UseImeFileInAFolder(SetupContext& c)
    {
        sim::PutFile(std::string(kPackageDir) + "\\ime\\MyIme.ime", kNewIme);
        sim::MakeDirectory(std::string(kSystemDir) + "\\ime");
        c.ImeFileName = "ime\\MyIme.ime";
        c.InstalledImePath = std::string(kSystemDir) + "\\ime\\MyIme.ime";
    }

    void PutPreviousVersion()
    {
        sim::PutFile(context.InstalledImePath, kOldIme);
        sim::PutFile(context.InstalledMbPath, kOldMb);
    }

    std::string InstalledIme() const { return Contents(context.InstalledImePath); }
    std::string InstalledMb() const { return Contents(context.InstalledMbPath); }

    static std::vector<std::string> RegisteredLayouts() { return sim::SubKeyNames(HKEY_LOCAL_MACHINE, kLayoutList); }

    // The calls the tool made since MarkCalls().
    void MarkCalls() { callMark_ = sim::CallCount(); }
    // The arguments of each ImmInstallIMEA call since MarkCalls(): the IME
    // file name, then the layout text.
    std::vector<std::vector<std::string>> ImeInstallCalls() const
    {
        std::vector<std::vector<std::string>> calls;
        const std::vector<sim::CallRecord>& records = sim::CallRecords();
        for (size_t i = static_cast<size_t>(callMark_); i < records.size(); ++i) {
            if (records[i].function == "ImmInstallIMEA") calls.push_back(records[i].arguments);
        }
        return calls;
    }
    std::vector<std::string> CallsSinceMark() const
    {
        const std::vector<std::string> all = sim::CallLog();
        return std::vector<std::string>(all.begin() + callMark_, all.end());
    }
    bool Called(const std::string& function) const
    {
        for (const std::string& call : CallsSinceMark()) {
            if (call == function) return true;
        }
        return false;
    }

    SetupContext context;

private:
    int callMark_ = 0;
};

}  // namespace registration_test
