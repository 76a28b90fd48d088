// The numbers of the program's windows and of their controls: the one place the tests, the
// end-to-end scripts included, take them from. A control's number is its Win32 control
// identifier, unique across all windows.
#ifndef UNINSTALL_UI_CONTROL_IDS_H_
#define UNINSTALL_UI_CONTROL_IDS_H_

namespace uninstall {

// Window numbers.
inline constexpr int kMainWindow = 1;
inline constexpr int kLogonDialog = 2;

// Control numbers of the main window.
inline constexpr int kHeaderPanel = 1;
inline constexpr int kHeaderTitleText = 2;
inline constexpr int kHeaderMessageText = 3;
inline constexpr int kHeaderIcon = 4;
inline constexpr int kOkButton = 5;
inline constexpr int kCancelButton = 6;
inline constexpr int kReadyButton = 7;
inline constexpr int kInfoText = 8;
inline constexpr int kProgramNameText = 9;
inline constexpr int kDeleteAllCheckBox = 10;
inline constexpr int kRemovalProgressBar = 17;

// Control numbers of the logon dialog.
inline constexpr int kUserLabel = 11;
inline constexpr int kUserField = 12;
inline constexpr int kPasswordLabel = 13;
inline constexpr int kPasswordField = 14;
inline constexpr int kLoginButton = 15;
inline constexpr int kLogonFrame = 16;

}  // namespace uninstall

#endif  // UNINSTALL_UI_CONTROL_IDS_H_
