// The logic classes name their controls in their own headers; the resource script and
// the UI test driver use resources/resource_ids.h. A control whose two numbers drift
// apart would silently stop working, so the build compares them.
#include "app/account/logout_dlg.h"
#include "app/login/login_dlg.h"
#include "app/main/tunra_dlg.h"
#include "app/progress/vpn_conn_dlg.h"
#include "app/session/login_session.h"
#include "app/tray/tray_icon.h"
#include "protocol/exchange_context.h"
#include "resources/resource_ids.h"

static_assert(app::kIdUpdate == IDC_MAIN_UPDATE && app::kIdMinimize == IDC_MAIN_MINIMIZE &&
              app::kIdClose == IDC_MAIN_CLOSE && app::kIdOptions == IDC_MAIN_OPTIONS &&
              app::kIdHelp == IDC_MAIN_HELP && app::kIdVersion == IDC_MAIN_VERSION);
static_assert(app::kIdTrayOpen == ID_TRAY_OPEN && app::kIdTrayExit == ID_TRAY_EXIT &&
              app::kTrayIconId == TRAY_ICON_ID && app::kWmTrayNotify == WM_TRAY_NOTIFY &&
              app::kTrayIconIdle == IDI_TRAY_IDLE && app::kTrayIconConnected == IDI_TRAY_CONNECTED);
static_assert(app::kIdUserField == IDC_LOGIN_USER && app::kIdPasswordField == IDC_LOGIN_PASSWORD &&
              app::kIdLoginButton == IDC_LOGIN_BUTTON && app::kIdRememberBox == IDC_LOGIN_REMEMBER &&
              app::kIdBanner == IDC_LOGIN_BANNER && app::kIdSignUpButton == IDC_LOGIN_SIGNUP &&
              app::kIdFindPasswordButton == IDC_LOGIN_FIND_PASSWORD &&
              app::kIdTestCertificateBox == IDC_LOGIN_TEST_CERT);
static_assert(app::kIdAccountExpandButton == IDC_ACCOUNT_EXPAND && app::kIdAccountDisconnect == IDC_ACCOUNT_CONNECT &&
              app::kIdAccountLogout == IDC_ACCOUNT_LOGOUT && app::kIdAccountExtend == IDC_ACCOUNT_EXTEND &&
              app::kIdAccountIpSettings == IDC_ACCOUNT_IP_SETTINGS &&
              app::kIdAccountIpHistory == IDC_ACCOUNT_IP_HISTORY && app::kIdAccountBanner == IDC_ACCOUNT_BANNER &&
              app::kIdAccountElapsed == IDC_ACCOUNT_TIME && app::kIdAccountStatus == IDC_ACCOUNT_STATUS &&
              app::kIdAccountEndDate == IDC_ACCOUNT_END_DATE && app::kIdAccountGame == IDC_ACCOUNT_GAME &&
              app::kIdAccountUser == IDC_ACCOUNT_USER);
static_assert(app::kIdConnProgressBar == IDC_PROGRESS_BAR && app::kIdConnStatus == IDC_PROGRESS_STATUS);
static_assert(app::kAccountUserText == IDC_ACCOUNT_USER && app::kAccountGameText == IDC_ACCOUNT_GAME &&
              app::kAccountEndDateText == IDC_ACCOUNT_END_DATE && app::kAccountElapsed == IDC_ACCOUNT_TIME &&
              app::kAccountPrompt == IDC_ACCOUNT_STATUS);
static_assert(protocol::kAccountConnectButton == IDC_ACCOUNT_CONNECT &&
              protocol::kAccountElapsedText == IDC_ACCOUNT_TIME && protocol::kAccountIpText == IDC_ACCOUNT_STATUS);
