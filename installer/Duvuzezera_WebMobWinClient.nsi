; The Windows installer. Built on Linux by installer/CMakeLists.txt:
;   makensis -DVERSION=1.3.1.6 -DPROGRAM=<exe> -DICON=<ico> -DOUTFILE=<setup.exe> this file
; Per-user by default; /ALLUSERS installs for all users (needs an elevated run).
; Command-line options are listed in README.md.
Unicode true
Target amd64-unicode
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh

!define TITLE "Кабинет Duvuzezera"
!define PUBLISHER "Duvuzezera"
!define EXE "Duvuzezera_WebMobWinClient.exe"
!define UNINSTALLER "uninstall.exe"
!define FOLDER "Duvuzezera"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Duvuzezera_WebMobWinClient"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Duvuzezera_WebMobWinClient"
; The program's source in the Application event log, its messages in the executable; the name
; is framework/win32/SystemLog.h's.
!define EVENTLOG_KEY "SYSTEM\CurrentControlSet\Services\EventLog\Application\Duvuzezera WebMobClient"
!define EMULATION_KEY "Software\Microsoft\Internet Explorer\Main\FeatureControl\FEATURE_BROWSER_EMULATION"
; Exit codes besides NSIS's own (1: cancelled by the user).
!define EXIT_PROGRAM_RUNNING 2
!define EXIT_ELEVATION_REQUIRED 740
!define EXIT_CONFIG_UNREADABLE 3
; The operator's settings, read by the program whoever runs it; never in the program folder.
!define SETTINGS_FILE "kiosk.json"

Name "${TITLE}"
OutFile "${OUTFILE}"
BrandingText "${PUBLISHER} ${VERSION}"
VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=0 ProductName "${TITLE}"
VIAddVersionKey /LANG=0 CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=0 FileDescription "${TITLE}"
VIAddVersionKey /LANG=0 FileVersion "${VERSION}"
VIAddVersionKey /LANG=0 ProductVersion "${VERSION}"
VIAddVersionKey /LANG=0 LegalCopyright "© ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipDirectoryOnUpgrade
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Russian"

LangString AutostartSection ${LANG_ENGLISH} "Start at sign-in"
LangString AutostartSection ${LANG_RUSSIAN} "Запускать при входе в систему"
LangString ProgramRunning ${LANG_ENGLISH} "${TITLE} is running from $INSTDIR.$\r$\nClose it, then choose Retry."
LangString ProgramRunning ${LANG_RUSSIAN} "${TITLE} запущен из папки $INSTDIR.$\r$\nЗакройте программу и нажмите «Повтор»."
LangString ElevationRequired ${LANG_ENGLISH} "Installing or removing ${TITLE} for all users needs administrator rights. Run this program as administrator."
LangString ConfigUnreadable ${LANG_ENGLISH} "The settings file $configFile cannot be read."
LangString ConfigUnreadable ${LANG_RUSSIAN} "Не удаётся прочитать файл настроек $configFile."
LangString ConfigPathMissing ${LANG_ENGLISH} "/CONFIG= needs the path of a settings file."
LangString ConfigPathMissing ${LANG_RUSSIAN} "После /CONFIG= нужен путь к файлу настроек."
LangString ElevationRequired ${LANG_RUSSIAN} "Для установки или удаления ${TITLE} для всех пользователей нужны права администратора. Запустите программу от имени администратора."

Var previousLocation  ; folder of the installation this one replaces, if any
Var createdFolders    ; how many folders, $INSTDIR and up, the first install created
Var settingsFolder    ; %ProgramData%\Duvuzezera
Var configFile        ; the settings file /CONFIG names, if any

; The quoted command line the Run value holds for this installation: the program started
; again by itself whenever it ends other than normally.
!define RUN_COMMAND '"$INSTDIR\${EXE}" --supervise'
; What versions before the supervisor wrote there.
!define UNSUPERVISED_RUN_COMMAND '"$INSTDIR\${EXE}"'

; A running copy keeps its executable open, so it cannot be replaced or removed. Interactive:
; ask to close it; silent: leave everything as it is and end with a distinct exit code.
!macro ENSURE_PROGRAM_CLOSED un
Function ${un}EnsureProgramClosed
  ${DoWhile} ${FileExists} "$INSTDIR\${EXE}"
    ClearErrors
    FileOpen $0 "$INSTDIR\${EXE}" a
    ${IfNot} ${Errors}
      FileClose $0
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(ProgramRunning)" /SD IDCANCEL IDRETRY retry
    SetErrorLevel ${EXIT_PROGRAM_RUNNING}
    Quit
    retry:
  ${Loop}
FunctionEnd
!macroend
!insertmacro ENSURE_PROGRAM_CLOSED ""
!insertmacro ENSURE_PROGRAM_CLOSED "un."

!macro REQUIRE_ADMIN
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "$(ElevationRequired)" /SD IDOK
    SetErrorLevel ${EXIT_ELEVATION_REQUIRED}
    Quit
  ${EndIf}
!macroend

Section "${TITLE}" SecProgram
  SectionIn RO
  Call EnsureProgramClosed

  ; Only the folders this install creates go again with it; an upgrade keeps the first count.
  ${If} $previousLocation == ""
    StrCpy $createdFolders 0
    StrCpy $0 $INSTDIR
    ${DoUntil} ${FileExists} "$0\*.*"
      IntOp $createdFolders $createdFolders + 1
      ${GetParent} $0 $0
    ${Loop}
  ${EndIf}

  SetOutPath "$INSTDIR"
  File "/oname=${EXE}" "${PROGRAM}"
  ; For whoever watches the fleet: Prometheus's alert rules and a Grafana dashboard.
  SetOutPath "$INSTDIR\monitoring"
  File "${MONITORING}\duvuzezera-alerts.yml"
  File "${MONITORING}\duvuzezera-fleet.json"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortcut "$SMPROGRAMS\${TITLE}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${TITLE}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "CreatedFolders" $createdFolders
  ; Needs administrator rights: a per-user install without them logs no events, and goes on.
  ClearErrors
  WriteRegExpandStr HKLM "${EVENTLOG_KEY}" "EventMessageFile" "$INSTDIR\${EXE}"
  WriteRegDWORD HKLM "${EVENTLOG_KEY}" "TypesSupported" 7
  ClearErrors

  ; Without /CONFIG the file an earlier install or the operator put there stays as it is.
  ${If} $configFile != ""
    CreateDirectory "$settingsFolder"
    ClearErrors
    CopyFiles /SILENT /FILESONLY "$configFile" "$settingsFolder\${SETTINGS_FILE}"
    ${If} ${Errors}
      MessageBox MB_OK|MB_ICONSTOP "$(ConfigUnreadable)" /SD IDOK
      SetErrorLevel ${EXIT_CONFIG_UNREADABLE}
      Quit
    ${EndIf}
  ${EndIf}
SectionEnd

Section /o "$(AutostartSection)" SecAutostart
  WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '${RUN_COMMAND}'
SectionEnd

Section "-AutostartOff"
  ${IfNot} ${SectionIsSelected} ${SecAutostart}
    Call RemoveOwnRunValue
  ${EndIf}
SectionEnd

!macro REMOVE_OWN_RUN_VALUE un
; The Run value goes only while it still starts this installation's copy.
Function ${un}RemoveOwnRunValue
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $0 == '${RUN_COMMAND}'
  ${OrIf} $0 == '${UNSUPERVISED_RUN_COMMAND}'
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}
FunctionEnd
!macroend
!insertmacro REMOVE_OWN_RUN_VALUE ""
!insertmacro REMOVE_OWN_RUN_VALUE "un."

; %ProgramData% is the application data folder of all users.
!macro FIND_SETTINGS_FOLDER
  SetShellVarContext all
  StrCpy $settingsFolder "$APPDATA\${FOLDER}"
!macroend

; The options come from the arguments as Windows splits the command line for every program,
; so that "/CONFIG=C:\a b\kiosk.json" (PowerShell's quoting) and /CONFIG="C:\a b\kiosk.json"
; (cmd's) are the same option. FileFunc's GetOptions skips all quoted text, and with it the
; first form. In: the option's name. Out: the last argument that is the name, alone or followed
; by "=" and a value; "" when there is none.
!macro FIND_OPTION un
Function ${un}FindOption
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  Push $7
  StrCpy $5 ""
  StrLen $6 $0
  ; Through a register: the command line's quotes would end a quoted text in the call.
  StrCpy $7 $CMDLINE
  System::Call 'shell32::CommandLineToArgvW(w r7, *i .r2) p .r1'
  ${If} $1 P<> 0
    ; The first argument is the installer itself.
    StrCpy $3 1
    ${DoWhile} $3 < $2
      IntPtrOp $4 $3 * ${NSIS_PTR_SIZE}
      IntPtrOp $4 $1 + $4
      System::Call '*$4(w .r4)'
      StrCpy $7 $4 $6
      ${If} $7 == $0
        StrCpy $7 $4 1 $6
        ${If} $7 == ""
        ${OrIf} $7 == "="
          StrCpy $5 $4
        ${EndIf}
      ${EndIf}
      IntOp $3 $3 + 1
    ${Loop}
    System::Call 'kernel32::LocalFree(p r1)'
  ${EndIf}
  StrCpy $0 $5
  Pop $7
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd
!macroend
!insertmacro FIND_OPTION ""
!insertmacro FIND_OPTION "un."

!macro HAS_OPTION un name result
  Push "${name}"
  Call ${un}FindOption
  Pop ${result}
!macroend

Function .onInit
  !insertmacro FIND_SETTINGS_FOLDER
  ; A settings file the installer cannot use stops it before anything is installed: a silent
  ; install that left the operator's settings out would look like a success.
  !insertmacro HAS_OPTION "" "/CONFIG" $R1
  StrCpy $configFile $R1 "" 8
  ${If} $R1 == ""
  ${ElseIf} $configFile == ""
    MessageBox MB_OK|MB_ICONSTOP "$(ConfigPathMissing)" /SD IDOK
    SetErrorLevel ${EXIT_CONFIG_UNREADABLE}
    Quit
  ${ElseIfNot} ${FileExists} "$configFile"
  ${OrIf} ${FileExists} "$configFile\*.*"
    MessageBox MB_OK|MB_ICONSTOP "$(ConfigUnreadable)" /SD IDOK
    SetErrorLevel ${EXIT_CONFIG_UNREADABLE}
    Quit
  ${EndIf}
  !insertmacro HAS_OPTION "" "/ALLUSERS" $R1
  ${If} $R1 == ""
    SetShellVarContext current
    StrCpy $R2 "$LOCALAPPDATA\Programs\${FOLDER}"
  ${Else}
    !insertmacro REQUIRE_ADMIN
    SetShellVarContext all
    StrCpy $R2 "$PROGRAMFILES64\${FOLDER}"
  ${EndIf}

  ; An upgrade replaces the installation in its own folder, whatever /D says.
  ReadRegStr $previousLocation SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $previousLocation != ""
    StrCpy $INSTDIR $previousLocation
    ReadRegDWORD $createdFolders SHCTX "${UNINSTALL_KEY}" "CreatedFolders"
  ${ElseIf} $INSTDIR == ""
    StrCpy $INSTDIR $R2
  ${EndIf}

  ; Start at sign-in: as the installation being replaced had it, unless told otherwise.
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $0 == '${RUN_COMMAND}'
  ${OrIf} $0 == '${UNSUPERVISED_RUN_COMMAND}'
    !insertmacro SelectSection ${SecAutostart}
  ${EndIf}
  !insertmacro HAS_OPTION "" "/AUTOSTART" $R1
  ${If} $R1 != ""
    !insertmacro SelectSection ${SecAutostart}
  ${EndIf}
  !insertmacro HAS_OPTION "" "/NOAUTOSTART" $R1
  ${If} $R1 != ""
    !insertmacro UnselectSection ${SecAutostart}
  ${EndIf}
FunctionEnd

Function SkipDirectoryOnUpgrade
  ${If} $previousLocation != ""
    Abort
  ${EndIf}
FunctionEnd

Function un.onInit
  !insertmacro FIND_SETTINGS_FOLDER
  ; The entry for all users is this one only if it names this folder.
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    !insertmacro REQUIRE_ADMIN
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
  Call un.EnsureProgramClosed
FunctionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\${TITLE}.lnk"
  Call un.RemoveOwnRunValue
  ; The program writes this value at every start, under its own file name.
  DeleteRegValue HKCU "${EMULATION_KEY}" "${EXE}"

  ; Only the source this copy registered: another install may own it now.
  ReadRegStr $0 HKLM "${EVENTLOG_KEY}" "EventMessageFile"
  ${If} $0 == "$INSTDIR\${EXE}"
    DeleteRegKey HKLM "${EVENTLOG_KEY}"
  ${EndIf}

  Delete "$INSTDIR\monitoring\duvuzezera-alerts.yml"
  Delete "$INSTDIR\monitoring\duvuzezera-fleet.json"
  RMDir "$INSTDIR\monitoring"
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\${UNINSTALLER}"
  ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    ReadRegDWORD $createdFolders SHCTX "${UNINSTALL_KEY}" "CreatedFolders"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  ${Else}
    StrCpy $createdFolders 1
  ${EndIf}
  ; Never recursive: a folder that holds anything else stays.
  StrCpy $0 $INSTDIR
  ${For} $1 1 $createdFolders
    RMDir $0
    ${GetParent} $0 $0
  ${Next}

  ; The operator's settings outlive the program unless /PURGE says otherwise.
  !insertmacro HAS_OPTION "un." "/PURGE" $R1
  ${If} $R1 != ""
    Delete "$settingsFolder\${SETTINGS_FILE}"
    RMDir "$settingsFolder"
  ${EndIf}
SectionEnd
