; The Windows installer of Vesperon, built by scripts/package.sh with
; Debian's makensis. It expects on the command line:
;   VERSION  the program's version (x.y.z)
;   STAGE    the folder holding Vesperon.exe (and Localization\, if any) plus
;            the generated files.nsh / unfiles.nsh that list them
;   OUTFILE  where to write the installer
; A 64-bit installer for a 64-bit program: it needs no 32-bit subsystem and
; sees the registry and Program Files as the program does.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!include "LogicLib.nsh"
!include "WinMessages.nsh"

!define PRODUCT "Vesperon"
!define EXE "Vesperon.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vesperon"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "SOFTWARE\Brannock\Vesperon3"
!define MAIN_WINDOW_TITLE "Vesperon 3"
!define TRAY_EXIT_COMMAND 169

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Brannock"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; A running copy holds its file open: ask it to leave through its own tray
; menu's Exit command, as the user would.
!macro CloseRunningProgram
  FindWindow $0 "#32770" "${MAIN_WINDOW_TITLE}"
  ${If} $0 <> 0
    DetailPrint "Closing the running ${PRODUCT}"
    SendMessage $0 ${WM_COMMAND} ${TRAY_EXIT_COMMAND} 0 /TIMEOUT=5000
    Sleep 1000
  ${EndIf}
!macroend

Section "${PRODUCT}"
  SetShellVarContext all
  !insertmacro CloseRunningProgram
  SetOutPath "$INSTDIR"
  !include "${STAGE}/files.nsh"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\${EXE}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\Uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Brannock"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  !insertmacro CloseRunningProgram

  ; The service the program may have registered itself as: stop it, then
  ; remove it. Both fail quietly when there is none.
  nsExec::Exec '"$SYSDIR\sc.exe" stop Vesperon'
  Pop $0
  nsExec::Exec '"$SYSDIR\sc.exe" delete Vesperon'
  Pop $0
  ; Starting with Windows for this user.
  DeleteRegValue HKCU "${RUN_KEY}" "Vesperon"

  ; Only the files this installer put there: language files the user added
  ; stay, and so does a folder that still holds them.
  !include "${STAGE}/unfiles.nsh"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  ; The user's settings and profiles are theirs: asked for, kept when the
  ; uninstaller runs silently.
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "Do you also want to delete your ${PRODUCT} settings and profiles?" /SD IDNO IDNO keep
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "SOFTWARE\Brannock"
  keep:

  ; Last, so that the entry goes only once everything else is done.
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
