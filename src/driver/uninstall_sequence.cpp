#include "driver/uninstall_sequence.h"

#include "common/paths.h"
#include "common/text.h"
#include "driver/command_line.h"
#include "driver/own_path.h"
#include "external/script_process.h"
#include "files/contained_removal.h"
#include "files/path_probe.h"
#include "files/self_removal_batch.h"
#include "files/whole_folders.h"
#include "preflight/administrator_logon.h"
#include "preflight/named_mutex.h"
#include "preflight/running_program.h"
#include "ui/logon_dialog.h"
#include "ui/main_window.h"
#include "ui/message_box.h"
#include "ui/window_progress.h"

namespace uninstall {
namespace {

constexpr char kDescriptionFileName[] = "uninstall.dat";
constexpr char kVbScriptName[] = "Uninstall.vbs";
constexpr char kJScriptName[] = "Uninstall.js";

MainWindowTexts WindowTexts(const TextTable& texts) {
  MainWindowTexts window;
  window.title = " " + texts.prog_name;
  window.header_title = texts.titel;
  window.header_message = texts.msg;
  window.info = texts.uninst_info;
  window.name_with_version = texts.name_with_version;
  window.delete_all = " " + texts.del_all;
  window.ok = texts.ok;
  window.cancel = texts.cancel;
  window.ready = texts.ready;
  return window;
}

}  // namespace

UninstallSequence::UninstallSequence(const PlatformParts& platform)
    : platform_(platform),
      launcher_(platform.launcher, platform.processes),
      script_host_(platform.script_engine, platform.fs) {}

int UninstallSequence::Run() {
  // A second instance started to run the uninstall script does that and nothing else.
  const std::string command_line = platform_.processes.CommandLine();
  const std::string first_parameter = FirstParameter(command_line);
  if (RunScriptIfAsked(first_parameter, SecondParameter(command_line), platform_.processes,
                       script_host_)) {
    return 0;
  }
  state_.quiet_mode = IsQuietMode(first_parameter);
  platform_.windows.LoadProgramIcon();
  std::string unrepresentable;
  state_.own_path = OwnProgramPath(platform_.processes, &unrepresentable);
  state_.uninstaller_dir = DirectoryPart(state_.own_path);
  state_.description_file_path = state_.uninstaller_dir + kDescriptionFileName;

  // A folder name that the code page cannot hold reads as some other folder's name, whose
  // uninstall.dat would then be followed: nothing is read at all.
  if (!unrepresentable.empty()) {
    ShowMessageBox(platform_.windows, kMissingDescriptionTitle,
                   std::string(kUnrepresentableFolderText) + "\n" + DirectoryPart(unrepresentable),
                   kIconError);
    End();
    return 0;
  }

  // Without its own directory (a path the platform could not report) the program would look
  // for uninstall.dat in whatever the current directory is: that counts as missing too.
  if (state_.uninstaller_dir.empty() ||
      !IsExistingFile(platform_.fs, state_.description_file_path)) {
    ShowMessageBox(platform_.windows, kMissingDescriptionTitle,
                   std::string(kMissingDescriptionText) + "\n" + state_.description_file_path,
                   kIconError);
    End();
    return 0;
  }
  description_ = std::make_unique<const Description>(platform_.fs, state_.description_file_path);
  state_.settings = ReadUninstallSettings(*description_, state_.uninstaller_dir);
  LoadTexts(*description_, &state_.texts);

  if (ProgramToRemoveRuns()) {
    // One box and no retry: the user closes the program and starts the uninstaller again.
    ShowMessageBox(platform_.windows, state_.texts.titel, ReplaceAll(state_.texts.mutex, "|", "\n"),
                   kIconWarning);
    End();
    return 0;
  }
  if (BeforeProgramCancels()) {
    End();
    return 0;
  }
  RunScript();
  description_ = std::make_unique<const Description>(platform_.fs, state_.description_file_path);
  own_directory_ = OpenKeptDirectory(platform_.fs, state_.uninstaller_dir);
  state_.in_whole_folder = HoldsAWholeFolder(platform_.fs, own_directory_);
  if (state_.quiet_mode) {
    RunQuiet();
  } else {
    RunWindow();
  }
  End();
  return 0;
}

bool UninstallSequence::ProgramToRemoveRuns() {
  if (!state_.settings.mutex_string.empty()) {
    return NamedMutexExists(platform_.processes, state_.settings.mutex_string);
  }
  return IsProgramRunning(platform_.processes, state_.settings.prog_exe);
}

bool UninstallSequence::BeforeProgramCancels() {
  const UninstallSettings& settings = state_.settings;
  if (settings.before_uninst.empty()) return false;
  std::string program = state_.uninstaller_dir + settings.before_uninst;
  if (!IsExistingFile(platform_.fs, program)) return false;
  // A helper that cannot be started must not make the program impossible to uninstall: the
  // run goes on as for any exit code but 1.
  NoProgress progress;
  return launcher_.Run(program, settings.before_param, state_.uninstaller_dir, progress) == 1u;
}

void UninstallSequence::RunScript() {
  if (state_.settings.script == 0) return;
  std::string vbs = state_.uninstaller_dir + kVbScriptName;
  std::string js = state_.uninstaller_dir + kJScriptName;
  std::string script = IsExistingFile(platform_.fs, vbs)  ? vbs
                       : IsExistingFile(platform_.fs, js) ? js
                                                          : std::string();
  if (script.empty()) return;
  // In a second instance of the uninstaller. The engine shows its own dialogs only where
  // somebody can answer them; there the user is asked, once the script's time is up and again
  // each time after, whether to stop it (a question that goes when the script ends first). In
  // quiet mode it is ended then.
  const ScriptRequest request{
      script,
      ScriptConstants{state_.uninstaller_dir, state_.settings.start_menu, state_.settings.guid},
      !state_.quiet_mode};
  ProgramLauncher::TimeUp ask_the_user;
  if (!state_.quiet_mode) {
    ask_the_user = [this](ProcessHandle process) {
      return ShowMessageBoxUntilEnded(platform_.windows, " " + state_.texts.titel,
                                      state_.texts.script_timeout, kYesNo | kIconQuestion,
                                      process) == kYes;
    };
  }
  RunScriptInOwnProcess(launcher_, state_.own_path, request, ask_the_user);
}

void UninstallSequence::Logon() {
  if (state_.settings.login_admin == 0 || HasAdministratorRights(platform_.security)) return;
  const TextTable& texts = state_.texts;
  state_.logon_token = AskForLogon(platform_.windows, platform_.security,
                                   LogonTexts{" " + texts.logon, texts.user, texts.password,
                                              texts.login, texts.rq_titel, texts.rq_msg});
}

void UninstallSequence::EndLogon() {
  if (state_.logon_token.valid()) RevertLogon(platform_.security, state_.logon_token);
}

Installation UninstallSequence::ToRemove() const {
  return Installation{state_.uninstaller_dir, state_.description_file_path, state_.settings,
                      *description_, own_directory_};
}

void UninstallSequence::RunQuiet() {
  Logon();
  NoProgress progress;
  // As after the window's error: a removal that removed nothing keeps the uninstaller and
  // uninstall.dat, so that a later run can still do the job.
  if (RemoveInstallation(platform_, launcher_, ToRemove(), RemovalOptions{}, progress)) {
    DeleteLeftovers();
    StartSelfRemoval();
  }
  EndLogon();
}

void UninstallSequence::RunWindow() {
  MainWindow window(platform_.windows);
  if (!window.Open(WindowTexts(state_.texts))) return;
  Logon();
  // "Delete all" is not offered where the installer asked so, nor in a folder that the system
  // or a user owns as a whole (the public Desktop, Program Files, Documents, ...), where it would
  // take every file of that folder.
  if (state_.settings.no_del_all != 0 || state_.in_whole_folder) window.WithoutDeleteAll();
  if (window.Confirmed()) {
    const RemovalOptions options{window.DeleteAllTicked()};
    window.StartRemoval();
    // The removal reads no input until it ends, but the window stays alive meanwhile: it keeps
    // being painted and keeps answering what other programs send it, also while a started
    // program is waited for.
    WindowProgress progress(platform_.windows);
    progress.Expect(PiecesOfWork(ToRemove().description, options));
    const bool removed = RemoveInstallation(platform_, launcher_, ToRemove(), options, progress);
    if (!removed) {
      window.ShowingError();
      ShowMessageBox(platform_.windows, " " + state_.texts.titel, state_.texts.error, kIconError);
    }
    window.FinishRemoval(state_.texts.status);
    if (removed && window.ReadyClicked()) {
      DeleteLeftovers();
      StartSelfRemoval();
    }
  }
  EndLogon();
  window.Close();
}

void UninstallSequence::DeleteLeftovers() {
  ContainedRemoval installation(platform_.fs, state_.uninstaller_dir, own_directory_);
  for (const char* script : {kVbScriptName, kJScriptName}) installation.RemoveFile(script);
  // The two programs still ran from wherever their values lead, but only what lies inside the
  // uninstaller's directory is the installation's to delete.
  for (const std::string* program :
       {&state_.settings.before_uninst, &state_.settings.after_uninst}) {
    if (!program->empty()) installation.RemoveFile(*program);
  }
  // Last: a run cut short before this point can be run again.
  installation.RemoveFile(kDescriptionFileName);
}

void UninstallSequence::StartSelfRemoval() {
  // The batch deletes the uninstaller, then its directory once empty; never a folder that the
  // system or a user owns as a whole, even when nothing else is left in it.
  // A batch can only be put in a drive's root: an uninstaller started by a network path stays.
  if (!HasDriveForBatch(state_.own_path)) return;
  platform_.launcher.StartSelfRemoval(
      state_.own_path,
      state_.in_whole_folder ? std::string() : SelfRemovalDirectory(state_.uninstaller_dir));
}

void UninstallSequence::End() {
  own_directory_.Close();
  platform_.windows.ReleaseProgramIcon();
}

}  // namespace uninstall
