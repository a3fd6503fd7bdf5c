#include "platform/exe_folder.h"

#include <gtest/gtest.h>

TEST(CommandLineFolder, QuotedPathWithSpacesLosesItsLastBackslash)
{
    EXPECT_EQ(folderFromCommandLine("\"C:\\My Games\\Tarmacade\\tarmacade.exe\" -x"), "C:\\My Games\\Tarmacade");
    EXPECT_EQ(folderFromCommandLine("\"C:\\My Games\\Tarmacade\\tarmacade.exe\""), "C:\\My Games\\Tarmacade");
}

TEST(CommandLineFolder, UnquotedPathEndsAtTheFirstSpaceAndKeepsTheBackslash)
{
    EXPECT_EQ(folderFromCommandLine("C:\\Games\\TM\\tarmacade.exe -window"), "C:\\Games\\TM\\");
    EXPECT_EQ(folderFromCommandLine("C:\\Games\\My TM\\tarmacade.exe"), "C:\\Games\\");
}

TEST(CommandLineFolder, NoBackslashKeepsTheCurrentFolder)
{
    EXPECT_EQ(folderFromCommandLine("tarmacade.exe"), "");
    EXPECT_EQ(folderFromCommandLine("\"tarmacade.exe\""), "");
    EXPECT_EQ(folderFromCommandLine(""), "");
    EXPECT_EQ(folderFromCommandLine("\"C:\\unterminated\\tm.exe"), "C:\\unterminated");
}

TEST(ProgramFolder, IsTheFolderOfTheRunningTestProgram)
{
    std::string folder = programFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '/');
    EXPECT_TRUE(changeToFolder(folder));
    EXPECT_FALSE(changeToFolder("/no/such/folder/anywhere"));
    EXPECT_FALSE(changeToFolder(""));
}
