// How the program starts: the runs that end without a word, and how the
// command line is read.
#include "expected_texts.h"
#include "gbk_text.h"
#include "tool_case.h"

#include <functional>
#include <ostream>

namespace e2e {
namespace {

class SilentEnd;

struct SilentCase {
    const char* name;
    const char* arguments;
    std::function<void(SilentEnd& fixture)> prepare;  // spoils the package or the machine
};

void PrintTo(const SilentCase& silent, std::ostream* out) { *out << silent.name; }

class SilentEnd : public ToolCase, public ::testing::WithParamInterface<SilentCase> {
public:
    // Lets the case table reach the fixture's helpers.
    using ToolCase::PackagePath;
    using ToolCase::SetupLog;
    using ToolCase::WriteSetupLog;
};

TEST_P(SilentEnd, ShowsNothingAndChangesNothing)
{
    GetParam().prepare(*this);
    const size_t layouts = Layouts().size();
    const auto preload = PreloadValues();

    Run(GetParam().arguments, {});

    EXPECT_FALSE(IsFile(InstalledIme()));
    EXPECT_FALSE(IsFile(InstalledMb()));
    EXPECT_EQ(Layouts().size(), layouts);
    EXPECT_EQ(PreloadValues(), preload);
}

const SilentCase kSilentCases[] = {
    {"NoSetupLog", "/inst", [](SilentEnd& f) { RemovePath(f.PackagePath("setup.log")); }},
    {"NoImePramSection", "",
     [](SilentEnd& f) {
         f.WriteSetupLog("[Setup]\r\nImeFile=e2etest.ime\r\nMbFile=e2etest.mb\r\nImeName=x\r\n");
     }},
    {"ImeNameZero", "/inst",
     [](SilentEnd& f) { f.WriteSetupLog(SilentEnd::SetupLog("e2etest.ime", "e2etest.mb", "0")); }},
    {"ImeNameEmpty", "",
     [](SilentEnd& f) { f.WriteSetupLog(SilentEnd::SetupLog("e2etest.ime", "e2etest.mb", "")); }},
    {"ImeFileNamesAFolder", "",
     [](SilentEnd& f) {
         ASSERT_TRUE(CreateDirectoryA(f.PackagePath("imefolder").c_str(), nullptr));
         f.WriteSetupLog(SilentEnd::SetupLog("imefolder", "e2etest.mb", Gbk(texts::kDisplayName)));
     }},
    {"MbFileMissing", "",
     [](SilentEnd& f) {
         f.WriteSetupLog(SilentEnd::SetupLog("e2etest.ime", "absent.mb", Gbk(texts::kDisplayName)));
     }},
    {"TwoArguments", "/inst /inst", [](SilentEnd&) {}},
};

INSTANTIATE_TEST_SUITE_P(Startup, SilentEnd, ::testing::ValuesIn(kSilentCases),
                         [](const ::testing::TestParamInfo<SilentCase>& info) { return info.param.name; });

class CommandLine : public ToolCase {};

TEST_F(CommandLine, InstInCapitalsCountsAsNoArgumentAndRemovesTheInstalledIme)
{
    PlaceInstallation();

    Run("/INST", {Outcome(Gbk(texts::kUninstallSucceeded))});

    EXPECT_FALSE(IsFile(InstalledIme()));
    EXPECT_FALSE(IsFile(InstalledMb()));
}

TEST_F(CommandLine, InstInQuotesIsInst)
{
    PlaceInstallation();

    Run("\"/inst\"", {Question(Gbk(texts::kAlreadyInstalled), IDNO), Outcome(Gbk(texts::kInstallCancelled))});

    EXPECT_EQ(ReadBytes(InstalledIme()), kOldIme);
}

}  // namespace
}  // namespace e2e
