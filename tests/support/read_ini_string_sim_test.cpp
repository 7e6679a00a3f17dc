// Profile values as the platform's reader returns them, cut to 2047 bytes.
#include <gtest/gtest.h>

#include <string>

#include "common/clean_machine_fixture.h"
#include "support/helpers.h"

namespace {

class ReadIniStringTest : public CleanMachineTest {
protected:
    const std::string path_ = "C:\\SETUP\\setup.log";
};

TEST_F(ReadIniStringTest, ValueOfTheNamedKey)
{
    sim::PutFile(path_, "[Other]\r\nImeFile=wrong.ime\r\n[ImePram]\r\nImeFile=my.ime\r\nMbFile=my.mb\r\n");
    EXPECT_EQ(ReadIniString("ImePram", "ImeFile", "0", path_), "my.ime");
    EXPECT_EQ(ReadIniString("ImePram", "MbFile", "0", path_), "my.mb");
}

TEST_F(ReadIniStringTest, DefaultForWhatIsNotThere)
{
    sim::PutFile(path_, "[ImePram]\r\nImeFile=my.ime\r\n");
    EXPECT_EQ(ReadIniString("ImePram", "ImeName", "0", path_), "0");
    EXPECT_EQ(ReadIniString("Other", "ImeFile", "0", path_), "0");
    EXPECT_EQ(ReadIniString("ImePram", "ImeFile", "0", "C:\\SETUP\\missing.log"), "0");
    EXPECT_EQ(ReadIniString("ImePram", "ImeName", "", path_), "");
}

TEST_F(ReadIniStringTest, EmptyValueIsNotTheDefault)
{
    sim::PutFile(path_, "[ImePram]\r\nImeName=\r\n");
    EXPECT_EQ(ReadIniString("ImePram", "ImeName", "0", path_), "");
}

TEST_F(ReadIniStringTest, DoubleByteTextComesBackUnchanged)
{
    // GBK text holding a character whose trail byte 0x5C looks like a backslash.
    const std::string name = "\xCE\xD2\xB5\xC4\x95\x5C\xCA\xE4\xC8\xEB\xB7\xA8";
    sim::PutFile(path_, "[ImePram]\r\nImeName=" + name + "\r\n");
    EXPECT_EQ(ReadIniString("ImePram", "ImeName", "0", path_), name);
}

TEST_F(ReadIniStringTest, LongValueArrivesCutTo2047Bytes)
{
    std::string value;
    for (int i = 0; i < 3000; ++i) {
        value.push_back(static_cast<char>('a' + i % 26));
    }
    sim::PutFile(path_, "[ImePram]\r\nImeFile=" + value + "\r\n");
    const std::string read = ReadIniString("ImePram", "ImeFile", "0", path_);
    ASSERT_EQ(read.size(), 2047u);
    EXPECT_EQ(read, value.substr(0, 2047));
}

TEST_F(ReadIniStringTest, ValueOf2047BytesArrivesWhole)
{
    const std::string value(2047, 'x');
    sim::PutFile(path_, "[ImePram]\r\nImeFile=" + value + "\r\n");
    EXPECT_EQ(ReadIniString("ImePram", "ImeFile", "0", path_), value);
}

}  // namespace
