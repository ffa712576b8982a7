; Virel 5.0 setup: installs both builds on 64-bit Windows and the 32-bit pair on 32-bit Windows.
;
;   makensis -DSTAGE=<folder with the programs and manuals> -DOUTFILE=<setup.exe> virel.nsi
;
; A 32-bit installer (it runs on both kinds of Windows) that looks for 64-bit Windows itself.
; Command line: /S silent (start at sign-in on, nothing started unless it was running before),
; /D=<folder> another folder. The uninstaller takes /S as well and keeps the user's settings.

Unicode true
ManifestSupportedOS all
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!ifndef STAGE | OUTFILE
  !error "give -DSTAGE=<folder> and -DOUTFILE=<file>"
!endif

!define VERSION "5.0"
!define NAME_FULL "Virel Tamil Software 5.0"
!define PUBLISHER "Orvane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Virel 5.0"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\Orvane\Virel\5.0"
!define MENU_FOLDER "$SMPROGRAMS\Orvane\5.0"
!define WINDOW_CLASS "VirelClass"
!define TITLE_64 "Virel Tamil Software (64 bit) - Ver 5.0"
!define TITLE_32 "Virel Tamil Software (32 bit) - Ver 5.0"
!define MANUAL_EN "Virel-Manual-English.pdf"
!define MANUAL_TA "Virel-Manual-Tamil.pdf"

Name "${NAME_FULL}"
OutFile "${OUTFILE}"
BrandingText "Orvane"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "5.0.0.0"
VIAddVersionKey /LANG=0 "ProductName" "Virel"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "Virel 5.0 Setup"
VIAddVersionKey /LANG=0 "FileVersion" "5.0"
VIAddVersionKey /LANG=0 "ProductVersion" "5.0"
VIAddVersionKey /LANG=0 "LegalCopyright" "Orvane"

!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh
!include nsDialogs.nsh
!include WinMessages.nsh

!define MUI_ICON "${__FILEDIR__}\..\tray\art\virel.ico"
!define MUI_UNICON "${__FILEDIR__}\..\tray\art\virel.ico"
!define MUI_ABORTWARNING
; The language chosen at installation is the uninstaller's too.
!define MUI_LANGDLL_REGISTRY_ROOT HKLM
!define MUI_LANGDLL_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MUI_LANGDLL_REGISTRY_VALUENAME "InstallerLanguage"

Var StartAtSignIn      ; 1: Run values for the installed builds
Var StartAtSignInBox
Var RemoveSettings     ; uninstaller: 1 removes the user's settings too
Var RemoveSettingsBox
Var WasRunning         ; the builds ended before files were replaced: "64 32", "32", ...
Var CreatedFolder      ; the first folder of $INSTDIR that this run created, or ""

!define MUI_WELCOMEPAGE_TITLE_3LINES
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
Page custom StartupPage StartupPageLeave
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE_3LINES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(StartNow)"
!define MUI_FINISHPAGE_RUN_FUNCTION StartInstalledBuilds
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\$(ManualFile)"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "$(ShowManual)"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
UninstPage custom un.SettingsPage un.SettingsPageLeave
!insertmacro MUI_UNPAGE_INSTFILES

; English, and Tamil where Windows speaks Tamil; the first page lets the user choose.
!insertmacro MUI_LANGUAGE "English"
!include "${__FILEDIR__}\lang\strings-english.nsh"
!insertmacro MUI_LANGUAGEEX "${__FILEDIR__}\lang" "Tamil"
!include "${__FILEDIR__}\lang\strings-tamil.nsh"
!insertmacro MUI_RESERVEFILE_LANGDLL

; --- ending and starting the programs ------------------------------------------------------------

; Ends every running copy of one build: asks its window to close (the program then ends cleanly,
; removing its hook and icon and saving nothing) and waits for the process; one that does not end
; in time is terminated. Appends the bits to $WasRunning when a copy ran.
!macro END_BUILD_FUNCTION PREFIX
Function ${PREFIX}EndBuild
  Exch $R0  ; the window title of the build
  Exch
  Exch $R1  ; its bits, "64" or "32"
  Push $R2
  Push $R3
  Push $R4
  Push $R5
  StrCpy $R5 0
  ${Do}
    FindWindow $R2 "${WINDOW_CLASS}" "$R0"
    ${If} $R2 == 0
    ${OrIf} $R5 >= 16
      ${Break}
    ${EndIf}
    IntOp $R5 $R5 + 1
    ${If} $WasRunning == ""
      StrCpy $WasRunning $R1
    ${ElseIf} $WasRunning != $R1
      StrCpy $WasRunning "$WasRunning $R1"
    ${EndIf}
    DetailPrint "$(Ending) Virel$R1"
    System::Call 'user32::GetWindowThreadProcessId(p R2, *i .R3)'
    ; SYNCHRONIZE | PROCESS_TERMINATE
    System::Call 'kernel32::OpenProcess(i 0x00100001, i 0, i R3) p .R4'
    SendMessage $R2 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${If} $R4 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p R4, i 10000) i .R3'
      ${If} $R3 != 0
        System::Call 'kernel32::TerminateProcess(p R4, i 1)'
        System::Call 'kernel32::WaitForSingleObject(p R4, i 10000)'
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p R4)'
    ${Else}
      Sleep 500
    ${EndIf}
  ${Loop}
  Pop $R5
  Pop $R4
  Pop $R3
  Pop $R2
  Pop $R1
  Pop $R0
FunctionEnd

Function ${PREFIX}EndVirel
  StrCpy $WasRunning ""
  Push 64
  Push "${TITLE_64}"
  Call ${PREFIX}EndBuild
  Push 32
  Push "${TITLE_32}"
  Call ${PREFIX}EndBuild
FunctionEnd
!macroend
!insertmacro END_BUILD_FUNCTION ""
!insertmacro END_BUILD_FUNCTION "un."

Function StartInstalledBuilds
  ${If} ${RunningX64}
    Exec '"$INSTDIR\Virel64.exe"'
  ${EndIf}
  Exec '"$INSTDIR\Virel32.exe"'
FunctionEnd

; --- the files -------------------------------------------------------------------------------------

; An older copy is moved aside before the new one is written: a running program, or an engine still
; loaded into some process, can be renamed but not overwritten. Whatever cannot be written undoes
; the whole run (see Rollback).
!macro PUT_FILE NAME
  Push "${NAME}"
  Call SetAside
  ClearErrors
  File "${STAGE}\${NAME}"
  ${If} ${Errors}
    StrCpy $0 "${NAME}"
    Goto failed
  ${EndIf}
!macroend

; The files of a build: both pairs on 64-bit Windows, the 32-bit pair elsewhere.
!macro FILE_NAMES MACRO
  ${If} ${RunningX64}
    !insertmacro ${MACRO} "Virel64.exe"
    !insertmacro ${MACRO} "VirelEgn64.dll"
  ${EndIf}
  !insertmacro ${MACRO} "Virel32.exe"
  !insertmacro ${MACRO} "VirelEgn32.dll"
  !insertmacro ${MACRO} "virelconv.exe"
  !insertmacro ${MACRO} "chart-phonetic.png"
  !insertmacro ${MACRO} "chart-tamil99.png"
  !insertmacro ${MACRO} "chart-new-typewriter.png"
  !insertmacro ${MACRO} "chart-old-typewriter.png"
  !insertmacro ${MACRO} "${MANUAL_EN}"
  !insertmacro ${MACRO} "${MANUAL_TA}"
!macroend

Function SetAside
  Exch $R0
  Push $R1
  ${If} ${FileExists} "$INSTDIR\$R0"
    Delete "$INSTDIR\$R0.old"
    ${If} ${FileExists} "$INSTDIR\$R0.old"
      ; An aside of an earlier run, still loaded somewhere: give it a name of its own.
      GetTempFileName $R1 "$INSTDIR"
      Delete $R1
      Rename "$INSTDIR\$R0.old" $R1
      Delete /REBOOTOK $R1
    ${EndIf}
    Rename "$INSTDIR\$R0" "$INSTDIR\$R0.old"
  ${EndIf}
  Pop $R1
  Pop $R0
FunctionEnd

!macro RESTORE_FILE NAME
  Delete "$INSTDIR\${NAME}"
  ${If} ${FileExists} "$INSTDIR\${NAME}.old"
    Rename "$INSTDIR\${NAME}.old" "$INSTDIR\${NAME}"
  ${EndIf}
!macroend

; Removes a file of the installation and what an upgrade left beside it; $0 becomes 1 while any
; of them is still there (an engine that some process has still loaded).
!macro DELETE_FILE NAME
  Delete "$INSTDIR\${NAME}"
  Delete "$INSTDIR\${NAME}.old"
  ${If} ${FileExists} "$INSTDIR\${NAME}"
  ${OrIf} ${FileExists} "$INSTDIR\${NAME}.old"
    StrCpy $0 1
  ${EndIf}
!macroend

!macro DELETE_AT_RESTART NAME
  Delete /REBOOTOK "$INSTDIR\${NAME}"
  Delete /REBOOTOK "$INSTDIR\${NAME}.old"
!macroend

!macro DROP_ASIDE NAME
  Delete /REBOOTOK "$INSTDIR\${NAME}.old"
!macroend

; The folder must take a file before anything is changed; otherwise nothing is left behind.
Function CheckFolder
  StrCpy $CreatedFolder ""
  StrCpy $0 $INSTDIR
  ${Do}
    ${If} ${FileExists} "$0\*.*"
    ${OrIf} $0 == ""
      ${Break}
    ${EndIf}
    StrCpy $CreatedFolder $0
    ${GetParent} $0 $0
  ${Loop}
  ClearErrors
  CreateDirectory "$INSTDIR"
  FileOpen $1 "$INSTDIR\virel-setup.probe" w
  ${IfNot} ${Errors}
    FileClose $1
    Delete "$INSTDIR\virel-setup.probe"
    Return
  ${EndIf}
  Call RemoveCreatedFolders
  MessageBox MB_OK|MB_ICONSTOP "$(CannotWriteFolder)" /SD IDOK
  DetailPrint "$(CannotWriteFolder)"
  SetErrorLevel 2
  Abort
FunctionEnd

; Removes the folders this run created for $INSTDIR, deepest first, where they are empty.
Function RemoveCreatedFolders
  ${If} $CreatedFolder == ""
    Return
  ${EndIf}
  StrCpy $0 $INSTDIR
  ${Do}
    RMDir $0
    ${If} $0 == $CreatedFolder
    ${OrIf} $0 == ""
      ${Break}
    ${EndIf}
    ${GetParent} $0 $0
  ${Loop}
FunctionEnd

; --- install ---------------------------------------------------------------------------------------

Function .onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  StrCpy $StartAtSignIn 1
  !insertmacro MUI_LANGDLL_DISPLAY
  ; /D= gives the folder; otherwise the folder of an earlier installation, or Program Files.
  ${If} $INSTDIR == ""
    ReadRegStr $INSTDIR HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${EndIf}
  ${If} $INSTDIR == ""
    ${If} ${RunningX64}
      StrCpy $INSTDIR "$PROGRAMFILES64\Orvane\Virel 5.0"
    ${Else}
      StrCpy $INSTDIR "$PROGRAMFILES\Orvane\Virel 5.0"
    ${EndIf}
  ${EndIf}
FunctionEnd

Function StartupPage
  !insertmacro MUI_HEADER_TEXT "$(StartupTitle)" "$(StartupSubtitle)"
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 36u "$(StartupText)"
  Pop $0
  ${NSD_CreateCheckbox} 0 44u 100% 12u "$(StartAtSignIn)"
  Pop $StartAtSignInBox
  ${NSD_SetState} $StartAtSignInBox $StartAtSignIn
  nsDialogs::Show
FunctionEnd

Function StartupPageLeave
  ${NSD_GetState} $StartAtSignInBox $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $StartAtSignIn 1
  ${Else}
    StrCpy $StartAtSignIn 0
  ${EndIf}
FunctionEnd

Section "Virel"
  SetShellVarContext all
  Call CheckFolder
  Call EndVirel
  SetOutPath "$INSTDIR"
  !insertmacro FILE_NAMES PUT_FILE
  Push "Uninstall.exe"
  Call SetAside
  ClearErrors
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ${If} ${Errors}
    StrCpy $0 "Uninstall.exe"
    Goto failed
  ${EndIf}
  !insertmacro FILE_NAMES DROP_ASIDE
  !insertmacro DROP_ASIDE "Uninstall.exe"

  ; The Start menu folder of all users.
  RMDir /r "${MENU_FOLDER}"
  CreateDirectory "${MENU_FOLDER}"
  ${If} ${RunningX64}
    CreateShortcut "${MENU_FOLDER}\Virel64.lnk" "$INSTDIR\Virel64.exe" "" "$INSTDIR\Virel64.exe" 0
  ${EndIf}
  CreateShortcut "${MENU_FOLDER}\Virel32.lnk" "$INSTDIR\Virel32.exe" "" "$INSTDIR\Virel32.exe" 0
  CreateShortcut "${MENU_FOLDER}\Virel-Manual-English.lnk" "$INSTDIR\${MANUAL_EN}"
  CreateShortcut "${MENU_FOLDER}\Virel-Manual-Tamil.lnk" "$INSTDIR\${MANUAL_TA}"
  CreateShortcut "${MENU_FOLDER}\Uninstall.lnk" "$INSTDIR\Uninstall.exe"

  ; Start at sign-in, for every user.
  DeleteRegValue HKLM "${RUN_KEY}" "Virel64"
  DeleteRegValue HKLM "${RUN_KEY}" "Virel32"
  ${If} $StartAtSignIn == 1
    ${If} ${RunningX64}
      WriteRegStr HKLM "${RUN_KEY}" "Virel64" '"$INSTDIR\Virel64.exe"'
    ${EndIf}
    WriteRegStr HKLM "${RUN_KEY}" "Virel32" '"$INSTDIR\Virel32.exe"'
  ${EndIf}

  ; Add/Remove Programs.
  ${If} ${RunningX64}
    StrCpy $1 "$INSTDIR\Virel64.exe"
  ${Else}
    StrCpy $1 "$INSTDIR\Virel32.exe"
  ${EndIf}
  ${GetSize} "$INSTDIR" "/S=0K" $2 $3 $4
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${NAME_FULL}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$1,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMajor" 5
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMinor" 0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  ; The builds that were running run again, now from the new files.
  ${If} $WasRunning != ""
    ${If} ${RunningX64}
    ${AndIf} $WasRunning != "32"
      Exec '"$INSTDIR\Virel64.exe"'
    ${EndIf}
    ${If} $WasRunning != "64"
      Exec '"$INSTDIR\Virel32.exe"'
    ${EndIf}
  ${EndIf}
  Return

failed:
  ; Back to what was there before this run: the older files where there were, nothing elsewhere.
  !insertmacro FILE_NAMES RESTORE_FILE
  !insertmacro RESTORE_FILE "Uninstall.exe"
  Call RemoveCreatedFolders
  MessageBox MB_OK|MB_ICONSTOP "$(CannotWriteFile)" /SD IDOK
  DetailPrint "$(CannotWriteFile)"
  SetErrorLevel 2
  Abort
SectionEnd

; --- uninstall -------------------------------------------------------------------------------------

Function un.onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  StrCpy $RemoveSettings 0
  !insertmacro MUI_UNGETLANGUAGE
FunctionEnd

Function un.SettingsPage
  !insertmacro MUI_HEADER_TEXT "$(SettingsTitle)" "$(SettingsSubtitle)"
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 36u "$(SettingsText)"
  Pop $0
  ${NSD_CreateCheckbox} 0 44u 100% 12u "$(RemoveSettings)"
  Pop $RemoveSettingsBox
  nsDialogs::Show
FunctionEnd

Function un.SettingsPageLeave
  ${NSD_GetState} $RemoveSettingsBox $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $RemoveSettings 1
  ${EndIf}
FunctionEnd

; Every file an installation may have, whichever Windows it was made on.
!macro INSTALLED_FILES MACRO
  !insertmacro ${MACRO} "Virel64.exe"
  !insertmacro ${MACRO} "VirelEgn64.dll"
  !insertmacro ${MACRO} "Virel32.exe"
  !insertmacro ${MACRO} "VirelEgn32.dll"
  !insertmacro ${MACRO} "virelconv.exe"
  !insertmacro ${MACRO} "chart-phonetic.png"
  !insertmacro ${MACRO} "chart-tamil99.png"
  !insertmacro ${MACRO} "chart-new-typewriter.png"
  !insertmacro ${MACRO} "chart-old-typewriter.png"
  !insertmacro ${MACRO} "${MANUAL_EN}"
  !insertmacro ${MACRO} "${MANUAL_TA}"
  !insertmacro ${MACRO} "Uninstall.exe"
!macroend

Function un.DeleteFiles
  StrCpy $0 0
  !insertmacro INSTALLED_FILES DELETE_FILE
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  Call un.EndVirel
  ; Windows lets go of an engine in the other processes soon after its program ended; what is
  ; still loaded after a few seconds goes when Windows starts again.
  StrCpy $1 0
  ${Do}
    Call un.DeleteFiles
    ${If} $0 == 0
    ${OrIf} $1 >= 10
      ${Break}
    ${EndIf}
    IntOp $1 $1 + 1
    Sleep 300
  ${Loop}
  !insertmacro INSTALLED_FILES DELETE_AT_RESTART
  Delete /REBOOTOK "$INSTDIR\ns*.tmp"
  RMDir /REBOOTOK "$INSTDIR"
  ${GetParent} "$INSTDIR" $0
  RMDir "$0"

  RMDir /r "${MENU_FOLDER}"
  RMDir "$SMPROGRAMS\Orvane"
  DeleteRegValue HKLM "${RUN_KEY}" "Virel64"
  DeleteRegValue HKLM "${RUN_KEY}" "Virel32"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  ${If} $RemoveSettings == 1
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Orvane\Virel"
    DeleteRegKey /ifempty HKCU "Software\Orvane"
  ${EndIf}
SectionEnd
