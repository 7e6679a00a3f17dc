// The whole program as the entry point runs it, RunProgram, on the simulated
// machine: the registry module's start, then one setup run with the real
// operations, one box, exit status 0.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "common/clean_machine_fixture.h"
#include "common/ime_package_sim.h"
#include "common/registry_test_access.h"
#include "setup_program/program.h"
#include "registration/allocation_fault.h"
#include "registration/outcome_texts.h"
#include "registry/my_registry.h"

namespace {

using namespace ime_package;

const std::string kInstalledIme = std::string(kSystemDir) + "\\MyIme.ime";
const std::string kInstalledMb = std::string(kSystemDir) + "\\MyIme.mb";
const std::string kWideName = "\xD6\xD0\xCE\xC4\xCA\xE4\xC8\xEB";  // four double-byte characters

// A package in the current directory, and the module's process-wide facts
// cleared, so that only the program's own module start can set them.
class RunProgramTest : public CleanMachineTest {
protected:
    void SetUp() override
    {
        CleanMachineTest::SetUp();
        savedDbcs_ = MyRegistry::DbcsEnabled;
        savedPlatform_ = MyRegistry::PlatformId;
        ForgetModuleFacts();
        PutPackageFiles();
    }

    void TearDown() override
    {
        MyRegistry::DbcsEnabled = savedDbcs_;
        MyRegistry::PlatformId = savedPlatform_;
        CleanMachineTest::TearDown();
    }

    static void ForgetModuleFacts()
    {
        MyRegistry::DbcsEnabled = false;
        MyRegistry::PlatformId = 0;
    }

    // One run with the outcome box answered; its exit status.
    static int Run(const std::string& commandLine)
    {
        sim::SetCommandLine(commandLine);
        sim::QueueAnswer(IDOK);
        return RunProgram();
    }

    // The run number `runs` showed one box, with the outcome.
    static void ExpectOutcomeBox(size_t runs, const std::string& text)
    {
        ASSERT_EQ(sim::MessageBoxes().size(), runs);
        const sim::MessageBoxRecord& box = sim::MessageBoxes().back();
        EXPECT_EQ(box.owner, nullptr);
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.caption, " Setup My IME ");
        EXPECT_EQ(box.style, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    }

    static std::string LayoutKeyOf(const std::string& name) { return std::string(kLayoutList) + "\\" + name; }

private:
    bool savedDbcs_ = false;
    std::int32_t savedPlatform_ = 0;
};

TEST_F(RunProgramTest, InstallsWithOneBoxAfterTheModuleStart)
{
    EXPECT_EQ(Run("imesetup.exe"), 0);

    ExpectOutcomeBox(1, OutcomeTexts::InstallSucceeded);
    EXPECT_EQ(sim::FileContents(kInstalledIme), kNewIme);
    EXPECT_EQ(sim::FileContents(kInstalledMb), kNewMb);
    EXPECT_EQ(sim::SubKeyNames(HKEY_LOCAL_MACHINE, kLayoutList).size(), 1u);

    // This machine is NT with double-byte support: after the module start the
    // key information counts each name character as two bytes.
    sim::CreateKey(HKEY_CURRENT_USER, "T\\" + kWideName);
    MyRegistry::TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("\\T", false));
    MyRegistry::KeyInfo info;
    ASSERT_TRUE(MyRegistry::TRegistryTestAccess::QueryKeyInfo(registry, info));
    EXPECT_EQ(info.LongestSubKeyName, 8u);
}

// Erasing the layout key needs the module's facts: a sub-key with a
// double-byte name is read back only with the doubled name length.
TEST_F(RunProgramTest, InstallsThenRemovesALayoutKeyHoldingADoubleByteName)
{
    ASSERT_EQ(Run("imesetup.exe"), 0);
    ExpectOutcomeBox(1, OutcomeTexts::InstallSucceeded);
    const auto layouts = sim::SubKeyNames(HKEY_LOCAL_MACHINE, kLayoutList);
    ASSERT_EQ(layouts.size(), 1u);
    sim::SetString(HKEY_LOCAL_MACHINE, LayoutKeyOf(layouts[0]) + "\\" + kWideName, "", "x");
    ForgetModuleFacts();

    EXPECT_EQ(Run("imesetup.exe"), 0);  // the IME file is installed now

    ExpectOutcomeBox(2, OutcomeTexts::UninstallSucceeded);
    EXPECT_FALSE(sim::KeyExists(HKEY_LOCAL_MACHINE, LayoutKeyOf(layouts[0])));
    EXPECT_FALSE(sim::FileExists(kInstalledIme));
    EXPECT_FALSE(sim::FileExists(kInstalledMb));
}

TEST_F(RunProgramTest, ExhaustedMemoryEndsTheRunWithoutABox)
{
    // The module start's calls, counted on a machine of its own.
    const int before = sim::CallCount();
    MyRegistry::StartModule();
    const int moduleStart = sim::CallCount() - before;
    SetUp();

    // The first allocation after the module start throws.
    allocation_fault::FailFirstAllocationFromCall(sim::CallCount() + moduleStart);
    sim::SetCommandLine("imesetup.exe");
    const int status = RunProgram();
    allocation_fault::Disarm();

    EXPECT_TRUE(allocation_fault::Fired());
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(sim::MessageBoxes().empty());
    EXPECT_FALSE(sim::FileExists(kInstalledIme));
}

}  // namespace
