// GNSS.ini against damaged files and a shared directory: values that would
// add lines, files edited on Windows or grown long, files that cannot be
// read, and a file that belongs to somebody else.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <utility>

#include <gtest/gtest.h>

#include "app/FieldcastDlg.h"
#include "framework/TemporaryFile.h"
#include "platform/Text.h"
#include "support/TempDir.h"

using testing_support::TempDir;

namespace {

constexpr char kFile[] =
    "[NtripCaster]\nIP Port=caster.example.net:2101\nPassword=surveyor:secret\nAttemps=3\nTime=7\n"
    "[Settings]\nOutput=0\n"
    "[COM-Port]\nCOM-Port=COM3\nBaudrate=9600\nDatabits=7 data bits\nParity=even parity\nStop Bits=2 stop bits\n"
    "[GNSS]\nMount Point=VRS3\nNetwork=SAPOS-NI\n"
    "[Design]\nColour=Corvo\n";

struct Window {
  TempDir dir;
  CFieldcastDlg dlg;
  Window() { dlg.m_strIniPath = platform::WidenLocal(dir.File("GNSS.ini")); }
  explicit Window(const std::string& content) : Window() {
    dir.Write("GNSS.ini", content);
    dlg.LoadConfiguration();
  }
};

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

}  // namespace

TEST(HostileSettingsFile, AValueWithAControlCharacterIsWrittenEmpty) {
  Window w;
  w.dlg.m_casterDlg.m_strHostPortStored = L"caster.example.net:2101";
  w.dlg.m_casterDlg.m_strUserPassword = L"user:pa\tss";
  // A caster's mount point that ran across line ends, and a NUL that would
  // cut the file for the loader.
  w.dlg.m_strMountPoint.Set(L"EVIL\r\nColour=Corvo\r\n");
  w.dlg.m_strNetwork = std::wstring(L"Net\0Work", 8);
  ASSERT_TRUE(w.dlg.SaveConfiguration());
  const std::string text = w.dir.Read("GNSS.ini");
  EXPECT_EQ(Lines(text), 18) << text;
  EXPECT_EQ(text.find('\0'), std::string::npos);
  for (const char* line : {"\nPassword=\n", "\nMount Point=\n", "\nNetwork=\n", "\nColour=\n", "\nIP Port=caster.example.net:2101\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << text;

  CFieldcastDlg reloaded;
  reloaded.m_strIniPath = w.dlg.m_strIniPath;
  reloaded.LoadConfiguration();
  EXPECT_EQ(reloaded.m_strDesign, L"");
}

// kFile with a password that makes it `size` bytes long.
std::string PasswordFor(size_t size) {
  return std::string(size - (std::string(kFile).size() - std::string("surveyor:secret").size()), 'p');
}

TEST(HostileSettingsFile, AFileIsReadWholeUpTo64KiB) {
  for (const size_t size : {size_t{1500}, size_t{64 * 1024}}) {
    SCOPED_TRACE(size);
    const std::string password = PasswordFor(size);
    Window w(ReplaceAll(kFile, "surveyor:secret", password));
    EXPECT_EQ(w.dlg.m_strStatus.Get(), L"Adjust Settings or press START");
    EXPECT_EQ(w.dlg.m_casterDlg.m_strUserPassword, platform::WidenLocal(password));
    EXPECT_EQ(w.dlg.m_strDesign, L"Corvo");
  }
}

// Root replacing a user's file hands it back to the user: otherwise the
// user's next run cannot read it. Only root can give a file away, so
// without root the check is of the mode alone.
TEST(HostileSettingsFile, AReplacedFileKeepsItsOwnerGroupAndMode) {
  Window w(kFile);
  const bool root = geteuid() == 0;
  const uid_t owner = root ? 12345 : geteuid();
  const gid_t group = root ? 23456 : getegid();
  ASSERT_EQ(chown(w.dir.File("GNSS.ini").c_str(), owner, group), 0);
  ASSERT_EQ(chmod(w.dir.File("GNSS.ini").c_str(), 0640), 0);
  ASSERT_TRUE(w.dlg.SaveConfiguration()) << platform::NarrowLocal(w.dlg.m_strSaveProblem);
  struct stat info {};
  ASSERT_EQ(stat(w.dir.File("GNSS.ini").c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, owner);
  EXPECT_EQ(info.st_gid, group);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_NE(w.dir.Read("GNSS.ini").find("Colour=Corvo\n"), std::string::npos);
}

// Root run in a user's folder: a new settings file or table goes to the
// folder's owner, or the user's next run could not read it. Only root can
// give a file away.
TEST(HostileSettingsFile, ANewFileTakesTheOwnerAndGroupOfItsFolder) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root";
  Window w;
  const uid_t user = 12345;
  const gid_t group = 23456;
  ASSERT_EQ(chown(w.dir.path().c_str(), user, group), 0);
  ASSERT_TRUE(w.dlg.SaveConfiguration());
  TemporaryFile table(platform::WidenLocal(w.dir.File("sourcetable.dat")), 0644);
  ASSERT_TRUE(table.Write("ENDSOURCETABLE\r\n", 16) && table.Commit());
  for (const auto& [name, mode] : {std::pair{"GNSS.ini", 0600u}, std::pair{"sourcetable.dat", 0644u}}) {
    SCOPED_TRACE(name);
    struct stat info {};
    ASSERT_EQ(stat(w.dir.File(name).c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, user);
    EXPECT_EQ(info.st_gid, group);
    EXPECT_EQ(info.st_mode & 07777, mode);
  }
}

TEST(HostileSettingsFile, AFileThatExistsButCannotBeReadIsNeverOverwritten) {
  struct Case {
    const char* legend;
    // Answers false where the case cannot be made.
    std::function<bool(const TempDir& dir)> plant;
  };
  const Case cases[] = {
      {"a link to itself", [](const TempDir& dir) { return symlink("GNSS.ini", dir.File("GNSS.ini").c_str()) == 0; }},
      // A FIFO would hold an ordinary open for good.
      {"a FIFO", [](const TempDir& dir) { return mkfifo(dir.File("GNSS.ini").c_str(), 0600) == 0; }},
      {"a directory", [](const TempDir& dir) { return std::filesystem::create_directory(dir.File("GNSS.ini")); }},
      // Cut and saved again, it would lose what lies past the cut.
      {"a file one byte over 64 KiB",
       [](const TempDir& dir) {
         dir.Write("GNSS.ini", ReplaceAll(kFile, "surveyor:secret", PasswordFor(64 * 1024 + 1)));
         return true;
       }},
      // Root reads anything; for everybody else a file without read permission.
      {"a file its reader may not read",
       [](const TempDir& dir) {
         dir.Write("GNSS.ini", kFile);
         return geteuid() != 0 && chmod(dir.File("GNSS.ini").c_str(), 0) == 0;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    Window w;
    if (!c.plant(w.dir)) continue;
    struct stat before {};
    ASSERT_EQ(lstat(w.dir.File("GNSS.ini").c_str(), &before), 0);
    w.dlg.LoadConfiguration();
    EXPECT_EQ(w.dlg.m_strStatus.Get(), L"ERROR: GNSS.ini could not be read.");
    EXPECT_EQ(w.dlg.m_settingsDlg.m_comPortDlg.m_strPort, L"COM1");  // the defaults, to work with meanwhile

    EXPECT_FALSE(w.dlg.SaveConfiguration());
    const std::string problem = platform::NarrowLocal(w.dlg.m_strSaveProblem);
    EXPECT_NE(problem.find(w.dir.File("GNSS.ini") + " could not be read"), std::string::npos) << problem;
    struct stat after {};
    ASSERT_EQ(lstat(w.dir.File("GNSS.ini").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode, before.st_mode);
    chmod(w.dir.File("GNSS.ini").c_str(), 0600);
  }
}

// Even root cannot rename a file over a directory.
TEST(HostileSettingsFile, AFailedSaveSaysWhichFileAndWhy) {
  Window w(kFile);
  ASSERT_EQ(unlink(w.dir.File("GNSS.ini").c_str()), 0);
  ASSERT_TRUE(std::filesystem::create_directories(w.dir.File("GNSS.ini") + "/in-the-way"));
  EXPECT_FALSE(w.dlg.SaveConfiguration());
  const std::string problem = platform::NarrowLocal(w.dlg.m_strSaveProblem);
  EXPECT_NE(problem.find("cannot write " + w.dir.File("GNSS.ini")), std::string::npos) << problem;
  EXPECT_NE(problem.find("Is a directory"), std::string::npos) << problem;
  // Nothing is left beside it.
  const auto entries = std::distance(std::filesystem::directory_iterator(w.dir.path()), {});
  EXPECT_EQ(entries, 1);
}
