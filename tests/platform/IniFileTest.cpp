#include "platform/IniFile.h"

#include "TestInstallation.h"

#include <gtest/gtest.h>

using namespace pavonia;
using pavonia::test::TestInstallation;

TEST(IniFile, ReadsWithoutRegardToCaseAndWithDefaults)
{
    TestInstallation inst(false);
    const std::string path = inst.writeFile("a.ini", "; comment\r\n[Global]\r\nCount = 12abc\r\nName=\"Quoted\"\r\n"
                                                     "Neg=-5\r\nEmpty=\r\nBad=_ERROR_\r\nWord=abc\r\n");
    IniFile ini;
    ASSERT_TRUE(ini.bind(path));
    EXPECT_EQ(ini.readInt("global", "COUNT", 7), 12);
    EXPECT_EQ(ini.readInt("Global", "Neg", 7), -5);
    EXPECT_EQ(ini.readInt("Global", "Word", 7), 0);   // present without digits
    EXPECT_EQ(ini.readInt("Global", "Missing", 7), 7);
    EXPECT_EQ(ini.readInt("Other", "Count", 7), 7);
    EXPECT_EQ(ini.readText("Global", "Name", "x"), "Quoted");
    EXPECT_EQ(ini.readText("Global", "Empty", "x"), "");
    EXPECT_FALSE(ini.readText("Global", "Bad").has_value());
    EXPECT_DOUBLE_EQ(ini.readNumber("Global", "Bad", 3), 3);
    EXPECT_DOUBLE_EQ(ini.readNumber("Global", "Count", 3), 12);
}

TEST(IniFile, BindRefusesMissingFilesAndKeepsTheOldBinding)
{
    TestInstallation inst(false);
    const std::string path = inst.writeFile("a.ini", "[S]\nK=1\n");
    IniFile ini;
    ASSERT_TRUE(ini.bind(path));
    EXPECT_TRUE(ini.bind(""));
    EXPECT_FALSE(ini.bind(inst.root() + "missing.ini"));
    EXPECT_EQ(ini.path(), path);
}

TEST(IniFile, WritesGoToDiskAtOnceAndKeepTheFileOrder)
{
    TestInstallation inst(false);
    const std::string path = inst.writeFile("a.ini", "[A]\nx=1\n; keep me\n\n[B]\ny=2\n");
    IniFile ini(path);
    EXPECT_TRUE(ini.writeText("a", "X", "10"));
    EXPECT_TRUE(ini.writeInt("A", "z", -3));
    EXPECT_TRUE(ini.writeNumber("C", "Delay", 2.5));
    EXPECT_FALSE(ini.writeText("A", "", "v"));
    EXPECT_EQ(test::readFile(path), "[A]\nx=10\nz=-3\n; keep me\n\n[B]\ny=2\n[C]\nDelay=2.50\n");
    IniFile other(path); // another reader sees the writes
    EXPECT_EQ(other.readInt("A", "z", 0), -3);
}

TEST(IniFile, WritingCreatesAMissingFile)
{
    TestInstallation inst(false);
    IniFile ini(inst.root() + "new.ini");
    EXPECT_TRUE(ini.writeText("S", "K", "V"));
    EXPECT_EQ(test::readFile(inst.root() + "new.ini"), "[S]\nK=V\n");
}
