// The program launcher over the real process calls. The started program is exit_with.exe,
// which sits beside this test program: it exits with the code it is given and can write its
// command line and current directory into a file after a short delay (so that finding the
// file right after Run shows the wait).
#include <windows.h>
// After windows.h, which they need.
#include <aclapi.h>
#include <sddl.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "common/progress.h"
#include "driver/own_path.h"
#include "external/program_launcher.h"
#include "external/system_launcher.h"
#include "fakes/handle_text.h"
#include "files/self_removal_batch.h"
#include "files/text_file.h"
#include "gtest/gtest.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_security.h"

namespace uninstall {
namespace {

constexpr char kExtension[] = ".launchertest";
constexpr char kFileType[] = "launchertest.file";

void WipeDirectory(const std::string& directory) {
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &data);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string full = directory + "\\" + data.cFileName;
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA(full.c_str());
    } while (FindNextFileA(search, &data));
    FindClose(search);
  }
  RemoveDirectoryA(directory.c_str());
}

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// The two lines exit_with.exe writes; empty when the file is not there.
struct Report {
  std::string command_line;
  std::string directory;
};

Report ReadReport(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  Report report;
  std::string all = text.str();
  std::size_t first = all.find("\r\n");
  if (first == std::string::npos) return report;
  report.command_line = all.substr(0, first);
  std::size_t second = all.find("\r\n", first + 2);
  report.directory = all.substr(first + 2, second - first - 2);
  return report;
}

std::string CurrentDirectory() {
  char buffer[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof(buffer), buffer);
  return buffer;
}

// Open handles of this process, counted by probing the handle values (Wine's
// GetProcessHandleCount always says 0).
int HandleCount() {
  int count = 0;
  DWORD flags = 0;
  for (std::uintptr_t value = 4; value < 0x10000; value += 4) {
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

class LauncherTest : public ::testing::Test {
 protected:
  LauncherTest()
      : system_launcher_(processes_, fs_, security_), launcher_(system_launcher_, processes_) {}

  void SetUp() override {
    std::string own = OwnProgramPath(processes_);
    helper_ = own.substr(0, own.rfind('\\') + 1) + "exit_with.exe";
    ASSERT_NE(GetFileAttributesA(helper_.c_str()), INVALID_FILE_ATTRIBUTES) << helper_;
    // A blank in the path, so that quoting matters. One directory per test: under Wine a program
    // that the shell started for an earlier test may still run in that test's directory.
    dir_ = "C:\\launcher " + std::to_string(GetCurrentProcessId()) + " " +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    WipeDirectory(dir_);
    ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr));
  }

  void TearDown() override { WipeDirectory(dir_); }

  Win32Processes processes_;
  Win32FileSystem fs_;
  Win32Security security_;
  SystemLauncher system_launcher_;
  ProgramLauncher launcher_;
  NoProgress quiet_;
  std::string helper_;
  std::string dir_;  // without its backslash
};

TEST_F(LauncherTest, OwnProgramPathIsThisProgram) {
  std::string own = Lower(OwnProgramPath(processes_));
  const std::string name = "\\win32_tests.exe";
  ASSERT_GE(own.size(), name.size());
  EXPECT_EQ(own.substr(own.size() - name.size()), name) << own;
}

TEST_F(LauncherTest, ExitCodeOfAProgramWaitedFor) {
  for (std::uint32_t code : {0u, 1u, 2u, 255u, 70000u}) {
    const int handles = HandleCount();
    EXPECT_EQ(launcher_.Run(helper_, std::to_string(code), "", quiet_), code);
    EXPECT_EQ(HandleCount(), handles) << code;
  }
}

TEST_F(LauncherTest, ParametersAndWorkingDirectoryArrive) {
  // A copy with blanks in its own name and path.
  const std::string program = dir_ + "\\exit with.exe";
  ASSERT_TRUE(CopyFileA(helper_.c_str(), program.c_str(), FALSE));
  const std::string out = dir_ + "\\out.txt";
  const std::string parameters = "5 \"" + out + "\" 300";

  EXPECT_EQ(launcher_.Run(program, parameters, dir_ + "\\", quiet_), 5u);
  Report report = ReadReport(out);
  EXPECT_EQ(report.command_line, "\"" + program + "\" " + parameters);
  EXPECT_EQ(Lower(report.directory), Lower(dir_));
}

TEST_F(LauncherTest, TheWaitHoldsAndNothingIsLeftOpen) {
  const std::string out = dir_ + "\\out.txt";
  const int handles = HandleCount();
  EXPECT_EQ(launcher_.Run(helper_, "3 \"" + out + "\" 300", "", quiet_), 3u);
  EXPECT_EQ(HandleCount(), handles);
  // No working directory given: the program inherits ours.
  EXPECT_EQ(Lower(ReadReport(out).directory), Lower(CurrentDirectory()));
}

// A program still running when its time is up is ended, and gives no exit code.
// A program can be handed one pipe end, and nothing else: another handle made inheritable does
// not go with it. Every byte written before the start is there, also more than a pipe's usual
// buffer; a number that is no pipe of that program reads nothing.
TEST_F(LauncherTest, AHandedPipeIsTheOneHandleThatGoesWithTheProgram) {
  const std::string own = OwnProgramPath(processes_);
  const std::string reader = own.substr(0, own.rfind('\\') + 1) + "read_handed_pipe.exe";
  const std::string out = dir_ + "\\handed.txt";
  std::string bytes(300000, 'x');
  bytes[0] = '\0';
  bytes.back() = '!';
  PipeHandle read_end = {}, write_end = {};
  ASSERT_TRUE(
      processes_.CreatePipePair(static_cast<std::uint32_t>(bytes.size()), &read_end, &write_end));
  ASSERT_TRUE(processes_.WritePipe(write_end, bytes));
  processes_.ClosePipe(write_end);
  PipeHandle other_read = {}, other_write = {};
  ASSERT_TRUE(processes_.CreatePipePair(16, &other_read, &other_write));
  ASSERT_TRUE(SetHandleInformation(ToSystem(other_read), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT));
  const std::string parameters =
      HandleText(read_end) + " " + HandleText(other_read) + " \"" + out + "\"";
  CreatedProcess created;
  ASSERT_TRUE(processes_.CreateProcessHanding(ProgramCommandLine(reader, parameters), std::nullopt,
                                              kShowNormal, read_end, &created));
  EXPECT_TRUE(processes_.WaitForProcessFor(created.process, 20000));
  processes_.CloseProcessHandle(created.thread);
  processes_.CloseProcessHandle(created.process);
  EXPECT_EQ(ReadReport(out).command_line, "read");
  EXPECT_EQ(ReadReport(out).directory, "0") << "another handle went along";
  std::ifstream in(out, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  EXPECT_EQ(all.str(), "read\r\n0\r\n" + bytes);
  // Here the handle stays as it was: not inheritable.
  DWORD flags = 0;
  ASSERT_TRUE(GetHandleInformation(ToSystem(read_end), &flags));
  EXPECT_EQ(flags & HANDLE_FLAG_INHERIT, 0u);
  processes_.ClosePipe(read_end);
  processes_.ClosePipe(other_read);
  processes_.ClosePipe(other_write);

  // Started without it, the same number is nothing there.
  DeleteFileA(out.c_str());
  EXPECT_EQ(launcher_.Run(reader, parameters, "", quiet_), 0u);
  EXPECT_EQ(ReadReport(out).command_line, "refused");
}

TEST_F(LauncherTest, ProgramStillRunningAtTheTimeLimitIsEnded) {
  const std::string out = dir_ + "\\out.txt";
  const int handles = HandleCount();
  EXPECT_EQ(launcher_.Run(helper_, "3 \"" + out + "\" 1000", "", quiet_, 200), std::nullopt);
  EXPECT_EQ(HandleCount(), handles);
  Sleep(1500);
  EXPECT_EQ(GetFileAttributesA(out.c_str()), INVALID_FILE_ATTRIBUTES);  // it never got to write
}

// A document goes to the program its type is associated with, here exit_with.exe again, which
// rewrites the document with its command line and working directory.
class ShellFallbackTest : public LauncherTest {
 protected:
  void SetUp() override {
    LauncherTest::SetUp();
    if (HasFatalFailure()) return;
    HKEY key;
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, kExtension, &key), ERROR_SUCCESS);
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(kFileType),
                   sizeof(kFileType));
    RegCloseKey(key);
    const std::string command = "\"" + helper_ + "\" 9 \"%1\" 300";
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT,
                            (std::string(kFileType) + "\\shell\\open\\command").c_str(), &key),
              ERROR_SUCCESS);
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>(command.size() + 1));
    RegCloseKey(key);
    document_ = dir_ + "\\doc" + kExtension;
    std::ofstream(document_) << "not a program";
  }

  void TearDown() override {
    const std::string type = kFileType;
    for (const std::string& key : {type + "\\shell\\open\\command", type + "\\shell\\open",
                                   type + "\\shell", type, std::string(kExtension)}) {
      RegDeleteKeyA(HKEY_CLASSES_ROOT, key.c_str());
    }
    LauncherTest::TearDown();
  }

  std::string document_;
};

TEST_F(ShellFallbackTest, DocumentIsOpenedInItsOwnDirectoryAndWaitedFor) {
  EXPECT_EQ(launcher_.Run(document_, "", "", quiet_), 9u);
  Report report = ReadReport(document_);
  EXPECT_EQ(Lower(report.command_line), Lower("\"" + helper_ + "\" 9 \"" + document_ + "\" 300"));
  // The file's directory with its backslash; the system reports it without.
  EXPECT_EQ(Lower(report.directory), Lower(dir_));
}

TEST_F(ShellFallbackTest, GivenWorkingDirectoryWinsAndNothingIsLeftOpen) {
  const int handles = HandleCount();
  EXPECT_EQ(launcher_.Run(document_, "", "C:\\", quiet_), 9u);
  EXPECT_EQ(Lower(ReadReport(document_).directory), "c:\\");
  EXPECT_EQ(HandleCount(), handles);
}

}  // namespace
}  // namespace uninstall

namespace uninstall {
namespace {

// The self-removal batch: created with its own access list, and started hidden through the
// command interpreter by its full path, not waited for. Its lines do their work after the start
// call has returned, and it deletes itself by its own name.
TEST(BatchLaunchTest, ProtectedBatchRunsInTheCommandInterpreterAndDeletesItself) {
  Win32Processes processes;
  Win32Security security;
  Win32FileSystem fs;
  const std::string system_directory = processes.SystemDirectory();
  ASSERT_FALSE(system_directory.empty());
  const std::string sid = security.EffectiveUserSid();
  ASSERT_EQ(sid.rfind("S-1-", 0), 0u) << sid;
  // Without a logon the process acts for itself.
  EXPECT_EQ(security.ProcessUserSid(), sid);
  // The system's generator: unpredictable numbers, one after another.
  std::uint64_t first = 0, second = 0;
  ASSERT_TRUE(security.RandomNumber(&first));
  ASSERT_TRUE(security.RandomNumber(&second));
  EXPECT_NE(first, second);
  const std::string batch = SelfRemovalBatchPath("C:\\x.exe", RandomTag(first));
  const std::string marker = batch + ".done";
  DeleteFileA(marker.c_str());
  DeleteFileA(batch.c_str());
  std::unique_ptr<TextFile> file =
      CreateTextFile(fs, batch, TextFileCreation::kExclusive, BatchSecurityDescriptor({sid}));
  ASSERT_NE(file, nullptr);
  file->WriteLine("echo ran> \"" + marker + "\"");
  file->WriteLine("del \"%~f0\"");
  file->WriteLine("exit");
  ASSERT_TRUE(file->CloseTextFile());

  // What the system keeps of the descriptor: no entry for everyone or for all users. (Wine builds
  // a file's list from its Unix permissions, SYSTEM and the owner; a plain file also gets
  // "everyone may read" there. Windows keeps the list as given, protected, with the
  // Administrators.)
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  PACL dacl = nullptr;
  const std::wstring wide_batch(batch.begin(), batch.end());
  ASSERT_EQ(GetNamedSecurityInfoW(wide_batch.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                  nullptr, nullptr, &dacl, nullptr, &descriptor),
            ERROR_SUCCESS);
  char* text = nullptr;
  ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorA(
      descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr));
  const std::string kept = text;
  LocalFree(text);
  LocalFree(descriptor);
  EXPECT_NE(kept.find(";SY)"), std::string::npos) << kept;
  EXPECT_EQ(kept.find(";WD)"), std::string::npos) << kept;
  EXPECT_EQ(kept.find(";BU)"), std::string::npos) << kept;
  EXPECT_EQ(kept.find(";AU)"), std::string::npos) << kept;

  ASSERT_TRUE(processes.StartHidden(BatchCommandLine(system_directory, batch), "C:\\"));
  bool done = false;
  for (int i = 0; i < 200 && !done; ++i) {
    Sleep(50);
    done = GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES &&
           GetFileAttributesA(batch.c_str()) == INVALID_FILE_ATTRIBUTES;
  }
  EXPECT_TRUE(done) << "the batch did not run to its end within ten seconds";
  DeleteFileA(marker.c_str());
  DeleteFileA(batch.c_str());
}

}  // namespace
}  // namespace uninstall
