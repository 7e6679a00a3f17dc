// Every Chinese text compared with an independent conversion of the same
// words from UTF-8 to GBK, so a mistyped byte in the table cannot hide.
#include <gtest/gtest.h>

#include <iconv.h>

#include <cerrno>
#include <functional>
#include <string>
#include <utility>

#include "common/clean_machine_fixture.h"
#include "driver/setup_driver.h"
#include "registration/outcome_texts.h"

namespace {

std::string Utf8ToGbk(const std::string& utf8)
{
    const iconv_t converter = iconv_open("GBK", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        ADD_FAILURE() << "iconv cannot convert UTF-8 to GBK here";
        return std::string();
    }
    std::string in = utf8;
    std::string out(in.size() * 2 + 16, '\0');
    char* inPtr = &in[0];
    size_t inLeft = in.size();
    char* outPtr = &out[0];
    size_t outLeft = out.size();
    const size_t converted = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(converter);
    EXPECT_NE(converted, static_cast<size_t>(-1)) << "errno " << errno;
    EXPECT_EQ(inLeft, 0u);
    out.resize(out.size() - outLeft);
    return out;
}

std::string Utf8(const char* text)
{
    return text;
}

std::u16string Utf16(const std::string& utf8)
{
    const iconv_t converter = iconv_open("UTF-16LE", "UTF-8");
    std::string in = utf8;
    std::string out(in.size() * 2 + 16, '\0');
    char* inPtr = &in[0];
    size_t inLeft = in.size();
    char* outPtr = &out[0];
    size_t outLeft = out.size();
    EXPECT_NE(iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft), static_cast<size_t>(-1));
    iconv_close(converter);
    std::u16string wide;
    for (size_t i = 0; i + 1 < out.size() - outLeft; i += 2)
        wide += static_cast<char16_t>(static_cast<unsigned char>(out[i]) | static_cast<unsigned char>(out[i + 1]) << 8);
    return wide;
}

struct TextCase {
    const char* name;
    const char* actual;
    std::string utf8;
};

// The words as a reader sees them, written with universal character names.
const TextCase kTexts[] = {
    {"InstallNoRights", OutcomeTexts::InstallNoRights, Utf8(u8"\u5B89\u88C5\u5931\u8D25\uFF1A\u6743\u9650\u4E0D\u591F......")},
    {"AlreadyInstalled", OutcomeTexts::AlreadyInstalled,
     Utf8(u8"\u7CFB\u7EDF\u4E2D\u5DF2\u5B89\u88C5\u6709\u8BE5\u8F93\u5165\u6CD5\u3002")},
    {"InstallCancelled", OutcomeTexts::InstallCancelled, Utf8(u8"\u5B89\u88C5\u5DF2\u53D6\u6D88\uFF01")},
    {"ImeFileLocked", OutcomeTexts::ImeFileLocked,
     Utf8(u8"\u5B89\u88C5\u5931\u8D25\uFF1A\u8F93\u5165\u6CD5\u6587\u4EF6\u5DF2\u88AB\u9501\u5B9A\u3002\u8BF7  \r\n"
          u8"\u5173\u95ED\u6240\u6709\u4F7F\u7528\u8F93\u5165\u6CD5\u6587\u4EF6\u7684\u7A0B\u5E8F\u540E\u518D\u8BD5\u3002  \r\n"
          u8"\u5982\u4ECD\u5F39\u51FA\u672C\u63D0\u793A\uFF0C\u8BF7\u6CE8\u9500\u6216\u91CD\u542F\u8BA1\u7B97\u673A\u3002")},
    {"ActivationFailed", OutcomeTexts::ActivationFailed,
     Utf8(u8"\u5B89\u88C5\u5931\u8D25\uFF1A\u6FC0\u6D3B\u8F93\u5165\u6CD5\u51FA\u9519\u3002\u8BF7\u6CE8\u9500\u6216"
          u8"\u91CD\u542F\u8BA1\u7B97\u673A\u540E\u518D\u8BD5\u3002\r\n"
          u8"\u5982\u679C\u4ECD\u4E0D\u80FD\u5B89\u88C5\uFF0C\u8BD5\u8BD5\u5220\u9664\u591A\u4F59\u7684 Keyboard layouts ")},
    {"InstallSucceeded", OutcomeTexts::InstallSucceeded, Utf8(u8"\u5B89\u88C5\u6210\u529F\u3002\u606D\u559C\uFF01")},
    {"NotInstalled", OutcomeTexts::NotInstalled,
     Utf8(u8"\u8BE5\u8F93\u5165\u6CD5\u672A\u5B89\u88C5\u6216\u6587\u4EF6\u5B89\u88C5\u4E0D\u5168\uFF0C"
          u8"\u4E0D\u80FD\u6B63\u5E38\u5378\u8F7D\u3002")},
    {"HklNotFound", OutcomeTexts::HklNotFound,
     Utf8(u8"\u672A\u627E\u5230\u8BE5\u8F93\u5165\u6CD5HKL\uFF0C\u4E0D\u80FD\u6B63\u5E38\u5378\u8F7D\u3002")},
    {"PreloadOpenFailed", OutcomeTexts::PreloadOpenFailed,
     Utf8(u8"\u6253\u5F00\u6CE8\u518C\u8868\uFF08OpenKey\uFF09\u51FA\u9519\uFF0C\u4E0D\u80FD\u5378\u8F7D\u3002")},
    {"UnregisterFailed", OutcomeTexts::UnregisterFailed,
     Utf8(u8"\u5378\u8F7D\u5931\u8D25\uFF1A\u6CE8\u9500\u8F93\u5165\u6CD5\u51FA\u9519\uFF08\u53F3\u4E0B\u89D2\u56FE\u6807\uFF09")},
    {"FilesLocked", OutcomeTexts::FilesLocked,
     Utf8(u8"IME\u6587\u4EF6\u6216MB\u6587\u4EF6\u53EF\u80FD\u88AB\u5176\u5B83\u7A0B\u5E8F\u9501\u5B9A\uFF0C\u4E0D\u80FD\u5220\u9664.")},
    {"UninstallSucceeded", OutcomeTexts::UninstallSucceeded, Utf8(u8"\u5378\u8F7D\u6210\u529F\u3002")},
};

TEST(OutcomeTexts, ChineseTextsAreTheGbkFormOfTheirWords)
{
    for (const TextCase& text : kTexts) {
        SCOPED_TRACE(text.name);
        EXPECT_EQ(std::string(text.actual), Utf8ToGbk(text.utf8));
    }
}


// The final box on machines whose ANSI code page is not 936 (an English, a
// Traditional Chinese and a UTF-8 Windows): what the user reads is the
// outcome's words, whatever the page. Shown through the ANSI call, the same
// bytes read as Latin-1 letters, other characters or replacement marks.
class OutcomeBox : public CleanMachineTest {
protected:
    void SetUp() override
    {
        CleanMachineTest::SetUp();
        sim::SetCurrentDirectory("C:\\SETUP");
        sim::PutFile("C:\\SETUP\\setup.log", "[ImePram]\r\nImeFile=my.ime\r\nMbFile=my.mb\r\nImeName=My IME\r\n");
        sim::PutFile("C:\\SETUP\\my.ime", "module");
        sim::PutFile("C:\\SETUP\\my.mb", "table");
    }

    // The box that shows what the install operation returned.
    sim::MessageBoxRecord ShowOutcome(std::function<std::string(const SetupContext&)> outcome)
    {
        SetupOperations operations;
        operations.InstallIme = [&outcome](const SetupContext& context, bool) { return outcome(context); };
        operations.UninstallIme = operations.InstallIme;
        sim::QueueAnswer(IDOK);
        SetupContext context;
        RunSetup(context, operations);
        EXPECT_EQ(sim::MessageBoxes().size(), 1u);
        return sim::MessageBoxes().empty() ? sim::MessageBoxRecord() : sim::MessageBoxes().back();
    }
};

constexpr UINT kOtherPages[] = {1252, 950, CP_UTF8};

TEST_F(OutcomeBox, EveryOutcomeTextReadsAsItsWordsOnEveryCodePage)
{
    for (const UINT page : kOtherPages) {
        for (const TextCase& text : kTexts) {
            SCOPED_TRACE(std::string(text.name) + " in code page " + std::to_string(page));
            SetUp();
            sim::SetCodePage(page);
            const sim::MessageBoxRecord box = ShowOutcome([&text](const SetupContext&) { return text.actual; });
            EXPECT_TRUE(box.wide);
            EXPECT_TRUE(box.wideText == Utf16(text.utf8));
            EXPECT_TRUE(box.wideCaption == u" Setup My IME ");
        }
    }
}

TEST_F(OutcomeBox, ACopyFailureShowsTheNameAsTheCopyReadIt)
{
    // "\xC4\xE3.ime": "你.ime" in code page 936, "Äã.ime" in 1252, where the
    // copy looked for the file of that name.
    const std::string name = "\xC4\xE3.ime";
    for (const auto& [page, expected] : {std::pair<UINT, std::u16string>{936, u"\u4F60.ime"},
                                          std::pair<UINT, std::u16string>{1252, u"\u00C4\u00E3.ime"}}) {
        SCOPED_TRACE(page);
        SetUp();
        sim::SetCodePage(page);
        sim::PutFile("C:\\SETUP\\" + name, "module");
        sim::PutFile("C:\\SETUP\\setup.log",
                     "[ImePram]\r\nImeFile=" + name + "\r\nMbFile=my.mb\r\nImeName=My IME\r\n");
        const sim::MessageBoxRecord box = ShowOutcome(
            [](const SetupContext& context) { return context.ImeFileName + OutcomeTexts::CopyErrorSuffix; });
        EXPECT_TRUE(box.wideText == expected + u" Copy to %SystemDir% Error ");
    }
}

TEST_F(OutcomeBox, WithoutTheCodePagesTableTheBytesGoToTheAnsiBox)
{
    sim::FailCall("MultiByteToWideChar", ERROR_INVALID_PARAMETER, sim::Repeat::Always);
    const sim::MessageBoxRecord box =
        ShowOutcome([](const SetupContext&) { return std::string(OutcomeTexts::InstallSucceeded); });
    EXPECT_FALSE(box.wide);
    EXPECT_EQ(box.text, OutcomeTexts::InstallSucceeded);
    EXPECT_EQ(box.caption, " Setup My IME ");
    EXPECT_EQ(box.style, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
}

}  // namespace
