// Every text the tunnel layer shows: the dialer's progress texts and its refused-dial
// message. Code page 949 in the program (the sources are UTF-8, compiled with
// -fexec-charset=CP949); the bytes are the ones users and support know, kept exactly.
#pragma once

#include <cstdint>

namespace tunnel {

// The progress text of each RASCONNSTATE the dialer reports (0-18, then the two done
// states). Other states show kRasStateOther.
struct RasStateText {
  std::uint32_t state;
  const char* text;
};

inline constexpr RasStateText kRasStateTexts[] = {
    {0, "통신포트 여는중..."},
    {1, "통신포트 열었습니다 접속 시도 중입니다"},
    {2, "디바이스에 연결중"},
    {3, "디바이스에 연결되었습니다"},
    {4, "모든 디바이스의 연결 완료"},
    {5, "사용자명과 암호 확인중"},
    {6, "인증내용 확인"},
    {7, "새로운 사용자 확인자료 요청"},
    {8, "인증 Callback "},
    {9, "암호변경"},
    {10, "네트워크에 등록중..."},
    {11, "접속속도 산정중"},
    {12, "확인요청 확정"},
    {13, "재확인시작"},
    {14, "인증완료"},
    {15, "Callback 준비"},
    {16, "모뎀초기화 대기중"},
    {17, "Callback 대기"},
    {18, "수행된 정보정상"},
    {0x2000, "접속되었습니다\nTCP/IP 통신가능합니다..."},
    {0x2001, "접속해제"},
};
inline constexpr const char* kRasStateOther = "(처리중~)";

// The platform refused to start the dial: its error code and text.
inline constexpr const char* kRasDialRefusedFormat = "<<%d>> : %s";
// The caption of that message: the program's title, as on the framework's own boxes.
inline constexpr const char* kRasDialRefusedCaption = "tunra";

// The OpenVPN program could not be ended because the process list could not be taken.
inline constexpr const char* kOpenVpnStopFailedText = " 프로그램 종료 실패 ";
inline constexpr const char* kOpenVpnStopFailedCaption = "tunra";

// The OpenVPN working files: the configuration cannot be written (CODE-013 ... CODE-016,
// all under one caption) and the credential file has no account to hold (CODE-019).
inline constexpr const char* kOvpnConfigCaption = "설정오류";
inline constexpr const char* kOvpnConfigFileText = "CODE-013 : 환경 파일 생성 오류";
inline constexpr const char* kOvpnServerAddressText = "CODE-014 : 서버 IP 설정 오류";
inline constexpr const char* kOvpnCertFileText = "CODE-015 : 서버 인증 파일 생성 오류";
inline constexpr const char* kOvpnCredentialFileText = "CODE-016 : 접속 인증 파일 생성 오류";
inline constexpr const char* kOvpnNoAccountText = "CODE-019 : 계정에 대한 정보가 없습니다";
inline constexpr const char* kOvpnNoAccountCaption = "환경 설정 오류";

// The tunnel adapter is missing or doubled: its driver is installed again.
inline constexpr const char* kTapReinstallText =
    "CODE-017 : 지금부터 네트워크 드라이버를 설치합니다. \n\n잠시만 기다려 주세요.";
inline constexpr const char* kTapReinstallCaption = "설치오류";

}  // namespace tunnel
