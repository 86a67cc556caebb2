#include "platform/file.h"
#include "platform/profile.h"
#include "platform/temp_folder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using TempDir = kel::test::TempFolderTest;
using FileTest = TempDir;
using ProfileTest = TempDir;

} // namespace

TEST_F(FileTest, OpenFailuresReportTheirCause) {
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(Path("missing").c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(error.m_strFileName, Path("missing").c_str());
    EXPECT_FALSE(
        file.Open(Path("no/such/folder/x").c_str(), CFile::modeCreate | CFile::modeWrite, &error));
    EXPECT_FALSE(file.Open(m_dir.c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::accessDenied);
    // A pipe is refused at once, without waiting for a writer.
    ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0600), 0);
    EXPECT_FALSE(file.Open(Path("pipe").c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::invalidFile);
    EXPECT_THROW(CFile(Path("missing").c_str(), CFile::modeRead), CFileException);
    // Using a file that is not open throws rather than touching a null stream.
    char c;
    EXPECT_THROW(file.Read(&c, 1), CFileException);
}

TEST_F(FileTest, CreateTruncatesUnlessTold) {
    const auto path = Path("data.bin");
    Put(path, "0123456789");
    {
        CFile keep(path.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite);
        EXPECT_EQ(keep.GetLength(), 10u);
        keep.SeekToEnd();
        keep.Write("AB", 2);
        keep.Close();
    }
    EXPECT_EQ(Contents(path), "0123456789AB");
    {
        CFile fresh(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        EXPECT_EQ(fresh.GetLength(), 0u);
    }
    EXPECT_EQ(Contents(path), "");
    // modeNoTruncate still creates a file that is not there.
    CFile created(Path("new.bin").c_str(),
                  CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite);
    EXPECT_TRUE(fs::exists(Path("new.bin")));
}

TEST_F(FileTest, ReadsAndWritesMixAtTheRightPositions) {
    const auto path = Path("mix.bin");
    CFile file(path.c_str(), CFile::modeCreate | CFile::modeReadWrite);
    file.Write("hello world", 11);
    EXPECT_EQ(file.Seek(-5, CFile::current), 6u);
    char buf[16] = {};
    EXPECT_EQ(file.Read(buf, 3), 3u);
    EXPECT_EQ(std::string(buf, 3), "wor");
    file.Write("LD!", 3); // right after a read, at the current position
    EXPECT_EQ(file.GetLength(), 12u);
    file.SeekToBegin();
    EXPECT_EQ(file.Read(buf, 16), 12u); // a short read at the end is not an error
    EXPECT_EQ(std::string(buf, 12), "hello worLD!");
    EXPECT_EQ(file.Read(buf, 4), 0u);
    EXPECT_THROW(file.Seek(-1, CFile::begin), CFileException);
    file.SetLength(5);
    EXPECT_EQ(file.GetPosition(), 5u);
    file.Close();
    EXPECT_EQ(Contents(path), "hello");
}

TEST_F(FileTest, RemoveAndRenameRefuseWhatWindowsRefuses) {
    const auto a = Path("a.txt"), b = Path("b.txt");
    Put(a, "a");
    Put(b, "b");
    try {
        CFile::Rename(a.c_str(), b.c_str());
        ADD_FAILURE() << "rename replaced an existing file";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::accessDenied);
    }
    EXPECT_EQ(Contents(b), "b");
    CFile::Remove(b.c_str());
    CFile::Rename(a.c_str(), b.c_str());
    EXPECT_EQ(Contents(b), "a");
    try {
        CFile::Remove(a.c_str());
        ADD_FAILURE() << "removing a missing file succeeded";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
    }
}

TEST(MemFile, GrowsFillsGapsAndHandsOverItsBytes) {
    CMemFile file;
    file.Write("ab", 2);
    file.Seek(4, CFile::begin);
    file.Write("c", 1);
    EXPECT_EQ(file.GetBuffer(), (std::vector<BYTE>{'a', 'b', 0, 0, 'c'}));
    EXPECT_THROW(file.Seek(-6, CFile::end), CFileException);

    auto bytes = file.Detach();
    EXPECT_EQ(bytes.size(), 5u);
    EXPECT_EQ(file.GetLength(), 0u);
    CMemFile again(std::move(bytes));
    char buf[8];
    EXPECT_EQ(again.Read(buf, 8), 5u);
    EXPECT_EQ(again.Read(buf, 8), 0u);
}

TEST_F(ProfileTest, MissingThingsGiveTheDefault) {
    const auto ini = Path("KelClient.ini");
    EXPECT_EQ(GetPrivateProfileInt("SBNAV_INFO", "SBNavShow", 1, ini.c_str()), 1u);
    Put(ini, "[Other]\r\nSBNavShow=0\r\n[SBNAV_INFO]\r\nSomething=5\r\nEmpty=\r\n");
    EXPECT_EQ(GetPrivateProfileInt("SBNAV_INFO", "SBNavShow", 7, ini.c_str()), 7u);
    EXPECT_EQ(GetPrivateProfileInt("SBNAV_INFO", "Empty", 7, ini.c_str()), 7u);
    EXPECT_EQ(GetPrivateProfileInt("Nowhere", "Something", 3, ini.c_str()), 3u);
    char buf[16];
    EXPECT_EQ(GetPrivateProfileString("x", "y", "dflt  ", buf, sizeof buf, ini.c_str()), 4u);
    EXPECT_STREQ(buf, "dflt");
}

TEST_F(ProfileTest, NumbersAreParsedFromTheStartOfTheValue) {
    const auto ini = Path("n.ini");
    Put(ini, "[s]\nplain = 12\ntrail=34abc\nword=abc\nneg=-3\nhex=0x1F\nbig=4294967297\n");
    EXPECT_EQ(GetPrivateProfileInt("s", "plain", -1, ini.c_str()), 12u);
    EXPECT_EQ(GetPrivateProfileInt("s", "trail", -1, ini.c_str()), 34u);
    EXPECT_EQ(GetPrivateProfileInt("s", "word", -1, ini.c_str()), 0u);
    EXPECT_EQ(static_cast<int>(GetPrivateProfileInt("s", "neg", 0, ini.c_str())), -3);
    EXPECT_EQ(GetPrivateProfileInt("s", "hex", 0, ini.c_str()), 31u);
    EXPECT_EQ(GetPrivateProfileInt("s", "big", 0, ini.c_str()), 1u);
}

TEST_F(ProfileTest, WritingKeepsEverythingElse) {
    const auto ini = Path("KelClient.ini");
    Put(ini, "; client settings\r\n[Layout]\r\nLeft=10\r\n\r\n[SBNAV_INFO]\r\nOther=x\r\n\r\n"
             "[Tail]\r\nk=v\r\n");
    ASSERT_TRUE(WritePrivateProfileString("sbnav_info", "SBNavShow", "0", ini.c_str()));
    EXPECT_EQ(Contents(ini), "; client settings\r\n[Layout]\r\nLeft=10\r\n\r\n[SBNAV_INFO]\r\n"
                             "Other=x\r\nSBNavShow=0\r\n\r\n[Tail]\r\nk=v\r\n");
    // Keys match without regard to case; the existing spelling stays.
    ASSERT_TRUE(WritePrivateProfileString("SBNAV_INFO", "sbnavshow", "1", ini.c_str()));
    EXPECT_EQ(GetPrivateProfileInt("Sbnav_Info", "SBNAVSHOW", 0, ini.c_str()), 1u);
    EXPECT_NE(Contents(ini).find("SBNavShow=1\r\n"), std::string::npos);

    // A null value deletes the key, a null key the section.
    ASSERT_TRUE(WritePrivateProfileString("SBNAV_INFO", "Other", nullptr, ini.c_str()));
    ASSERT_TRUE(WritePrivateProfileString("Layout", nullptr, nullptr, ini.c_str()));
    EXPECT_EQ(Contents(ini),
              "; client settings\r\n[SBNAV_INFO]\r\nSBNavShow=1\r\n\r\n[Tail]\r\nk=v\r\n");

    // Line breaks would split the value into lines of their own.
    EXPECT_FALSE(WritePrivateProfileString("Tail", "k", "v\r\n[Injected]", ini.c_str()));
    EXPECT_EQ(GetPrivateProfileInt("Injected", "x", 5, ini.c_str()), 5u);

    char names[64];
    const DWORD n = GetPrivateProfileString(nullptr, nullptr, "", names, sizeof names, ini.c_str());
    EXPECT_EQ(std::string(names, n), std::string("SBNAV_INFO\0Tail\0", 16));
}

TEST_F(ProfileTest, WriteCreatesTheFileButNotItsFolder) {
    const auto ini = Path("fresh.ini");
    ASSERT_TRUE(WritePrivateProfileString("SBNAV_INFO", "SBNavShow", "1", ini.c_str()));
    EXPECT_EQ(Contents(ini), "[SBNAV_INFO]\r\nSBNavShow=1\r\n");
    const auto nested = Path("missing/dir/x.ini");
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(WritePrivateProfileString("a", "b", "c", nested.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_WRITE_FAULT));
    EXPECT_FALSE(fs::exists(Path("missing")));
    // Deleting from a file that does not exist creates nothing.
    EXPECT_TRUE(WritePrivateProfileString("a", "b", nullptr, Path("none.ini").c_str()));
    EXPECT_FALSE(fs::exists(Path("none.ini")));
}

TEST_F(ProfileTest, StringsAreUnquotedAndCut) {
    const auto ini = Path("s.ini");
    Put(ini, "[s]\nq=  \"quoted value\"  \nlong=abcdefghij\n");
    char buf[6];
    EXPECT_EQ(GetPrivateProfileString("s", "long", "", buf, sizeof buf, ini.c_str()), 5u);
    EXPECT_STREQ(buf, "abcde");
    char big[32];
    GetPrivateProfileString("s", "q", "", big, sizeof big, ini.c_str());
    EXPECT_STREQ(big, "quoted value");
}

TEST_F(ProfileTest, AByteOrderMarkAndEveryKindOfLineEndAreRead) {
    const auto ini = Path("marked.ini");
    Put(ini, "\xEF\xBB\xBF[first]\rcr=1\r[second]\r\ncrlf=2\n[third]\nlf=3\r\nlast=4");
    EXPECT_EQ(GetPrivateProfileInt("first", "cr", 0, ini.c_str()), 1u);
    EXPECT_EQ(GetPrivateProfileInt("second", "crlf", 0, ini.c_str()), 2u);
    EXPECT_EQ(GetPrivateProfileInt("third", "lf", 0, ini.c_str()), 3u);
    EXPECT_EQ(GetPrivateProfileInt("third", "last", 0, ini.c_str()), 4u);
    // A write keeps the mark and writes the line end the file starts with.
    ASSERT_TRUE(WritePrivateProfileString("first", "cr", "5", ini.c_str()));
    EXPECT_EQ(Contents(ini),
              "\xEF\xBB\xBF[first]\rcr=5\r[second]\rcrlf=2\r[third]\rlf=3\rlast=4\r");
}

TEST_F(ProfileTest, AProfileThatCannotBeReadIsNeverReplaced) {
    // Too large, a pipe, a folder: each reads as empty at once and refuses a write.
    const auto large = Path("large.ini");
    Put(large, "[s]\nk=1\n" + std::string(kMaxProfileBytes, ';'));
    const auto pipe = Path("pipe.ini");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const auto folder = Path("folder.ini");
    fs::create_directory(folder);
    for (const auto& [path, error] :
         {std::pair{large, ERROR_FILE_TOO_LARGE}, std::pair{pipe, ERROR_ACCESS_DENIED},
          std::pair{folder, ERROR_ACCESS_DENIED}}) {
        EXPECT_EQ(GetPrivateProfileInt("s", "k", 7, path.c_str()), 7u) << path;
        SetLastError(ERROR_SUCCESS);
        EXPECT_FALSE(WritePrivateProfileString("s", "k", "2", path.c_str())) << path;
        EXPECT_EQ(GetLastError(), error) << path;
    }
    EXPECT_EQ(fs::file_size(large), 8 + kMaxProfileBytes);
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_TRUE(fs::is_directory(folder));
}

TEST_F(ProfileTest, WritesNeverFollowALinkPlantedBesideTheProfile) {
    const auto ini = Path("KelClient.ini");
    Put(Path("victim"), "untouched");
    fs::create_symlink(Path("victim"), ini + ".save-" + std::to_string(getpid()) + "-0");
    ASSERT_TRUE(WritePrivateProfileString("SBNAV_INFO", "SBNavShow", "0", ini.c_str()));
    EXPECT_EQ(Contents(Path("victim")), "untouched");
    EXPECT_EQ(GetPrivateProfileInt("SBNAV_INFO", "SBNavShow", 1, ini.c_str()), 0u);
    // A profile that is itself a link stays one; the file it names takes the write.
    const auto link = Path("linked.ini");
    fs::create_symlink(ini, link);
    ASSERT_TRUE(WritePrivateProfileString("SBNAV_INFO", "SBNavShow", "1", link.c_str()));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(GetPrivateProfileInt("SBNAV_INFO", "SBNavShow", 0, ini.c_str()), 1u);
}
