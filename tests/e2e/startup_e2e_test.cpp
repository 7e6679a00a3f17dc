// How the program starts: the runs that end without a word, and how the
// command line is read.
#include "expected_texts.h"
#include "gbk_text.h"
#include "package_states.h"
#include "tool_case.h"

#include <ostream>

namespace e2e {
namespace {

struct SilentCase {
    const char* name;
    const char* arguments;
    void (*prepare)(ToolCase& fixture);  // spoils the package or the machine
};

void PrintTo(const SilentCase& silent, std::ostream* out) { *out << silent.name; }

class SilentEnd : public ToolCase, public ::testing::WithParamInterface<SilentCase> {};

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
    {"NoSetupLog", "/inst", states::NoSetupLog},
    {"NoImePramSection", "", states::NoImePramSection},
    {"ImeNameZero", "/inst", states::ImeNameZero},
    {"ImeNameEmpty", "", states::ImeNameEmpty},
    {"ImeFileNamesAFolder", "", states::ImeFileNamesAFolder},
    {"MbFileMissing", "", states::MbFileMissing},
    {"TwoArguments", "/inst /inst", states::NothingInstalled},
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
