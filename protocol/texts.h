// Every text the exchanges show: the numbered failure messages of the login road,
// their captions, and the transport's own message. Code page 949 in the program.
#pragma once

namespace protocol {

inline constexpr const char* kConnectErrorCaption = "접속오류";
inline constexpr const char* kUserCheckNoAnswerText = "CODE-006 : 인증서버와 통신 오류";
inline constexpr const char* kUserCheckRefusedText = "CODE-007 : 인증 실패";
inline constexpr const char* kUserCheckSuspendedText =
    "CODE-008 :고객님 서비스는 일시 정지 상태입니다.  \n\n고객 센터로 문의 바랍니다.";
inline constexpr const char* kAccountInfoNoAnswer =
    "CODE-011 : 시스템상에 예기지 않은 일이 발생하였습니다. \n\n잠시 후 다시 이용해 주세요.";
inline constexpr const char* kIpInfoCaption = "아이피 정보 오류";
// A typed identifier or password that would change the request's grammar.
inline constexpr const char* kUserFieldRefused = "아이디와 비밀번호에는 | = ^ 문자와 제어 문자를 쓸 수 없습니다.";
// The form request could not be sent at all.
inline constexpr const char* kWebSendError = "Web Send Error";

}  // namespace protocol
