// Resource, control, command and message numbers of tunra.exe. The resource script,
// the client and the UI test driver all include this one header, so a driver finds
// every control by the same ID the client creates it with. Plain #defines only:
// windres reads this file too.
#pragma once

// Dialog templates: the main window and its child dialogs.
#define IDD_MAIN 102
#define IDD_ACCOUNT 131
#define IDD_LOGIN 133
#define IDD_PROG_UPDATE 134
#define IDD_VPN_CONN 143
#define IDD_IP_POOL 222     // the whole pool and its favourites (CIpMgmtTab5Dlg)
#define IDD_IP_CLASSES 226  // IP classes (DynamicIpTabDlg)

// Icons: window icon, tray picture without and with a running tunnel.
#define IDI_MAIN 128
#define IDI_TRAY_IDLE 213
#define IDI_TRAY_CONNECTED 214

// Tray menu and its commands.
#define IDR_TRAY_MENU 129
#define ID_TRAY_TITLE 32771
#define ID_TRAY_OPEN 32774
#define ID_TRAY_EXIT 32775
#define ID_TRAY_DIAGNOSTICS 32776  // "진단 정보 저장": the report for support

// Bitmaps: window and panel backgrounds, drawn at (0, 0) in their own size.
#define IDB_MAIN_BACKGROUND 147
#define IDB_LOGIN_BACKGROUND 148
#define IDB_ACCOUNT_BACKGROUND 149
#define IDB_PROGRESS_BACKGROUND 200

// Bitmaps of the bitmap buttons (normal, pressed).
#define IDB_PASSWORD_FIND 151  // one picture for both states
#define IDB_LOGIN 153
#define IDB_LOGIN_PRESSED 154
#define IDB_SIGNUP 155
#define IDB_SIGNUP_PRESSED 156
#define IDB_CLOSE 157
#define IDB_CLOSE_PRESSED 158
#define IDB_UPDATE 159
#define IDB_UPDATE_PRESSED 160
#define IDB_MINIMIZE 161
#define IDB_MINIMIZE_PRESSED 162
#define IDB_IP_HISTORY 171
#define IDB_IP_HISTORY_PRESSED 172
#define IDB_IP_SETTINGS 173
#define IDB_IP_SETTINGS_PRESSED 174
#define IDB_LOGOUT 175
#define IDB_LOGOUT_PRESSED 176
#define IDB_CONNECT 177  // the account panel's 1012 before it is first shown
#define IDB_CONNECT_PRESSED 178
#define IDB_DISCONNECT 179  // 1012 while a tunnel is up
#define IDB_DISCONNECT_PRESSED 180
#define IDB_OPTIONS 181
#define IDB_OPTIONS_PRESSED 182
#define IDB_EXTEND 183
#define IDB_EXTEND_PRESSED 184
#define IDB_EXPAND 185  // ">>" in the narrow layout
#define IDB_EXPAND_PRESSED 186
#define IDB_COLLAPSE 187  // "<<" in the wide layout
#define IDB_COLLAPSE_PRESSED 188
#define IDB_HELP 221

// Controls of the main window.
#define IDC_MAIN_UPDATE 1000
#define IDC_MAIN_MINIMIZE 1002
#define IDC_MAIN_CLOSE 1004
#define IDC_MAIN_OPTIONS 1012
#define IDC_MAIN_HELP 1014
#define IDC_MAIN_VERSION 1039

// Controls of the login panel (IDD_LOGIN).
#define IDC_LOGIN_USER 1005
#define IDC_LOGIN_PASSWORD 1006
#define IDC_LOGIN_BUTTON 1007
#define IDC_LOGIN_REMEMBER 1008     // its label is part of the background
#define IDC_LOGIN_BANNER 1010       // banner area (web page, or the background)
#define IDC_LOGIN_SIGNUP 1014
#define IDC_LOGIN_FIND_PASSWORD 1015
#define IDC_LOGIN_TEST_CERT 1052    // hidden unless the debug marker file exists

// Controls of the account panel (IDD_ACCOUNT).
#define IDC_ACCOUNT_EXPAND 1003     // ">>", never shown
#define IDC_ACCOUNT_BANNER 1010
#define IDC_ACCOUNT_CONNECT 1012    // shown only while a tunnel is up
#define IDC_ACCOUNT_LOGOUT 1029
#define IDC_ACCOUNT_EXTEND 1030
#define IDC_ACCOUNT_IP_SETTINGS 1031  // never shown
#define IDC_ACCOUNT_IP_HISTORY 1032   // never shown
#define IDC_ACCOUNT_TIME 1034       // connected time
#define IDC_ACCOUNT_STATUS 1035     // status line
#define IDC_ACCOUNT_END_DATE 1036
#define IDC_ACCOUNT_GAME 1037
#define IDC_ACCOUNT_USER 1038

// Controls of the connection progress dialog (IDD_VPN_CONN).
#define IDC_PROGRESS_STATUS 1049
#define IDC_PROGRESS_BAR 1050

// Private window messages of the main window.
#define WM_TRAY_NOTIFY 1012  // tray icon callback; wParam = TRAY_ICON_ID
#define WM_RAS_NOTIFY 1224   // WM_USER + 200: dialer state (wParam), error (lParam)
#define WM_APP_RESTORE 1324  // WM_USER + 300: a second instance asks to be shown

// The tray icon's ID (the callback's wParam).
#define TRAY_ICON_ID 129

// Named objects by which a second instance finds the first.
#define TUNRA_WINDOW_TITLE "Lumrex"
#define TUNRA_MUTEX_NAME "Lumrex_Client_Program"

// The IP list panels (IDD_IP_POOL and IDD_IP_CLASSES): background and button bitmaps.
#define IDB_IP_PANEL_BACKGROUND 150
#define IDB_IP_ADD 223            // ">>": selected available IPs to the favourites
#define IDB_IP_REMOVE 224         // "<<": selected favourites out
#define IDB_IP_CLASSES_TITLE 233  // title image over the class list
#define IDB_IP_RANDOM 234         // random choice, and the next favourite in turn
#define IDB_IP_RANDOM_PRESSED 235
#define IDB_IP_AVAILABLE_TITLE 236  // title image over the available IPs
#define IDB_IP_FAVOURITES_TITLE 237 // title image over the favourites
#define IDB_IP_CLASS_RANDOM 238     // the class panel's random choice
#define IDB_IP_CLASS_RANDOM_PRESSED 239

// Controls both IP list panels have.
#define IDC_IP_ADD 1012
#define IDC_IP_REMOVE 1013
#define IDC_IP_FAVOURITES 1019  // list view: the favourite IPs
#define IDC_IP_AVAILABLE 1020   // list view: the IPs of the pool (or of the chosen class)
// Controls of the whole-pool panel (IDD_IP_POOL).
#define IDC_POOL_RANDOM 1014            // random row of the available IPs
#define IDC_POOL_RANDOM_FAVOURITE 1015  // random favourite
#define IDC_POOL_AVAILABLE_TITLE 1062
#define IDC_POOL_FAVOURITES_TITLE 1063
// Controls of the class panel (IDD_IP_CLASSES).
#define IDC_CLASS_AVAILABLE_TITLE 1014
#define IDC_CLASS_FAVOURITES_TITLE 1015
#define IDC_CLASS_RANDOM 1016         // random row of the available IPs
#define IDC_CLASS_LIST_TITLE 1017
#define IDC_CLASS_LIST 1059           // list view: the IP classes (single selection)
#define IDC_CLASS_NEXT_FAVOURITE 1061 // the next favourite in turn

// The options dialog (IDD_OPTIONS, modal from the main window's options button):
// background, bitmap buttons and controls.
#define IDD_OPTIONS 145
#define IDB_OPTIONS_BACKGROUND 206
#define IDB_OPT_CANCEL 217
#define IDB_OPT_CANCEL_PRESSED 218
#define IDB_OPT_SAVE 219
#define IDB_OPT_SAVE_PRESSED 220
#define IDC_OPT_CLOSE 1004
#define IDC_OPT_SAVE 1012
#define IDC_OPT_CANCEL 1013
#define IDC_OPT_IN_START_SET 1014    // register the program started when the tunnel is up
#define IDC_OPT_IN_STOP_SET 1015     // ... ended when the tunnel is up
#define IDC_OPT_OUT_START_SET 1016   // ... started when the tunnel is down
#define IDC_OPT_OUT_STOP_SET 1017    // ... ended when the tunnel is down
#define IDC_OPT_IN_STOP_DELETE 1018
#define IDC_OPT_IN_START_DELETE 1019
#define IDC_OPT_OUT_START_DELETE 1020
#define IDC_OPT_OPENVPN 1021         // connection method radios
#define IDC_OPT_PPTP 1022
#define IDC_OPT_OUT_STOP_DELETE 1024
#define IDC_OPT_ATTEMPTS 1025        // reconnection: attempts, interval, on/off switch
#define IDC_OPT_INTERVAL 1026
#define IDC_OPT_RECONNECT 1027
#define IDC_OPT_IN_START_PATH 1054   // the registered programs' paths
#define IDC_OPT_IN_STOP_PATH 1055
#define IDC_OPT_SERVER 1056          // VPN server combo box
#define IDC_OPT_OUT_START_PATH 1058
#define IDC_OPT_OUT_STOP_PATH 1059
#define IDC_OPT_ONECLICK_ON 1060     // one-click IP change radios
#define IDC_OPT_ONECLICK_OFF 1061
// Group boxes and fixed labels (texts of the template; painted over the background).
#define IDC_OPT_RECONNECT_GROUP 1070
#define IDC_OPT_METHOD_GROUP 1071
#define IDC_OPT_ONECLICK_GROUP 1072
#define IDC_OPT_SERVER_GROUP 1073
#define IDC_OPT_IN_GROUP 1074
#define IDC_OPT_OUT_GROUP 1075
#define IDC_OPT_RECONNECT_LABEL 1076
#define IDC_OPT_INTERVAL_LABEL 1077
#define IDC_OPT_ATTEMPTS_LABEL 1078
#define IDC_OPT_INTERVAL_UNIT 1079
#define IDC_OPT_ATTEMPTS_UNIT 1080
#define IDC_OPT_IN_STOP_ROW 1081
#define IDC_OPT_IN_START_ROW 1082
#define IDC_OPT_OUT_START_ROW 1083
#define IDC_OPT_OUT_STOP_ROW 1084

// The update dialog (IDD_UPDATE, modal from the main window's update button) and the
// update progress window (IDD_PROG_UPDATE): backgrounds, bitmap buttons and controls.
// The progress window's background is IDB_PROGRESS_BACKGROUND, as the connection
// progress dialog's.
#define IDD_UPDATE 141
#define IDB_UPDATE_BACKGROUND 199
#define IDB_UPDATE_START 197        // "업데이트"
#define IDB_UPDATE_START_PRESSED 198
#define IDB_UPDATE_CANCEL 189       // "취소", one picture for both states
#define IDC_UPD_START 1000
#define IDC_UPD_CLOSE 1004          // "X" (IDB_CLOSE, IDB_CLOSE_PRESSED)
#define IDC_UPD_PAGE 1010           // the update page's area (web page, or the background)
#define IDC_UPD_CANCEL 1026
#define IDC_UPD_MESSAGE 1040        // the version message
#define IDC_PROG_UPDATE_BAR 1048
