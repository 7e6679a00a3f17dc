// The mode table: every row, and when the installed IME file is looked at.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/setup_mode.h"

namespace {

struct ModeRow {
    std::vector<std::string> arguments;
    bool imeFileInstalled;
    SetupMode mode;
    bool explicitRequest;
    bool asksForTheInstalledFile;
};

void ExpectRow(const ModeRow& row)
{
    int asked = 0;
    const SetupChoice choice = ChooseSetupMode(row.arguments, [&] {
        ++asked;
        return row.imeFileInstalled;
    });
    std::string label;
    for (const auto& argument : row.arguments) {
        label += "[" + argument + "]";
    }
    label += row.imeFileInstalled ? " installed" : " not installed";
    EXPECT_EQ(choice.Mode, row.mode) << label;
    EXPECT_EQ(choice.ExplicitRequest, row.explicitRequest) << label;
    EXPECT_EQ(asked, row.asksForTheInstalledFile ? 1 : 0) << label;
}

TEST(SetupModeTest, ExplicitArgumentsChooseWithoutLookingAtTheSystemDirectory)
{
    for (const bool installed : {false, true}) {
        ExpectRow({{"/inst"}, installed, SetupMode::Install, true, false});
        ExpectRow({{"/uninst"}, installed, SetupMode::Uninstall, true, false});
    }
}

TEST(SetupModeTest, WithoutAnExplicitArgumentTheInstalledImeFileDecides)
{
    ExpectRow({{}, false, SetupMode::Install, false, true});
    ExpectRow({{}, true, SetupMode::Uninstall, false, true});
}

TEST(SetupModeTest, AnyOtherSingleArgumentCountsAsNone)
{
    const std::vector<std::string> others = {"/INST", "/Inst", "-inst", "/inst ", " /inst", "/inst\t",
                                             "/ins", "/install", "/UNINST", "-uninst", "/uninstall", "inst"};
    for (const auto& other : others) {
        ExpectRow({{other}, false, SetupMode::Install, false, true});
        ExpectRow({{other}, true, SetupMode::Uninstall, false, true});
    }
}

TEST(SetupModeTest, TwoOrMoreArgumentsChooseNothing)
{
    for (const bool installed : {false, true}) {
        ExpectRow({{"/inst", "/inst"}, installed, SetupMode::None, false, false});
        ExpectRow({{"/uninst", "x"}, installed, SetupMode::None, false, false});
        ExpectRow({{"a", "b", "c"}, installed, SetupMode::None, false, false});
    }
}

}  // namespace
