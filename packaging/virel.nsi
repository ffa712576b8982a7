; Virel 5.0 setup: installs both builds on 64-bit Windows and the 32-bit pair on 32-bit Windows.
;
;   makensis -DSTAGE=<folder with the programs and manuals> -DOUTFILE=<setup.exe> virel.nsi
;
; A 32-bit installer (it runs on both kinds of Windows) that looks for 64-bit Windows itself;
; -DTARGET_AMD64 makes the same installer a 64-bit program, for tests on machines that run no
; 32-bit code.
; Command line: /S silent (start at sign-in on, nothing started unless it was running before),
; /NOAUTOSTART start at sign-in off, /D=<folder> another folder (not while Virel 5.0 is installed
; in another one: an upgrade stays in its folder). Exit code 0 installed, 2 nothing changed; no
; restart is ever needed. The uninstaller takes /S as well and keeps the user's settings.

Unicode true
!ifdef TARGET_AMD64
  Target amd64-unicode
  !pragma warning disable 6012  ; the branches for 32-bit Windows, never taken there
!endif
ManifestSupportedOS all
ManifestDPIAware true
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
; The TSCII font of the settings window's Tamil captions, for every user.
!define FONTS_KEY "Software\Microsoft\Windows NT\CurrentVersion\Fonts"
!define FONT_FILE "TSCVirel.ttf"
!define FONT_VALUE "TSCVirel (TrueType)"
!define FONT_LICENCE "TSCVirel-Licence.txt"

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
Var WasRunning         ; the builds ended before files were replaced: 1 Virel64, 2 Virel32
Var Started            ; the builds this run started, the same bits
Var CreatedFolder      ; the first folder of $INSTDIR that this run created, or ""
Var Installed          ; the folder of the installation there is, or ""

!define MUI_WELCOMEPAGE_TITLE_3LINES
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipWhenInstalled
!insertmacro MUI_PAGE_DIRECTORY
Page custom StartupPage StartupPageLeave
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE_3LINES
!define MUI_FINISHPAGE_NOREBOOTSUPPORT
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(StartNow)"
!define MUI_FINISHPAGE_RUN_FUNCTION StartInstalledBuilds
!define MUI_FINISHPAGE_SHOWREADME ""
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION OpenManual
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
; in time is terminated. Adds the build's bit to $WasRunning when a copy ran.
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
    ${If} $R1 == 64
      IntOp $WasRunning $WasRunning | 1
    ${Else}
      IntOp $WasRunning $WasRunning | 2
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
  StrCpy $WasRunning 0
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

; Opens a program or document (on the stack) as the user signed in to the desktop: the shell
; (Explorer) starts it. Started by this elevated installer itself, a program would run with the
; administrator's token: in the administrator's account when a standard user typed an
; administrator's password, and above the integrity level of the user's own programs. Without a
; shell (Setup run by a service) nothing is started.
Function OpenAsUser
  Exch $R0
  Push $R1
  FindWindow $R1 "Shell_TrayWnd"
  ${If} $R1 <> 0
    Exec '"$WINDIR\explorer.exe" "$R0"'
  ${EndIf}
  Pop $R1
  Pop $R0
FunctionEnd

; Starts build BITS if it is in the mask $0, not running and not yet started by this run.
!macro START_BUILD BIT BITS TITLE
  IntOp $1 $0 & ${BIT}
  IntOp $2 $Started & ${BIT}
  FindWindow $3 "${WINDOW_CLASS}" "${TITLE}"
  ${If} $1 <> 0
  ${AndIf} $2 == 0
  ${AndIf} $3 == 0
    Push "$INSTDIR\Virel${BITS}.exe"
    Call OpenAsUser
    IntOp $Started $Started | ${BIT}
  ${EndIf}
!macroend

; The builds in the mask $0 that this Windows runs.
Function StartBuilds
  ${IfNot} ${RunningX64}
    IntOp $0 $0 & 2
  ${EndIf}
  !insertmacro START_BUILD 1 64 "${TITLE_64}"
  !insertmacro START_BUILD 2 32 "${TITLE_32}"
FunctionEnd

Function StartInstalledBuilds
  StrCpy $0 3
  Call StartBuilds
FunctionEnd

Function OpenManual
  Push "$INSTDIR\$(ManualFile)"
  Call OpenAsUser
FunctionEnd

; --- the files -------------------------------------------------------------------------------------

; An older copy is moved aside before the new one is written: a running program, or an engine still
; loaded into some process, can be renamed but not overwritten. Each file leaves two entries on the
; stack that say what this run did to it: its name, then "A<where it was set aside>" or "N" (it is
; new). Rollback undoes exactly that when a file cannot be written; Commit drops what was set
; aside when all were written.
!macro SET_ASIDE NAME
  StrCpy $0 "${NAME}"
  Push $0
  Call SetAside
  Pop $1
  StrCmp $1 "" failed
  Push $0
  Push $1
  ClearErrors
!macroend

!macro WRITTEN NAME
  !ifdef FAIL_WRITING
    !if "${NAME}" == "${FAIL_WRITING}"
      SetErrors  ; a test installer that cannot write this file
    !endif
  !endif
  IfErrors failed
!macroend

!macro PUT_FILE NAME
  !insertmacro SET_ASIDE "${NAME}"
  File "${STAGE}\${NAME}"
  !insertmacro WRITTEN "${NAME}"
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
  !insertmacro ${MACRO} "${FONT_LICENCE}"
!macroend

; Takes a file's name; leaves "A<path>" when it moved the file there (<name>.old, or a name of its
; own while an aside of an earlier run is still loaded somewhere), "N" when there was no file, ""
; when the file could not be moved.
Function SetAside
  Exch $R0
  Push $R1
  StrCpy $R1 "N"
  ${If} ${FileExists} "$INSTDIR\$R0"
    StrCpy $R1 "$INSTDIR\$R0.old"
    Delete $R1
    ${If} ${FileExists} $R1
      GetTempFileName $R1 "$INSTDIR"
      Delete $R1
    ${EndIf}
    ClearErrors
    Rename "$INSTDIR\$R0" $R1
    StrCpy $R1 "A$R1"
    ${If} ${Errors}
      StrCpy $R1 ""
    ${EndIf}
  ${EndIf}
  StrCpy $R0 $R1
  Pop $R1
  Exch $R0
FunctionEnd

; Undoes the file entries on the stack down to the mark "|": a file set aside gets its place back,
; a new one goes. $1 becomes the names that could not be put back, each after a line break.
Function Rollback
  StrCpy $1 ""
  ${Do}
    Pop $3
    ${If} $3 == "|"
      ${Break}
    ${EndIf}
    Pop $2
    StrCpy $3 $3 "" 1
    Delete "$INSTDIR\$2"
    ${If} $3 != ""
      Rename $3 "$INSTDIR\$2"
      ${IfNot} ${FileExists} "$INSTDIR\$2"
        StrCpy $1 "$1$\r$\n$2"
      ${EndIf}
    ${ElseIf} ${FileExists} "$INSTDIR\$2"
      StrCpy $1 "$1$\r$\n$2"
    ${EndIf}
  ${Loop}
FunctionEnd

; Takes the file entries off the stack down to the mark; what was set aside is deleted now or,
; where a process still has it loaded, when Windows next starts.
Function Commit
  ${Do}
    Pop $3
    ${If} $3 == "|"
      ${Break}
    ${EndIf}
    Pop $2
    StrCpy $3 $3 "" 1
    ${If} $3 != ""
      Delete /REBOOTOK $3
    ${EndIf}
  ${Loop}
FunctionEnd

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
  Push $0
  StrCpy $0 $INSTDIR
  ${Do}
    RMDir $0
    ${If} $0 == $CreatedFolder
    ${OrIf} $0 == ""
      ${Break}
    ${EndIf}
    ${GetParent} $0 $0
  ${Loop}
  Pop $0
FunctionEnd

; --- install ---------------------------------------------------------------------------------------

Function .onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  !insertmacro MUI_LANGDLL_DISPLAY
  ; An installation is upgraded in its own folder: the Start menu, Run values, font and uninstall
  ; entry are one for the machine, so a second folder would be orphaned. Elsewhere, /D= gives the
  ; folder, or Program Files.
  ReadRegStr $Installed HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $Installed != ""
  ${AndIfNot} ${FileExists} "$Installed\Uninstall.exe"
    StrCpy $Installed ""
  ${EndIf}
  ${If} $INSTDIR == ""
    StrCpy $INSTDIR $Installed
  ${ElseIf} $Installed != ""
  ${AndIf} $INSTDIR != $Installed
    MessageBox MB_OK|MB_ICONSTOP "$(InstalledElsewhere)" /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
  ${If} $INSTDIR == ""
    ${If} ${RunningX64}
      StrCpy $INSTDIR "$PROGRAMFILES64\Orvane\Virel 5.0"
    ${Else}
      StrCpy $INSTDIR "$PROGRAMFILES\Orvane\Virel 5.0"
    ${EndIf}
  ${EndIf}
  ; Start at sign-in: on for a new installation, as it was for an upgrade, off with /NOAUTOSTART.
  StrCpy $StartAtSignIn 1
  ReadRegStr $0 HKLM "${RUN_KEY}" "Virel32"
  ${If} $Installed != ""
  ${AndIf} $0 == ""
    StrCpy $StartAtSignIn 0
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/NOAUTOSTART" $1
  ${IfNot} ${Errors}
    StrCpy $StartAtSignIn 0
  ${EndIf}
FunctionEnd

Function SkipWhenInstalled
  ${If} $Installed != ""
    Abort
  ${EndIf}
FunctionEnd

Function StartupPage
  !insertmacro MUI_HEADER_TEXT "$(StartupTitle)" "$(StartupSubtitle)"
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 52u "$(StartupText)"
  Pop $0
  ${NSD_CreateCheckbox} 0 60u 100% 12u "$(StartAtSignIn)"
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
  StrCpy $Started 0
  SetOutPath "$INSTDIR"
  SetOverwrite try  ; a file that cannot be written fails the run: no question, no abort midway
  Push "|"
  !insertmacro FILE_NAMES PUT_FILE
  !insertmacro SET_ASIDE "Uninstall.exe"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  !insertmacro WRITTEN "Uninstall.exe"
  SetOverwrite on
  Call Commit

  ; The font, unless the user has a font of that name of his own.
  ReadRegStr $1 HKLM "${FONTS_KEY}" "${FONT_VALUE}"
  ${If} $1 == ""
  ${OrIf} $1 == "${FONT_FILE}"
    ; Installed before: let go of it so that it can be replaced; if it is still in use, the one
    ; there stays (the same face).
    System::Call 'gdi32::RemoveFontResource(t "$FONTS\${FONT_FILE}")'
    SetOverwrite try
    File "/oname=$FONTS\${FONT_FILE}" "${STAGE}\${FONT_FILE}"
    SetOverwrite on
    ${If} ${FileExists} "$FONTS\${FONT_FILE}"
      WriteRegStr HKLM "${FONTS_KEY}" "${FONT_VALUE}" "${FONT_FILE}"
      System::Call 'gdi32::AddFontResource(t "$FONTS\${FONT_FILE}")'
      SendMessage ${HWND_BROADCAST} ${WM_FONTCHANGE} 0 0 /TIMEOUT=5000
    ${EndIf}
  ${EndIf}

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
      WriteRegStr HKLM "${RUN_KEY}" "Virel64" '"$INSTDIR\Virel64.exe" /tray'
    ${EndIf}
    WriteRegStr HKLM "${RUN_KEY}" "Virel32" '"$INSTDIR\Virel32.exe" /tray'
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
  StrCpy $0 $WasRunning
  Call StartBuilds

  ; What programs still have loaded goes when Windows next starts; nothing needs a restart now.
  ${If} ${RebootFlag}
    DetailPrint "$(DeletedAtRestart)"
    SetRebootFlag false
  ${EndIf}
  Return

failed:
  ; Back to what was there before this run, as far as this run changed it.
  SetOverwrite on
  Call Rollback
  Call RemoveCreatedFolders
  SetRebootFlag false
  ${If} $1 == ""
    StrCpy $4 "$(CannotWriteFile)"
    StrCpy $0 $WasRunning
    Call StartBuilds
  ${Else}
    StrCpy $4 "$(CannotRestore)"
  ${EndIf}
  MessageBox MB_OK|MB_ICONSTOP "$4" /SD IDOK
  DetailPrint "$4"
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
  !insertmacro ${MACRO} "${FONT_LICENCE}"
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
  ReadRegStr $1 HKLM "${FONTS_KEY}" "${FONT_VALUE}"
  ${If} $1 == "${FONT_FILE}"
    System::Call 'gdi32::RemoveFontResource(t "$FONTS\${FONT_FILE}")'
    Delete /REBOOTOK "$FONTS\${FONT_FILE}"
    DeleteRegValue HKLM "${FONTS_KEY}" "${FONT_VALUE}"
    SendMessage ${HWND_BROADCAST} ${WM_FONTCHANGE} 0 0 /TIMEOUT=5000
  ${EndIf}

  ${If} $RemoveSettings == 1
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Orvane\Virel"
    DeleteRegKey /ifempty HKCU "Software\Orvane"
  ${EndIf}
SectionEnd
