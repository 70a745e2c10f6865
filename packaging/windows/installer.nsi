; SPDX-License-Identifier: GPL-3.0-or-later
; Tailorloft's Windows installer: a per-user install that needs no
; administrator, with a Start menu entry, "Open with Tailorloft" for .cmx files
; (never taking over the default program) and an uninstaller registered for
; the user. Installing over an older version runs that version's uninstaller
; first, so no file of it stays behind. The one setting the program keeps
; (HKCU\Software\Tailorloft) stays after an uninstall, as the user's own.
;
; Nothing is touched while Tailorloft runs from the installed folder or the
; chosen one: the installer asks to close it (Retry / Cancel), and a silent
; run (/S) ends at once with exit code 2. Every file is checked as it is
; written; one that cannot be written ends the run with exit code 2 too,
; after taking out what this run had put in. Exit code 0 means every file
; is in place.
;
;   makensis -DVERSION=1.0.0 -DSTAGE=<folder to install> -DOUTFILE=<setup.exe> installer.nsi
;
; STAGE holds files.nsh (SetOutPath and PutFile lines for exactly the staged
; files), uninstall-files.nsh and uninstall-folders.nsh (their Delete and
; RMDir lines), held.nsh (see common.nsh) and uninstall.exe, made from
; uninstaller.nsi; scripts/windows-package.sh writes them.

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
!include "${__FILEDIR__}\common.nsh"
!define MUI_ICON "${__FILEDIR__}\tailorloft.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\tailorloft.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${APP}"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_LANGUAGE "English"

; Writes one file, checked: one that cannot be written is asked about
; (Retry / Cancel); a silent run, or Cancel, takes out what this run wrote
; and fails.
!macro PutFile SOURCE NAME
  ${Do}
    ClearErrors
    File "${SOURCE}"
    ${IfNot} ${Errors}
      ${Break}
    ${EndIf}
    ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONSTOP "Could not write $OUTDIR\${NAME}.$\r$\n$\r$\nClose the program that uses it, then choose Retry." /SD IDCANCEL IDRETRY`
      StrCpy $R0 "Could not write $OUTDIR\${NAME}. Tailorloft was not installed."
      Call FailAndTakeOut
    ${EndIf}
  ${Loop}
!macroend

; The files of this version, wherever this run got to, then Fail.
Function FailAndTakeOut
  !include "${STAGE}\uninstall-files.nsh"
  Delete "$INSTDIR\uninstall.exe"
  !include "${STAGE}\uninstall-folders.nsh"
  RMDir "$INSTDIR"
  Call Fail
FunctionEnd

; Asked before any page, so a running Tailorloft is named at once. The
; section asks again, for the folder finally chosen.
Function .onInit
  ReadRegStr $R9 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R9 != ""
    Call WaitUntilNotRunning
  ${EndIf}
  StrCpy $R9 $INSTDIR
  Call WaitUntilNotRunning
FunctionEnd

Section "Install"
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
    StrCpy $R9 $0
    Call WaitUntilNotRunning
  ${EndIf}
  StrCpy $R9 $INSTDIR
  Call WaitUntilNotRunning

  ; An earlier install: its own uninstaller removes exactly the files it put
  ; there, wherever it was installed, before the new files go in. Told it is
  ; an upgrade, it leaves itself and the folder to be removed here. (_?=
  ; keeps an uninstaller of NSIS's own kind in place, so it is waited for.)
  ${If} $0 != ""
  ${AndIf} ${FileExists} "$0\uninstall.exe"
    ClearErrors
    ExecWait '"$0\uninstall.exe" /S /UPGRADE _?=$0' $1
    ${If} ${Errors}
    ${OrIf} $1 <> 0
      StrCpy $R0 "The installed version in $0 could not be removed completely; it stays installed. Close what uses its files, then run the setup again."
      Call Fail
    ${EndIf}
    Delete "$0\uninstall.exe"
    RMDir "$0"
  ${EndIf}

  SetOverwrite try
  SetOutPath "$INSTDIR"
  !include "${STAGE}\files.nsh"
  SetOutPath "$INSTDIR"
  !insertmacro PutFile "${STAGE}\uninstall.exe" "uninstall.exe"

  ClearErrors
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
  ${If} ${Errors}
    StrCpy $R0 "Could not write the Start menu entry or the registry entries of ${APP}."
    Call Fail
  ${EndIf}
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
