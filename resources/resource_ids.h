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
#define IDD_IP_CLASSES 222
#define IDD_IP_POOL 226

// Icons: window icon, tray picture without and with a running tunnel.
#define IDI_MAIN 128
#define IDI_TRAY_IDLE 213
#define IDI_TRAY_CONNECTED 214

// Tray menu and its commands.
#define IDR_TRAY_MENU 129
#define ID_TRAY_TITLE 32771
#define ID_TRAY_OPEN 32774
#define ID_TRAY_EXIT 32775

// Bitmaps: main window background and the bitmap buttons (normal, pressed).
#define IDB_MAIN_BACKGROUND 147
#define IDB_CLOSE 157
#define IDB_CLOSE_PRESSED 158
#define IDB_UPDATE 159
#define IDB_UPDATE_PRESSED 160
#define IDB_MINIMIZE 161
#define IDB_MINIMIZE_PRESSED 162
#define IDB_OPTIONS 181
#define IDB_OPTIONS_PRESSED 182
#define IDB_HELP 221

// Controls of the main window.
#define IDC_MAIN_UPDATE 1000
#define IDC_MAIN_MINIMIZE 1002
#define IDC_MAIN_CLOSE 1004
#define IDC_MAIN_OPTIONS 1012
#define IDC_MAIN_HELP 1014
#define IDC_MAIN_VERSION 1039

// Controls of the child dialogs.
#define IDC_ACCOUNT_EXPAND 1003
#define IDC_LOGIN_USER 1005
#define IDC_LOGIN_PASSWORD 1006

// Private window messages of the main window.
#define WM_TRAY_NOTIFY 1012  // tray icon callback; wParam = TRAY_ICON_ID
#define WM_RAS_NOTIFY 1224   // WM_USER + 200: dialer state (wParam), error (lParam)
#define WM_APP_RESTORE 1324  // WM_USER + 300: a second instance asks to be shown

// The tray icon's ID (the callback's wParam).
#define TRAY_ICON_ID 129

// Named objects by which a second instance finds the first.
#define TUNRA_WINDOW_TITLE L"Lumrex"
#define TUNRA_MUTEX_NAME L"Lumrex_Client_Program"
