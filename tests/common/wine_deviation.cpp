// The report line of a Wine deviation, the same on every platform.
#include "common/wine_deviation.h"

#include <gtest/gtest.h>

#include <iostream>
#include <set>
#include <utility>

void ReportWineDeviation(const std::string& name)
{
    // Once per test case and name: the test command counts the line against
    // the case that printed it, and one process may run many cases.
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string running = test != nullptr ? std::string(test->test_suite_name()) + "." + test->name() : "";
    static std::set<std::pair<std::string, std::string>> reported;
    if (!reported.insert({running, name}).second) return;
    std::cout << "WINE DEVIATION: " << name << std::endl;
}
