#include "check/description_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "names/code_page_names.h"
#include "names/encodings.h"

namespace uninstall {
namespace {

// What every row starts from: a file with nothing to report.
constexpr char kClean[] = "[Settings]\nProgExe=App.exe\nGUID={G}\n[Files]\n1=App.exe\n";

// "line:e|w:words" of each finding, the words being a part of the text that names the trap.
std::vector<std::string> Found(const std::string& contents, const std::string& dir = "",
                               unsigned code_page = kWesternCodePage) {
  CodePageNames names(code_page);
  std::vector<std::string> found;
  for (const Finding& finding : CheckDescription(contents, dir, names)) {
    found.push_back(std::to_string(finding.line) + (finding.error ? ":e:" : ":w:") + finding.text);
  }
  return found;
}

TEST(DescriptionCheckTest, EachTrapIsFoundAtItsLine) {
  const std::string clean = kClean;
  struct Row {
    std::string contents;
    std::string dir;
    std::string expected;  // "line:e|w:" and a part of the text; "" for nothing to report
  };
  const Row rows[] = {
      {clean, "", ""},
      {"[Settings]\nGUID={G}\n", "", "1:e:ProgExe is missing"},
      {clean + "2=..\\x.dll\n", "C:\\Program Files\\App\\",
       "6:w:..\\x.dll leads outside the uninstaller's directory: the ordinary removal deletes "
       "C:\\Program Files\\x.dll, and \"delete all\" leaves it"},
      {clean + "2=C:\\x.dll\n", "C:\\App\\", "6:w:deletes C:\\App\\C:\\x.dll"},
      {clean + "[Dirs]\n1=..\\..\\..\\\n", "C:\\App\\", "7:w:removes, when it is empty, nothing"},
      {clean + "[Dirs]\n1=\\Old\\\n", "", "7:w:removes, when it is empty, what it names"},
      {"[Settings]\nProgExe=App.exe\nGUID={G}\nDataDir=C:\\D\n[Files]\n1=App.exe\n[Data]\n1=.."
       "\\x\n",
       "", "8:e:..\\x leads outside its directory"},
      {clean + "2=" + std::string(250, 'a') + "\n", "C:\\Program Files\\App\\",
       "6:e:longer than 259"},
      {clean + "[Dirs]\n1=Help\\\n2=help\\Images\n", "", "7:e:[Dirs] lists Help\\ before"},
      {clean + "[Dirs]\n1=Help\\Images\\\n2=Help\\\n3=Helper\\\n", "", ""},
      {clean + "[Dirs]\n1=\xC9t\xE9\\\n2=\xE9T\xC9/x\n", "", "7:e:[Dirs] lists \xC9t\xE9\\ before"},
      {"[Settings]\nProgExe=App\xC9.exe\nGUID={G}\n[Files]\n1=app\xE9.EXE\n", "", ""},
      {clean + "[Dirs]\n1=\n", "", "7:w:whole directory"},
      {clean + "2=\n", "", "6:w:names no file"},
      {clean + "[Data]\n1=db.dat\n", "", "7:e:DataDir"},
      {"[Settings]\nProgExe=App.exe\nGUID={G}\nDataDir=C:\\D\n[Files]\n1=App.exe\n[Data]\n1=x\n",
       "", ""},
      {"[Settings]\nProgExe=App.exe\nGUID={G}\n", "", "2:w:not listed in [Files]"},
      {clean + "[Settings]\nScript=1\n", "", "6:w:[Settings] appears again (first at line 1)"},
      {"[Settings]\nProgExe=App.exe\nGUID={G}\nScript=256\n[Files]\n1=App.exe\n", "",
       "4:w:Script=256 keeps only its low 8 bits"},
      {"[Settings]\nProgExe=App.exe\nGUID={G}\nNoDelAll=1\n[Files]\n1=App.exe\n", "",
       "4:w:NoDelAll counts only"},
      {"[Settings]\nProgExe=App.exe\nGUID={G}\nNoDelAll=1\nProgDir=C:\\App\n[Files]\n1=App.exe\n",
       "C:\\App\\", ""},
      {"[Settings]\nProgExe=App.exe\nGUID={G}\nNoDelAll=1\nProgDir=c:\\app\n[Files]\n1=App.exe\n",
       "C:\\App\\", "4:w:NoDelAll counts only"},
      {"[Settings]\nProgExe=App.exe\nGUID={G}\nProgExe=B.exe\n[Files]\n1=App.exe\n", "",
       "4:w:ProgExe appears again in [settings] (first at line 2)"},
      {"[Settings]\nProgExe=App.exe\nGUID={G}\nProgExec=x\n[Files]\n1=App.exe\n", "",
       "4:w:ProgExec is not a key of [settings]"},
      {clean + "[Langauge]\nOK=Ja\n", "", "6:w:[Langauge] is not a group"},
      {"\xEF\xBB\xBF" + clean + "[Language]\nOK=\xE2\x82\xAC\n", "", "7:e:above U+00FF"},
      {clean + "2=a.txt ; the manual\n", "", "6:w:';' after a value"},
      {clean + "[Language]\nMsg=Close it ; then go on\n", "", ""},
      {"[Settings]\nProgExe=Bin\\App.exe\nGUID={G}\n[Files]\n1=bin/app.EXE\n", "", ""},
      {"[Settings]\nProgExe=App.exe\n[Files]\n1=App.exe\n", "", "1:w:neither GUID nor ProgLink"},
      {"[Settings]\nProgExe=App.exe\nGUID={G}\nDataDir=Data\n[Files]\n1=App.exe\n", "",
       "4:w:DataDir Data is no full path"},
      {clean + "[StartProg]\nAfterParam=-x\n", "", "7:w:AfterParam is set without AfterUninst"},
      {clean + "[UserTask]\nNumber=1\nTask1=1|C:\\a.txt\nTask3=1|C:\\b.txt\n", "",
       "9:e:Task3 lies beyond Number=1"},
      {clean + "[UserTask]\nNumber=1\nTask1=6|123|Software\\X|V\n", "", "8:w:registry root 123"},
      {clean + "[UserTask]\nNumber=1\nTask1=9||x.dll\n", "", "8:w:x.dll is no full path"},
      {clean + "[UserTask]\nNumber=2\nTask1=10|app|App.exe\nTask2=1|\"C:\\a b.txt\"\n", "", ""},
      // Every key the uninstaller reads, each in its group, and a task numbered past nine.
      {"[Settings]\nProgExe=App.exe\nGUID={G}\n"
       "ProgName=A\nVersion=1\nMutexString=M\nNoDelAll=0\nStartMenu=C:\\M\nProgLink=L\n"
       "DesktopIcon=C:\\D\\A.lnk\nScript=1\nLoginAdmin=1\n[Files]\n1=App.exe\n[StartProg]\n"
       "BeforeUninst=b.exe\nBeforeParam=-b\nAfterUninst=a.exe\nAfterParam=-a\n[StartMenu]\n"
       "Program=C:\\M\\A.lnk\nAddExe=C:\\M\\B.lnk\nHelp=C:\\M\\H.lnk\nHomepage=C:\\M\\W.lnk\n"
       "Autorenew=C:\\M\\R.lnk\nUninstall=C:\\M\\U.lnk\n[Language]\nTitel=t\nMsg=m\nVersion=v\n"
       "UninstInfo=u\nDelAll=d\nError=e\nStatus=s\nMutex=x\nLogon=l\nUser=u\nPassword=p\n"
       "RQ_Titel=r\nRQ_Msg=q\nOK=o\nCancel=c\nReady=y\nLogin=i\n[UserTask]\nNumber=10\n"
       "Task10=1|C:\\a.txt\n",
       "", ""},
      {clean + std::string("\0x", 2), "", "6:e:NUL byte"},
      {"\xFF\xFE[\0S\0]\0", "", "0:e:UTF-16"},
  };
  for (const Row& row : rows) {
    const std::vector<std::string> found = Found(row.contents, row.dir);
    if (row.expected.empty()) {
      EXPECT_TRUE(found.empty()) << row.contents << "\n" << (found.empty() ? "" : found[0]);
      continue;
    }
    ASSERT_EQ(found.size(), 1u) << row.contents << "\n" << (found.empty() ? "" : found.back());
    const std::size_t head = row.expected.find(':', row.expected.find(':') + 1) + 1;
    EXPECT_EQ(found[0].substr(0, head), row.expected.substr(0, head)) << found[0];
    EXPECT_NE(found[0].find(row.expected.substr(head)), std::string::npos) << found[0];
  }
}

// Findings come in the order of their lines, in the form compilers use, with a summary; the exit
// code says whether there was an error, only warnings, or nothing.
TEST(DescriptionCheckTest, ReportAndExitCode) {
  CodePageNames names(kWesternCodePage);
  const std::vector<Finding> findings =
      CheckDescription("[Settings]\nScript=256\n[Files]\n1=..\\x\n", "", names);
  EXPECT_EQ(FindingsReport("u.dat", findings),
            "u.dat:1: error: ProgExe is missing from [Settings]: without the main executable the "
            "uninstaller removes nothing at all\n"
            "u.dat:1: warning: neither GUID nor ProgLink is set: the entry in the list of "
            "installed programs stays\n"
            "u.dat:2: warning: Script=256 keeps only its low 8 bits and means no; write 1 for yes\n"
            "u.dat:4: warning: ..\\x leads outside the uninstaller's directory: the ordinary "
            "removal deletes what it names from there, and \"delete all\" leaves it\n"
            "1 error, 3 warnings\n");
  EXPECT_EQ(FindingsExitCode(findings), 2);
  EXPECT_EQ(FindingsExitCode(CheckDescription(std::string(kClean) + "[X]\n", "", names)), 1);
  EXPECT_EQ(FindingsExitCode(CheckDescription(kClean, "", names)), 0);
}

// Names are read in the system's code page before they are compared: the same bytes are one
// letter in two cases in one code page (Ł and ł in 1250) and two symbols in another.
TEST(DescriptionCheckTest, NamesAreReadInTheCodePage) {
  const std::string description =
      "[Settings]\nProgExe=\xA3\xF3"
      "d\x9F.exe\nGUID={G}\n[Files]\n1=\xB3\xF3"
      "d\x9F.exe\n";
  EXPECT_TRUE(Found(description, "", 1250).empty());
  EXPECT_EQ(Found(description, "", 1252).size(), 1u);
  EXPECT_EQ(FindingsReport("u.dat", {}), "0 errors, 0 warnings\n");
}

}  // namespace
}  // namespace uninstall
