; The Windows installer, built by scripts/build-windows.sh with makensis:
;   makensis -DVERSION=1.0 -DVERSION_QUAD=1.0.0.0 -DSTAGE=<unpacked zip folder>
;            -DFILES=<files.nsh> -DICON=<zap207.ico> -DART=<folder>
;            -DOUTFILE=<setup.exe> installer.nsi
; FILES defines the macros InstallFiles and RemoveFiles over every file of the
; game but the record. ART holds the pages' pictures, drawn from the ship by
; make_icons --installer-art: side.bmp (164 x 314) and header.bmp (150 x 57). Installs for the current user only, without
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
!define MUI_WELCOMEFINISHPAGE_BITMAP "${ART}/side.bmp"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${ART}/side.bmp"
!define MUI_HEADERIMAGE
!define MUI_HEADERIMAGE_RIGHT
!define MUI_HEADERIMAGE_BITMAP "${ART}/header.bmp"
!define MUI_HEADERIMAGE_UNBITMAP "${ART}/header.bmp"
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
; What the player keeps, and where, said before and after.
!define KEPT_RECORD "your high score, your best score with the game slowed and the replays of the runs that set them, in $INSTDIR\Assets"
!define KEPT_SETTINGS "your settings, in $APPDATA\${APP}"
!define MUI_UNCONFIRMPAGE_TEXT_TOP "${APP} will be uninstalled from the folder below. Kept for a later install: ${KEPT_RECORD}; ${KEPT_SETTINGS}."
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${APP} has been uninstalled.$\r$\n$\r$\nKept for a later install:$\r$\n- ${KEPT_RECORD}$\r$\n- ${KEPT_SETTINGS}$\r$\n$\r$\nDelete them yourself to start afresh."
!insertmacro MUI_UNPAGE_FINISH
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
  ; directory is the output path at the time it is made. The game's console
  ; starts minimised, so that the game's own window has the keyboard.
  SetOutPath "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\zap207.exe" "" "$INSTDIR\zap207.exe" 0 SW_SHOWMINIMIZED

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\zap207.exe",0'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  ; Started in place (_?=, last and unquoted), so that its status is its own.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" _?=$INSTDIR'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S _?=$INSTDIR'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section /o "Desktop shortcut" SectionDesktop
  SetOutPath "$INSTDIR"
  CreateShortcut "$DESKTOP\${APP}.lnk" "$INSTDIR\zap207.exe" "" "$INSTDIR\zap207.exe" 0 SW_SHOWMINIMIZED
SectionEnd

Function StartGame
  SetOutPath "$INSTDIR"
  ExecShell "" "$INSTDIR\zap207.exe" "" SW_SHOWMINIMIZED
FunctionEnd

; $R0 is "running" while the game runs, else empty. A program that runs
; cannot be opened for writing.
Function un.GameRunning
  StrCpy $R0 ""
  IfFileExists "$INSTDIR\zap207.exe" 0 done
  ClearErrors
  FileOpen $R1 "$INSTDIR\zap207.exe" a
  IfErrors 0 closed
  StrCpy $R0 "running"
  Goto done
  closed:
  FileClose $R1
  done:
FunctionEnd

; An uninstaller cannot remove its own file while it runs. Started in place
; (_?=, as the uninstall entry starts it), it only makes sure the game is
; closed, then hands the work to a copy of itself in the temporary folder (as
; an uninstaller started without _?= does by itself) and ends: its status
; says whether uninstalling went ahead, 2 when the game still runs.
Function un.onInit
  StrCmp "$EXEDIR" "$INSTDIR" 0 done
  check:
  Call un.GameRunning
  StrCmp $R0 "" hand_over
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
    "${APP} is still running. Close the game, then click Retry to uninstall it." \
    /SD IDCANCEL IDRETRY check
  SetErrorLevel 2
  Quit
  hand_over:
  StrCpy $R1 ""
  IfSilent 0 +2
  StrCpy $R1 " /S"
  ClearErrors
  ExecWait '"$EXEPATH"$R1' $R2
  IfErrors 0 +2
  StrCpy $R2 2
  SetErrorLevel $R2
  Quit
  done:
FunctionEnd

; Takes everything the installer put in place but the record, which stays
; with its folder for a later install to find. A running game holds its
; program and libraries, which then cannot be removed: the player is asked to
; close it first. Until every file is gone the uninstaller and its entry stay,
; so that uninstalling can always be finished later.
Section "Uninstall"
  remove:
  Call un.GameRunning
  StrCmp $R0 "" 0 in_use
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
  ; The copy started in place may not have ended yet: its file is freed
  ; within moments.
  StrCpy $R2 0
  remove_uninstaller:
  ClearErrors
  Delete "$INSTDIR\uninstall.exe"
  IfErrors 0 uninstaller_removed
  IntOp $R2 $R2 + 1
  IntCmp $R2 50 uninstaller_removed
  Sleep 100
  Goto remove_uninstaller
  uninstaller_removed:
  Delete "$SMPROGRAMS\${APP}.lnk"
  Delete "$DESKTOP\${APP}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  RMDir "$INSTDIR\Assets"
  RMDir "$INSTDIR"
  DetailPrint "Kept: ${KEPT_RECORD}"
  DetailPrint "Kept: ${KEPT_SETTINGS}"
SectionEnd
