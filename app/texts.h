// Every text the application shell shows: message boxes and their captions, labels,
// the tray tip and the progress captions. Code page 949 in the program (the sources
// are UTF-8, compiled with -fexec-charset=CP949); the bytes are the ones users and
// support know, so they are kept exactly.
#pragma once

namespace app {

// Title of the framework's own message boxes ("RegCreateKeyEx 오류").
inline constexpr const char* kAppTitle = "tunra";
inline constexpr const char* kRegCreateKeyFailed = "RegCreateKeyEx 오류";
// The version label, with the client version.
inline constexpr const char* kVersionFormat = "( Ver %d )";

// Tray icon tip.
inline constexpr const char* kTrayTip = " TUNRA 매니저 ";

// The exit questions: while a tunnel is up or coming up, and otherwise. The close
// button asks under the first caption, the tray menu's exit under the second.
inline constexpr const char* kExitConnectedText =
    "★현재 서비스에 연결되어 있습니다.\n\n정말로 로그아웃(접속해제) 시킨 후 \n\n현재의 프로그램을 종료할까요?";
inline constexpr const char* kExitText = "TUNRA 매니저를 종료 하시겠습니까?";
inline constexpr const char* kCloseButtonCaption = "TUNRA 안내";
inline constexpr const char* kTrayExitCaption = "접속종료";

// Login panel.
inline constexpr const char* kAccountCaption = "계정정보";
inline constexpr const char* kEnterUserId = " 아이디를 입력 해주세요. ";
inline constexpr const char* kEnterPassword = " 패스워드를 입력 해주세요. ";

// Account panel: the status line while no tunnel runs (after a login and a logout),
// the connected time before the first second, and the end date
// "<year>년 <month>월 <day>일".
inline constexpr const char* kChooseIpPrompt = "사용하실 아이피를 선택후 더블클릭 해주세요";
inline constexpr const char* kZeroElapsed = "0:00:00";
inline constexpr const char* kYearSuffix = "년 ";
inline constexpr const char* kMonthSuffix = "월 ";
inline constexpr const char* kDaySuffix = "일";

// Service time and the dialled link, from the supervision timers.
inline constexpr const char* kConnectedTimeFormat = "%d:%02d:%02d";
inline constexpr const char* kServiceOverText = "CODE-001 : 서비스 제공이 종료 되었읍니다.";
inline constexpr const char* kPaymentErrorCaption = "결제오류";
inline constexpr const char* kLessThanADayText = "서비스 제공 시간이 하루 이내 입니다. \n 추가로 이용시 결제 처리해 주세요";
inline constexpr const char* kPaymentInfoCaption = "결제정보";
inline constexpr const char* kServerEndedText = "CODE-022 : 서버에서 접속 종료 되었습니다";
inline constexpr const char* kLinkErrorCaption = "통신오류";

// The tunnel start: a second start while one is starting or up, a failed dial's
// caption, and a tunnel kind the program cannot start.
inline constexpr const char* kAlreadyConnectedText = "이미 접속 중입니다.";
inline constexpr const char* kConnectionInfoCaption = "접속정보";
inline constexpr const char* kDialErrorCaption = "장애정보";

// The OpenVPN tunnel's start and supervision. CODE-002's line breaks are single
// carriage returns, as the message box shows them.
inline constexpr const char* kCertDownloadFailedText =
    "CODE-020 : 시스템 장애로 업데이트를 정상적으로 수행하지 못했습니다. \n\n다음에 다시 시도해 주세요.";
inline constexpr const char* kUpdateErrorCaption = "업데이트오류";
inline constexpr const char* kFirewallText =
    "CODE-002 : 다음 사항들을  확인해 주십시오.\r-----------------------------------------\r"
    "① 시작 -> 제어판 -> Windows 방화벽 해제.\r\r②  특정 백신 프로그램을 사용중인 경우... \r\r"
    "     프로그램 자체의 방화벽 기능에서 차단되경우  \r\r     해당 기능을 해제후  다시 접속해 보시기 바랍니다.";
inline constexpr const char* kFirewallCaption = "방화벽 설정 오류";
inline constexpr const char* kAdapterErrorText =
    "CODE-003 : 네트워크 어뎁터 장치 설치 에러 발생 \n\n다시 접속 요청 후 네트워크 어뎁터 드라이버를 다시 설치 "
    "하시기 바랍니다.  ";
inline constexpr const char* kAdapterErrorCaption = "네트워크 장치 생성 오류";
inline constexpr const char* kProcessEndedText = "CODE-004 : 서버에서 접속 종료 되었음";
inline constexpr const char* kServerFailureText = "CODE-005 : 서버 장애로 인해 접속 종료됨 ";
inline constexpr const char* kConnectErrorCaption = "접속 오류";
inline constexpr const char* kUnknownTunnelKindText =
    "이 계정의 접속 방식은 이 프로그램에서 지원하지 않습니다.\n\n고객센터에 문의해 주세요.";

// Connection progress dialog: the bar's caption while waiting, the percentage
// ("%3d %%"), and the status line of a tunnel start.
inline constexpr const char* kProgressWaitCaption = " Please wait... ";
inline constexpr const char* kProgressPercentFormat = "%3lld %%";
inline constexpr const char* kProgressConnectingText = "접속중....";

// The program's folder holds characters the ANSI code page cannot write: the tunnel
// files would be written to a different, "?"-mangled path.
inline constexpr const char* kProgramDirNotAnsi =
    "프로그램 폴더 경로에 이 컴퓨터의 문자 코드(949)로 쓸 수 없는 문자가 있습니다.\n\n"
    "영문과 한글로만 된 폴더에 프로그램을 설치해 주세요.";

// Label faces.
inline constexpr const char* kGulim = "굴림";

// The report for support the tray menu saves in the user's documents: its heading,
// the time line, the section titles, and what a section holds without data.
inline constexpr const char* kReportHeading = "TUNRA 진단 정보";
inline constexpr const char* kReportSavedAt = "저장 시각: ";
inline constexpr const char* kReportClientVersion = "클라이언트 버전";
inline constexpr const char* kReportWindowsVersion = "Windows 버전";
inline constexpr const char* kReportSystem = "시스템 정보";
inline constexpr const char* kReportAdapters = "네트워크 어댑터";
inline constexpr const char* kReportRoutes = "라우팅 표";
inline constexpr const char* kReportRasErrors = "최근 RAS 오류";
inline constexpr const char* kReportDiagLog = "진단 기록 (tunra-diag.log)";
inline constexpr const char* kReportOpenVpnLog = "마지막 OpenVPN 기록";
inline constexpr const char* kReportNone = "(없음)";
inline constexpr const char* kReportReadFailed = "(읽을 수 없음: 오류 %u)";
inline constexpr const char* kReportCut = "(앞부분 생략)";
// Saving it failed: no documents folder, or the file could not be written.
inline constexpr const char* kReportSaveFailed = "진단 정보를 저장하지 못했습니다.\n\n%s";
inline constexpr const char* kReportCaption = "진단 정보 저장";

}  // namespace app
