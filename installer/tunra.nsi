; Installer of the TUNRA client (NSIS 3, Unicode, 64-bit like the program).
;
;   makensis -INPUTCHARSET UTF8 -DVERSION=1185 -DPROGRAM=path/to/tunra.exe
;            -DOUTFILE=path/to/tunra_setup_1185.exe -DWINDOW_TITLE=<main window title>
;            installer/tunra.nsi
;
; PROGRAM is installed as tunra.exe, whatever its own file name (the update tests'
; build of the next version is tunra_<n>.exe). The build (installer/CMakeLists.txt)
; passes the window title from resources/resource_ids.h.
;
; Silent mode: /S, or a start with the window hidden (the client's own update starts the
; installer so, then closes itself). Either way the installer first ends a running
; client: WM_CLOSE to its main window (the client ends its tunnel and exits, as on the
; user's own close), then a bounded wait for every process named tunra.exe, then
; TerminateProcess on those still running.

!ifndef VERSION
  !error "VERSION is required (-DVERSION=1185)"
!endif
!ifndef PROGRAM
  !error "PROGRAM is required (-DPROGRAM=path/to/tunra.exe)"
!endif
!ifndef OUTFILE
  !define OUTFILE "tunra_setup_${VERSION}.exe"
!endif
!ifndef WINDOW_TITLE
  !error "WINDOW_TITLE is required (the client's main window title)"
!endif

!define PRODUCT "TUNRA"
!define EXE_NAME "tunra.exe"
!define UNINSTALLER "uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define START_MENU_DIR "$SMPROGRAMS\${PRODUCT}"
; How long a client that was asked to close may take to end (its tunnel teardown
; included) before it is ended by force, and how long to wait for that.
!define CLOSE_WAIT_MS 10000
!define FORCE_WAIT_MS 5000
!define POLL_MS 200
; Exit code of a client ended by force, so a test can tell it from a polite end (0).
!define FORCED_EXIT_CODE 99

Unicode true
Target amd64-unicode
ManifestSupportedOS all
RequestExecutionLevel admin
SetCompressor /SOLID lzma

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
; An update goes where the installed client is.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0.0.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PRODUCT}"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "WinMessages.nsh"

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE_NAME}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Korean"

LangString StillRunning ${LANG_KOREAN} "${PRODUCT} 프로그램을 종료하지 못했습니다. 프로그램을 종료한 뒤 다시 실행해 주세요."
LangString CannotReplace ${LANG_KOREAN} "$INSTDIR\${EXE_NAME} 파일을 바꾸지 못했습니다. ${PRODUCT} 프로그램을 종료한 뒤 다시 시도해 주세요."

; ---------------------------------------------------------------------------------
; Ending a running client (installer and uninstaller alike).

Var ClientPid      ; FindClientProcess's answer
Var Snapshot
Var Entry
Var Found
Var Name
Var Waited
Var Process

; FindClientProcess: sets ClientPid to the process ID of a running tunra.exe (any
; folder, the image name compared without regard to case), or 0 when none runs.
!macro FIND_CLIENT_PROCESS un
Function ${un}FindClientProcess
  StrCpy $ClientPid 0
  System::Call 'kernel32::CreateToolhelp32Snapshot(i 2, i 0) p .s'  ; TH32CS_SNAPPROCESS
  Pop $Snapshot
  ${If} $Snapshot P<> -1  ; INVALID_HANDLE_VALUE
    ; PROCESSENTRY32W on 64-bit Windows: dwSize, cntUsage, th32ProcessID (offset 8),
    ; th32DefaultHeapID (8 bytes at 16), four more DWORDs, szExeFile (260 UTF-16 units
    ; at offset 44); 568 bytes with the padding.
    System::Alloc 568
    Pop $Entry
    System::Call '*$Entry(i 568)'
    System::Call 'kernel32::Process32FirstW(p $Snapshot, p $Entry) i .s'
    Pop $Found
    ${DoWhile} $Found <> 0
      IntPtrOp $Name $Entry + 44
      System::Call '*$Name(&w260 .s)'
      Pop $Name
      ${If} $Name == "${EXE_NAME}"  ; == ignores letter case
        System::Call '*$Entry(i, i, i .s)'
        Pop $ClientPid
        ${Break}
      ${EndIf}
      System::Call 'kernel32::Process32NextW(p $Snapshot, p $Entry) i .s'
      Pop $Found
    ${Loop}
    System::Free $Entry
    System::Call 'kernel32::CloseHandle(p $Snapshot)'
  ${EndIf}
FunctionEnd
!macroend

; CloseClient: ends every running client, politely first. Leaves ClientPid 0 when none
; is left.
!macro CLOSE_CLIENT un
Function ${un}CloseClient
  ; WM_CLOSE to each main window of the client, as the user's own close. Sent with a
  ; time-out: the client's close handler ends its tunnel before it returns.
  StrCpy $Found 0
  ${Do}
    FindWindow $Found "#32770" "${WINDOW_TITLE}" "" $Found
    ${If} $Found = 0
      ${Break}
    ${EndIf}
    SendMessage $Found ${WM_CLOSE} 0 0 /TIMEOUT=2000
  ${Loop}

  ; A bounded wait for every tunra.exe to end, a window or not.
  StrCpy $Waited 0
  ${Do}
    Call ${un}FindClientProcess
    ${If} $ClientPid = 0
    ${OrIf} $Waited >= ${CLOSE_WAIT_MS}
      ${Break}
    ${EndIf}
    Sleep ${POLL_MS}
    IntOp $Waited $Waited + ${POLL_MS}
  ${Loop}

  ; Those still running are ended by force (at most a few rounds: a process that cannot
  ; be opened or ended is left, and replacing its file then fails loudly).
  StrCpy $Waited 0
  ${Do}
    ${If} $ClientPid = 0
    ${OrIf} $Waited >= 5
      ${Break}
    ${EndIf}
    DetailPrint "Ending tunra.exe (process $ClientPid) by force"
    ; PROCESS_TERMINATE | SYNCHRONIZE
    System::Call 'kernel32::OpenProcess(i 0x100001, i 0, i $ClientPid) p .s'
    Pop $Process
    ${If} $Process P<> 0
      System::Call 'kernel32::TerminateProcess(p $Process, i ${FORCED_EXIT_CODE})'
      System::Call 'kernel32::WaitForSingleObject(p $Process, i ${FORCE_WAIT_MS})'
      System::Call 'kernel32::CloseHandle(p $Process)'
    ${EndIf}
    IntOp $Waited $Waited + 1
    Call ${un}FindClientProcess
  ${Loop}
FunctionEnd
!macroend

!insertmacro FIND_CLIENT_PROCESS ""
!insertmacro FIND_CLIENT_PROCESS "un."
!insertmacro CLOSE_CLIENT ""
!insertmacro CLOSE_CLIENT "un."

; ---------------------------------------------------------------------------------

Function .onInit
  SetShellVarContext all
  ; Started hidden (the client's update runs the installer with show state 0): its
  ; pages would wait for a click on a window nobody sees, so it installs silently, as
  ; with /S. STARTUPINFOW on 64-bit Windows: 104 bytes, dwFlags at offset 60,
  ; wShowWindow (2 bytes) at 64.
  System::Alloc 104
  Pop $Entry
  System::Call '*$Entry(i 104)'
  System::Call 'kernel32::GetStartupInfoW(p $Entry)'
  IntPtrOp $Name $Entry + 60
  System::Call '*$Name(i .r8, &i2 .r9)'  ; dwFlags, wShowWindow
  System::Free $Entry
  IntOp $8 $8 & 1  ; STARTF_USESHOWWINDOW
  ${If} $8 <> 0
  ${AndIf} $9 = 0  ; SW_HIDE
    SetSilent silent
  ${EndIf}
FunctionEnd

Function un.onInit
  SetShellVarContext all
FunctionEnd

Section "${PRODUCT}" SecProgram
  SectionIn RO
  Call CloseClient
  ${If} $ClientPid <> 0
    MessageBox MB_ICONSTOP "$(StillRunning)" /SD IDOK
    Abort "$(StillRunning)"
  ${EndIf}

  SetOutPath "$INSTDIR"
  ; Only the program: it is linked statically and needs no DLL beyond the system's.
  ; "try" and the check below: with "on", a file that cannot be replaced is skipped
  ; in silent mode and the installer still ends with 0, so an update would report
  ; success and leave the old program in place.
  SetOverwrite try
  replace:
    ClearErrors
    File "/oname=${EXE_NAME}" "${PROGRAM}"
    IfErrors 0 replaced
    MessageBox MB_RETRYCANCEL|MB_ICONSTOP "$(CannotReplace)" /SD IDCANCEL IDRETRY replace
    Abort "$(CannotReplace)"
  replaced:
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateDirectory "${START_MENU_DIR}"
  CreateShortcut "${START_MENU_DIR}\${PRODUCT}.lnk" "$INSTDIR\${EXE_NAME}" "" "$INSTDIR\${EXE_NAME}" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE_NAME},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Call un.CloseClient
  ${If} $ClientPid <> 0
    MessageBox MB_ICONSTOP "$(StillRunning)" /SD IDOK
    Abort "$(StillRunning)"
  ${EndIf}

  Delete "$INSTDIR\${EXE_NAME}"
  ; The working files the client writes beside itself: diagnostics log, dialer
  ; phonebook, OpenVPN configuration, log and credentials, certificate and its version.
  ; Named one by one: anything else in the folder is the user's and stays, and so
  ; does the folder then.
  Delete "$INSTDIR\tunra-diag.log"
  Delete "$INSTDIR\sobrel.ini"
  Delete "$INSTDIR\vexoen.opc"
  Delete "$INSTDIR\event.log"
  Delete "$INSTDIR\vrs.inf"
  Delete "$INSTDIR\crtver.ini"
  Delete "$INSTDIR\*.crt"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"

  Delete "${START_MENU_DIR}\${PRODUCT}.lnk"
  RMDir "${START_MENU_DIR}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
