; SPDX-License-Identifier: GPL-3.0-or-later
; Tailorloft's Windows installer: a per-user install that needs no
; administrator, with a Start menu entry, "Open with Tailorloft" for .cmx files
; (never taking over the default program) and an uninstaller registered for
; the user. Installing over an older version runs that version's uninstaller
; first, so no file of it stays behind. The one setting the program keeps
; (HKCU\Software\Tailorloft) stays after an uninstall, as the user's own.
;
;   makensis -DVERSION=1.0.0 -DSTAGE=<folder to install> -DOUTFILE=<setup.exe> installer.nsi
;
; STAGE holds files.nsh and uninstall.nsh, the File and Delete lines for
; exactly the staged files, written by scripts/windows-package.sh.

; 64-bit, like the program: it runs on 64-bit Windows 10 and 11 (and on Wine
; without its 32-bit half).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define APP "Tailorloft"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"
!define PROGID "Tailorloft.cmx"

Name "${APP}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${APP}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${APP} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${APP}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${APP} ${VERSION} setup"
VIAddVersionKey "CompanyName" "Tailorloft developers"
VIAddVersionKey "LegalCopyright" "Tailorloft developers"

!include "MUI2.nsh"
!define MUI_ICON "${__FILEDIR__}\tailorloft.ico"
!define MUI_UNICON "${__FILEDIR__}\tailorloft.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\tailorloft.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${APP}"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Install"
  ; An earlier install: its own uninstaller removes exactly the files it put
  ; there, wherever it was installed, before the new files go in.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  StrCmp $0 "" fresh
  IfFileExists "$0\uninstall.exe" 0 fresh
    ExecWait '"$0\uninstall.exe" /S _?=$0'
    Delete "$0\uninstall.exe"
    RMDir "$0"
  fresh:

  SetOutPath "$INSTDIR"
  !include "${STAGE}\files.nsh"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetOutPath "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\tailorloft.exe" "" "$INSTDIR\tailorloft.exe" 0 \
    SW_SHOWNORMAL "" "Make CMX suit files for The Sims"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Tailorloft developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tailorloft.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}

  ; "Open with" for .cmx: offered in the menu, never made the default, since
  ; other programs use .cmx too.
  WriteRegStr HKCU "Software\Classes\${PROGID}" "" "The Sims suit file"
  WriteRegStr HKCU "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\tailorloft.exe,0"
  WriteRegStr HKCU "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\tailorloft.exe" "%1"'
  WriteRegStr HKCU "Software\Classes\.cmx\OpenWithProgids" "${PROGID}" ""
  WriteRegStr HKCU "Software\Classes\Applications\tailorloft.exe" "FriendlyAppName" "${APP}"
  WriteRegStr HKCU "Software\Classes\Applications\tailorloft.exe\SupportedTypes" ".cmx" ""
  WriteRegStr HKCU "Software\Classes\Applications\tailorloft.exe\shell\open\command" "" \
    '"$INSTDIR\tailorloft.exe" "%1"'
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  !include "${STAGE}\uninstall.nsh"
  ; Written by the program itself after a fatal error.
  Delete "$INSTDIR\errorlog.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${APP}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\Classes\${PROGID}"
  DeleteRegValue HKCU "Software\Classes\.cmx\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty HKCU "Software\Classes\.cmx\OpenWithProgids"
  DeleteRegKey /ifempty HKCU "Software\Classes\.cmx"
  DeleteRegKey HKCU "Software\Classes\Applications\tailorloft.exe"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
