// Every text the program update shows: its message boxes and captions, the update
// dialog's version messages and the progress window's caption. Code page 949 in the
// program.
#pragma once

namespace app {

// A newer client was offered at login: said before its installer is downloaded.
inline constexpr const char* kUpdateStartingText =
    "프로그램이 업데이트 되었습니다. \n\n지금부터 프로그램을 업데이트 시작 합니다.";
inline constexpr const char* kUpdateStartingCaption = "프로그램 업데이트";

// The installer could not be downloaded (or not be started).
inline constexpr const char* kUpdateFailedText =
    "CODE-021 : 시스템 장애로 업데이트를 정상적으로 수행하지 못했습니다. \n\n다음에 다시 시도해 주세요.";
inline constexpr const char* kUpdateFailedCaption = "통신 오류";

// The update dialog: the version message (with updateVersion, or with clientVersion),
// and the update button's answer when no newer client is offered.
inline constexpr const char* kNewerVersionFormat =
    "최신 버전 (Ver %d)이 확인 되었습니다. \n\n최신 버전으로 업데이트 하시기 바랍니다";
inline constexpr const char* kCurrentVersionFormat = "현재 최신 버전 (Ver %d)을 사용하고 계십니다.";
inline constexpr const char* kAlreadyLatestText = "현재 최신 버전을 사용하고 계십니다.";
inline constexpr const char* kUpdateInfoCaption = "업데이트 정보";

// The update progress window's bar: nothing advances it.
inline constexpr const char* kUpdateProgressCaption = "0 %";

}  // namespace app
