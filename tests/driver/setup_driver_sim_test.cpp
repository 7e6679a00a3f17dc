// The setup run from start to end, with recording stand-ins for the two
// registration operations: the quiet ends, the mode, the paths and the box.
#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "common/clean_machine_fixture.h"
#include "driver/exit_status.h"
#include "driver/setup_driver.h"
#include "driver/setup_parameters.h"
#include "program_guard/guarded_run.h"

namespace {

const std::string kDisplayName = "\xCE\xD2\xB5\xC4\xCA\xE4\xC8\xEB\xB7\xA8";      // "我的输入法"
const std::string kInstalledText = "\xB0\xB2\xD7\xB0\xB3\xC9\xB9\xA6\xA1\xA3";    // "安装成功。"
const std::string kUninstalledText = "\xD0\xB6\xD4\xD8\xB3\xC9\xB9\xA6\xA1\xA3";  // "卸载成功。"
const std::string kSystemDir = "C:\\WINDOWS\\SYSTEM32";

struct RecordedCall {
    std::string operation;
    bool explicitRequest = false;
    SetupContext seen;
};

class SetupDriverTest : public CleanMachineTest {
protected:
    void SetUp() override
    {
        CleanMachineTest::SetUp();
        sim::SetCurrentDirectory("C:\\SETUP");
        sim::PutFile("C:\\SETUP\\my.ime", "module");
        sim::PutFile("C:\\SETUP\\my.mb", "table");
        WriteSetupLog("ImeFile=my.ime", "MbFile=my.mb", "ImeName=" + kDisplayName);
    }

    static void WriteSetupLog(const std::string& imeFile, const std::string& mbFile, const std::string& imeName)
    {
        sim::PutFile("C:\\SETUP\\setup.log",
                     "[ImePram]\r\n" + imeFile + "\r\n" + mbFile + "\r\n" + imeName + "\r\n");
    }

    SetupOperations Recording()
    {
        SetupOperations operations;
        operations.InstallIme = [this](const SetupContext& context, bool explicitRequest) {
            calls_.push_back({"InstallIme", explicitRequest, context});
            return kInstalledText;
        };
        operations.UninstallIme = [this](const SetupContext& context, bool explicitRequest) {
            calls_.push_back({"UninstallIme", explicitRequest, context});
            return kUninstalledText;
        };
        return operations;
    }

    int Run(const std::string& commandLine)
    {
        sim::SetCommandLine(commandLine);
        sim::QueueAnswer(IDOK);  // for the outcome box, if the run gets that far
        boxesBefore_ = sim::MessageBoxes().size();
        return RunSetup(context_, Recording());
    }

    bool CommandLineWasRead() const
    {
        for (const auto& name : sim::CallLog()) {
            if (name == "GetCommandLineA") {
                return true;
            }
        }
        return false;
    }

    // Ended without a word: no operation, no box, status 0.
    void ExpectQuietEnd(int status) const
    {
        EXPECT_EQ(status, 0);
        EXPECT_TRUE(calls_.empty()) << "operation called: " << calls_.front().operation;
        EXPECT_TRUE(sim::MessageBoxes().empty());
        EXPECT_EQ(context_.OutcomeText, "");
    }

    // Ended before the command line was looked at.
    void ExpectQuietEndBeforeTheCommandLine(int status) const
    {
        ExpectQuietEnd(status);
        EXPECT_FALSE(CommandLineWasRead());
        EXPECT_EQ(context_.InstalledImePath, "");
    }

    void ExpectOperation(const std::string& operation, bool explicitRequest, int status) const
    {
        EXPECT_EQ(status, 0);
        ASSERT_EQ(calls_.size(), 1u);
        EXPECT_EQ(calls_[0].operation, operation);
        EXPECT_EQ(calls_[0].explicitRequest, explicitRequest);
        ASSERT_EQ(sim::MessageBoxes().size(), boxesBefore_ + 1);
    }

    SetupContext context_;
    std::vector<RecordedCall> calls_;
    size_t boxesBefore_ = 0;
};

// ---- Quiet ends while setup.log is read ----

TEST_F(SetupDriverTest, NoSetupLogEndsQuietlyWhateverTheCommandLine)
{
    ASSERT_TRUE(DeleteFileA("C:\\SETUP\\setup.log"));
    for (const char* commandLine : {"imesetup.exe", "imesetup.exe /inst", "imesetup.exe /uninst"}) {
        SCOPED_TRACE(commandLine);
        ExpectQuietEndBeforeTheCommandLine(Run(commandLine));
        EXPECT_EQ(context_.ParamFilePath, "C:\\SETUP\\setup.log");
        EXPECT_EQ(context_.ImeFileName, "");
    }
}

TEST_F(SetupDriverTest, SetupLogThatIsADirectoryEndsQuietly)
{
    ASSERT_TRUE(DeleteFileA("C:\\SETUP\\setup.log"));
    sim::MakeDirectory("C:\\SETUP\\setup.log");
    ExpectQuietEndBeforeTheCommandLine(Run("imesetup.exe /inst"));
    EXPECT_EQ(context_.ImeFileName, "");
}

TEST_F(SetupDriverTest, SetupLogWithoutTheSectionEndsQuietlyAtTheImeFile)
{
    sim::PutFile("C:\\SETUP\\setup.log", "[Other]\r\nImeFile=my.ime\r\nMbFile=my.mb\r\nImeName=x\r\n");
    ExpectQuietEndBeforeTheCommandLine(Run("imesetup.exe /inst"));
    EXPECT_EQ(context_.ImeFileName, "0");
    EXPECT_EQ(context_.MbFileName, "");  // not read
}

TEST_F(SetupDriverTest, SetupLogWithoutTheSectionBesideAFileNamedZeroEndsQuietlyAtTheName)
{
    sim::PutFile("C:\\SETUP\\setup.log", "[Other]\r\nImeName=x\r\n");
    sim::PutFile("C:\\SETUP\\0", "");
    ExpectQuietEndBeforeTheCommandLine(Run("imesetup.exe /inst"));
    EXPECT_EQ(context_.ImeFileName, "0");
    EXPECT_EQ(context_.MbFileName, "0");
    EXPECT_EQ(context_.ImeDisplayName, "0");
}

TEST_F(SetupDriverTest, UnusableImeFileEndsQuietly)
{
    sim::MakeDirectory("C:\\SETUP\\folder.ime");
    for (const char* imeFile : {"Other=my.ime", "ImeFile=missing.ime", "ImeFile=folder.ime", "ImeFile="}) {
        SCOPED_TRACE(imeFile);
        context_ = SetupContext();
        WriteSetupLog(imeFile, "MbFile=my.mb", "ImeName=" + kDisplayName);
        ExpectQuietEndBeforeTheCommandLine(Run("imesetup.exe /inst"));
        EXPECT_EQ(context_.MbFileName, "");  // the next key is not read
    }
}

TEST_F(SetupDriverTest, UnusableMbFileEndsQuietly)
{
    sim::MakeDirectory("C:\\SETUP\\folder.mb");
    for (const char* mbFile : {"Other=my.mb", "MbFile=missing.mb", "MbFile=folder.mb", "MbFile="}) {
        SCOPED_TRACE(mbFile);
        context_ = SetupContext();
        WriteSetupLog("ImeFile=my.ime", mbFile, "ImeName=" + kDisplayName);
        ExpectQuietEndBeforeTheCommandLine(Run("imesetup.exe /uninst"));
        EXPECT_EQ(context_.ImeFileName, "my.ime");
        EXPECT_EQ(context_.ImeDisplayName, "");  // the next key is not read
    }
}

TEST_F(SetupDriverTest, DisplayNameZeroMissingOrEmptyEndsQuietly)
{
    for (const char* imeName : {"ImeName=0", "Other=x", "ImeName="}) {
        SCOPED_TRACE(imeName);
        context_ = SetupContext();
        WriteSetupLog("ImeFile=my.ime", "MbFile=my.mb", imeName);
        ExpectQuietEndBeforeTheCommandLine(Run("imesetup.exe /inst"));
        EXPECT_EQ(context_.MbFileName, "my.mb");
    }
}

TEST_F(SetupDriverTest, DisplayNameOfTwoZerosIsAccepted)
{
    WriteSetupLog("ImeFile=my.ime", "MbFile=my.mb", "ImeName=00");
    ExpectOperation("InstallIme", false, Run("imesetup.exe"));
    EXPECT_EQ(calls_[0].seen.ImeDisplayName, "00");
}

TEST_F(SetupDriverTest, ParameterCheckNamesTheCheckThatStopped)
{
    sim::MakeDirectory("C:\\SETUP\\folder.ime");
    const struct {
        const char* imeFile;
        const char* mbFile;
        const char* imeName;
        SetupParameterCheck expected;
    } rows[] = {
        {"ImeFile=missing.ime", "MbFile=my.mb", "ImeName=x", SetupParameterCheck::ImeFileNotFound},
        {"ImeFile=folder.ime", "MbFile=my.mb", "ImeName=x", SetupParameterCheck::ImeFileNotFound},
        {"ImeFile=my.ime", "MbFile=missing.mb", "ImeName=x", SetupParameterCheck::MbFileNotFound},
        {"ImeFile=my.ime", "MbFile=my.mb", "ImeName=0", SetupParameterCheck::NameIsZero},
        {"ImeFile=my.ime", "MbFile=my.mb", "Other=x", SetupParameterCheck::NameIsZero},
        {"ImeFile=my.ime", "MbFile=my.mb", "ImeName=", SetupParameterCheck::NameIsEmpty},
        {"ImeFile=my.ime", "MbFile=my.mb", "ImeName=x", SetupParameterCheck::Passed},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.imeFile) + " " + row.mbFile + " " + row.imeName);
        WriteSetupLog(row.imeFile, row.mbFile, row.imeName);
        SetupContext context;
        EXPECT_EQ(CheckSetupParameters(context), row.expected);
    }

    ASSERT_TRUE(DeleteFileA("C:\\SETUP\\setup.log"));
    SetupContext context;
    EXPECT_EQ(CheckSetupParameters(context), SetupParameterCheck::NoSetupLog);
    sim::FailCall("GetCurrentDirectoryA", ERROR_NOT_ENOUGH_MEMORY, sim::Repeat::Always);
    EXPECT_EQ(CheckSetupParameters(context), SetupParameterCheck::NoCurrentDirectory);
}

// ---- Quiet ends after setup.log was read ----

TEST_F(SetupDriverTest, TwoOrMoreArgumentsEndQuietlyAfterTheParametersWereRead)
{
    for (const char* commandLine : {"imesetup.exe /inst /inst", "imesetup.exe /uninst x", "imesetup.exe a b c"}) {
        SCOPED_TRACE(commandLine);
        context_ = SetupContext();
        ExpectQuietEnd(Run(commandLine));
        EXPECT_TRUE(CommandLineWasRead());
        EXPECT_EQ(context_.ImeDisplayName, kDisplayName);
        EXPECT_EQ(context_.InstalledImePath, kSystemDir + "\\my.ime");
    }
}

TEST_F(SetupDriverTest, UnreadableSystemDirectoryEndsQuietly)
{
    sim::FailCall("GetSystemDirectoryA", ERROR_NOT_ENOUGH_MEMORY, sim::Repeat::Always);
    ExpectQuietEndBeforeTheCommandLine(Run("imesetup.exe /inst"));
    EXPECT_EQ(context_.ImeDisplayName, kDisplayName);
    EXPECT_EQ(context_.SystemDirectory, "");
}

TEST_F(SetupDriverTest, UnreadableCurrentDirectoryEndsQuietlyWithoutLookingAtTheDriveRoot)
{
    // A complete set at the root of the drive must not be taken instead.
    sim::PutFile("C:\\setup.log", "[ImePram]\r\nImeFile=C:\\SETUP\\my.ime\r\nMbFile=C:\\SETUP\\my.mb\r\nImeName=x\r\n");
    sim::FailCall("GetCurrentDirectoryA", ERROR_NOT_ENOUGH_MEMORY, sim::Repeat::Always);
    ExpectQuietEndBeforeTheCommandLine(Run("imesetup.exe /inst"));
    EXPECT_EQ(context_.ParamFilePath, "");
    EXPECT_EQ(context_.ImeFileName, "");
}

// ---- The mode ----

TEST_F(SetupDriverTest, NoArgumentAndNoInstalledImeFileInstalls)
{
    sim::PutFile(kSystemDir + "\\my.mb", "table");  // the MB file does not count
    ExpectOperation("InstallIme", false, Run("imesetup.exe"));
}

TEST_F(SetupDriverTest, NoArgumentAndAnInstalledImeFileUninstalls)
{
    sim::PutFile(kSystemDir + "\\my.ime", "module");  // even without the MB file beside it
    ExpectOperation("UninstallIme", false, Run("imesetup.exe"));
}

TEST_F(SetupDriverTest, DirectoryInPlaceOfTheInstalledImeFileCountsAsNotInstalled)
{
    sim::MakeDirectory(kSystemDir + "\\my.ime");
    ExpectOperation("InstallIme", false, Run("imesetup.exe"));
}

TEST_F(SetupDriverTest, InstWhileInstalledInstallsOnRequest)
{
    sim::PutFile(kSystemDir + "\\my.ime", "module");
    ExpectOperation("InstallIme", true, Run("imesetup.exe /inst"));
}

TEST_F(SetupDriverTest, UninstWhileNothingIsInstalledUninstallsOnRequest)
{
    ExpectOperation("UninstallIme", true, Run("imesetup.exe /uninst"));
}

TEST_F(SetupDriverTest, QuotedArgumentsMatchWithoutTheirQuotes)
{
    sim::PutFile(kSystemDir + "\\my.ime", "module");
    ExpectOperation("InstallIme", true, Run("\"C:\\Program Files\\imesetup.exe\" \"/inst\""));
}

TEST_F(SetupDriverTest, OtherSingleArgumentsChooseAsIfThereWereNone)
{
    for (const char* argument : {"/INST", "-inst", "/Uninst", "-uninst", "/install"}) {
        SCOPED_TRACE(argument);
        SetUp();  // a clean machine for each argument
        calls_.clear();
        context_ = SetupContext();
        ExpectOperation("InstallIme", false, Run(std::string("imesetup.exe ") + argument));

        calls_.clear();
        context_ = SetupContext();
        sim::PutFile(kSystemDir + "\\my.ime", "module");
        ExpectOperation("UninstallIme", false, Run(std::string("imesetup.exe ") + argument));
    }
}

// ---- The box ----

TEST_F(SetupDriverTest, OutcomeIsShownInOneInformationBox)
{
    ExpectOperation("InstallIme", false, Run("imesetup.exe"));
    EXPECT_EQ(context_.OutcomeText, kInstalledText);
    const sim::MessageBoxRecord& box = sim::MessageBoxes().at(0);
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.text, kInstalledText);
    EXPECT_EQ(box.caption, " Setup My IME ");
    EXPECT_EQ(box.style, 0x40u);
}

TEST_F(SetupDriverTest, UninstallOutcomeIsShownTheSameWay)
{
    ExpectOperation("UninstallIme", true, Run("imesetup.exe /uninst"));
    EXPECT_EQ(context_.OutcomeText, kUninstalledText);
    const sim::MessageBoxRecord& box = sim::MessageBoxes().at(0);
    EXPECT_EQ(box.text, kUninstalledText);
    EXPECT_EQ(box.caption, " Setup My IME ");
    EXPECT_EQ(box.style, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
}

// ---- The context the operations see ----

TEST_F(SetupDriverTest, OperationSeesTheParametersAndPathsJoinedWithOneBackslash)
{
    ExpectOperation("InstallIme", false, Run("imesetup.exe"));
    const SetupContext& seen = calls_[0].seen;
    EXPECT_EQ(seen.ParamFilePath, "C:\\SETUP\\setup.log");
    EXPECT_EQ(seen.SystemDirectory, kSystemDir);
    EXPECT_EQ(seen.ImeFileName, "my.ime");
    EXPECT_EQ(seen.MbFileName, "my.mb");
    EXPECT_EQ(seen.ImeDisplayName, kDisplayName);
    EXPECT_EQ(seen.InstalledImePath, "C:\\WINDOWS\\SYSTEM32\\my.ime");
    EXPECT_EQ(seen.InstalledMbPath, "C:\\WINDOWS\\SYSTEM32\\my.mb");
    EXPECT_EQ(seen.OutcomeText, "");
}

TEST_F(SetupDriverTest, AbsoluteAndRelativeDirectoryPartsAreCarriedIntoTheInstalledPaths)
{
    sim::PutFile("C:\\IME FILES\\other.ime", "module");
    sim::PutFile("C:\\SETUP\\data\\my.mb", "table");
    WriteSetupLog("ImeFile=C:\\IME FILES\\other.ime", "MbFile=data\\my.mb", "ImeName=" + kDisplayName);
    ExpectOperation("InstallIme", false, Run("imesetup.exe"));
    EXPECT_EQ(context_.InstalledImePath, "C:\\WINDOWS\\SYSTEM32\\C:\\IME FILES\\other.ime");
    EXPECT_EQ(context_.InstalledMbPath, "C:\\WINDOWS\\SYSTEM32\\data\\my.mb");
}

TEST_F(SetupDriverTest, LongSystemDirectoryGivesWholePaths)
{
    // Up to the longest that leaves room for "\\my.ime" within MAX_PATH.
    for (const size_t length : {63u, 64u, 65u, 100u, 250u}) {
        std::string directory = "C:\\";
        while (directory.size() < length) {
            directory.push_back(static_cast<char>('A' + directory.size() % 26));
        }
        SCOPED_TRACE(directory);
        calls_.clear();
        context_ = SetupContext();
        sim::SetSystemDirectory(directory);
        sim::PutFile(directory + "\\my.ime", "module");
        ExpectOperation("UninstallIme", false, Run("imesetup.exe"));
        EXPECT_EQ(context_.SystemDirectory, directory);
        EXPECT_EQ(context_.InstalledImePath, directory + "\\my.ime");
        EXPECT_EQ(context_.InstalledMbPath, directory + "\\my.mb");
    }
}

TEST_F(SetupDriverTest, CurrentDirectoryIsJoinedToTheFileNameAsPlainText)
{
    // At the root of a drive the directory already ends in a backslash.
    sim::SetCurrentDirectory("C:\\");
    ExpectQuietEndBeforeTheCommandLine(Run("imesetup.exe"));
    EXPECT_EQ(context_.ParamFilePath, "C:\\\\setup.log");
}

// ---- What escapes an operation ----

TEST_F(SetupDriverTest, ExceptionFromAnOperationEndsTheRunQuietly)
{
    SetupOperations operations = Recording();
    operations.InstallIme = [](const SetupContext&, bool) -> std::string { throw std::bad_alloc(); };
    sim::QueueAnswer(IDOK);
    const int status = RunGuarded([&] { return RunSetup(context_, operations); }, SetupExitStatus);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(sim::MessageBoxes().empty());
    EXPECT_EQ(context_.OutcomeText, "");
}

using RunGuardedTest = CleanMachineTest;

TEST_F(RunGuardedTest, PassesTheStatusOnAndSwallowsAnyException)
{
    EXPECT_EQ(RunGuarded([] { return 0; }, 7), 0);
    EXPECT_EQ(RunGuarded([] { return 3; }, 7), 3);
    EXPECT_EQ(RunGuarded([]() -> int { throw 42; }, 7), 7);
    EXPECT_EQ(RunGuarded([]() -> int { throw std::bad_alloc(); }, 7), 7);
}

}  // namespace
