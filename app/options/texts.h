// Every text the options dialog shows or stores: its messages, the reconnection
// combo boxes' items, the program rows' prompts and the open-file dialog's filter.
// Code page 949 in the program; the bytes are the ones users know.
#pragma once

namespace app {

// A method radio clicked while a tunnel is starting or up.
inline constexpr const char* kMethodWhileConnectedText = "!!!현재 접속중입니다!!! \n\n접속을 끊고 설정을 하세요";
inline constexpr const char* kMethodCaption = "접속 방식 설정";

// Save pressed while a tunnel is starting or up.
inline constexpr const char* kSaveWhileConnectedText =
    "접속중인 상태에서 환경설정값을 변경하실 수 없습니다. \n\n접속끊기버튼을 클릭하신 후, 환경설정값을 변경해 "
    "주세요.";
inline constexpr const char* kSaveErrorCaption = "자동접속 설정 오류";

// Save done.
inline constexpr const char* kSavedText = "적용이 완료 되었습니다.";
inline constexpr const char* kSavedCaption = "적용설정";

// A program whose path has a character code page 949 cannot write: stored, it would
// name another file.
inline constexpr const char* kProgramPathNotCp949Text =
    "선택한 프로그램의 경로에 사용할 수 없는 문자가 있습니다.\n\n다른 폴더의 프로그램을 선택해 주세요.";
inline constexpr const char* kProgramCaption = "프로그램 등록";

// The reconnection switch's items: off, on.
inline constexpr const char* kReconnectOff = "해제";
inline constexpr const char* kReconnectOn = "설정";

// The program rows' labels while nothing is registered.
inline constexpr const char* kStopProgramPrompt = "종료할 프로그램 경로를 설정 해주세요";
inline constexpr const char* kStartProgramPrompt = "실행할 프로그램 경로를 설정해 주세요";

// The open-file dialog's one filter.
inline constexpr const char* kProgramFilterName = "실행파일 (*.exe)";
inline constexpr const char* kProgramFilterPattern = "*.exe";

}  // namespace app
