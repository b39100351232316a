; The Windows installer, built by scripts/build-windows.sh with makensis:
;   makensis -DVERSION=1.0 -DVERSION_QUAD=1.0.0.0 -DSTAGE=<unpacked zip folder>
;            -DFILES=<files.nsh> -DICON=<zap207.ico> -DOUTFILE=<setup.exe> installer.nsi
; FILES defines the macros InstallFiles and RemoveFiles over every file of the
; game but the record. Installs for the current user only, without
; administrator rights, into the user's own programs folder, where the record
; beside the game stays writable. /S installs and uninstalls silently.
; A 64-bit installer for a 64-bit game: it runs wherever the game does, and
; under Wine without 32-bit support.
Target amd64-unicode
ManifestDPIAware true
ManifestSupportedOS all
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define APP "ZAP207"
!define PUBLISHER "The ZAP207 developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"

Name "${APP}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${APP}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${APP} ${VERSION}"

VIProductVersion "${VERSION_QUAD}"
VIAddVersionKey "ProductName" "${APP}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${APP} ${VERSION} setup"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}. MIT License."

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Play ${APP} now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartGame

; The licence asks nothing of a player, so its page informs and does not ask to agree.
!define MUI_PAGE_HEADER_TEXT "Licence"
!define MUI_PAGE_HEADER_SUBTEXT "ZAP207 is free software."
!define MUI_LICENSEPAGE_TEXT_TOP "The game's licence (its font has its own, in Assets\FONT-LICENSE.txt):"
!define MUI_LICENSEPAGE_TEXT_BOTTOM "The licences matter only if you pass the game on or change it. Click Next to continue."
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

!include "${FILES}"

Section "${APP}" SectionGame
  SectionIn RO
  !insertmacro InstallFiles
  ; The record is the player's: a first install starts it at 0, a reinstall or
  ; an upgrade leaves the one in place alone.
  SetOutPath "$INSTDIR\Assets"
  SetOverwrite off
  File "${STAGE}/Assets/highscore.txt"
  SetOverwrite on

  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; The game reads Assets in the directory it starts in: a shortcut's working
  ; directory is the output path at the time it is made.
  SetOutPath "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\zap207.exe" "" "$INSTDIR\zap207.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\zap207.exe",0'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section /o "Desktop shortcut" SectionDesktop
  SetOutPath "$INSTDIR"
  CreateShortcut "$DESKTOP\${APP}.lnk" "$INSTDIR\zap207.exe" "" "$INSTDIR\zap207.exe" 0
SectionEnd

Function StartGame
  SetOutPath "$INSTDIR"
  Exec '"$INSTDIR\zap207.exe"'
FunctionEnd

; Takes everything the installer put in place but the record, which stays
; with its folder for a later install to find. A running game holds its
; program and libraries, which then cannot be removed: the player is asked to
; close it first. Until every file is gone the uninstaller and its entry stay,
; so that uninstalling can always be finished later.
Section "Uninstall"
  remove:
  ; A program that runs cannot be opened for writing.
  IfFileExists "$INSTDIR\zap207.exe" 0 unused
  ClearErrors
  FileOpen $0 "$INSTDIR\zap207.exe" a
  IfErrors in_use
  FileClose $0
  unused:
  ClearErrors
  !insertmacro RemoveFiles
  IfErrors 0 removed
  in_use:
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
    "${APP} is still running. Close the game, then click Retry to finish uninstalling." \
    /SD IDCANCEL IDRETRY remove
  SetErrorLevel 2
  Abort "${APP} is still running: close it and uninstall again."
  removed:
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\${APP}.lnk"
  Delete "$DESKTOP\${APP}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  RMDir "$INSTDIR\Assets"
  RMDir "$INSTDIR"
SectionEnd
