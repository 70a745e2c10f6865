; SPDX-License-Identifier: GPL-3.0-or-later
; Tailorloft's uninstaller, uninstall.exe in the install folder: it removes
; the files the installer put there, the Start menu entry, the "Open with"
; entries and the Apps entry. The user's setting (HKCU\Software\Tailorloft)
; stays.
;
; It is a program of its own rather than NSIS's built-in uninstaller, which
; copies itself to the temporary folder, starts the copy and returns at once,
; so its exit code says nothing. This one runs where it is and says what
; happened: 0 when everything is removed; 2 when nothing was (Tailorloft runs
; from the folder: asked to close it, the user cancelled, or the run was
; silent) or when a file could not be removed (then the Apps entry stays, so
; it can be run again). As a running program cannot remove its own file, a
; copy of it in the temporary folder removes uninstall.exe and the folder
; once it has ended.
;
;   uninstall.exe [/S]               remove Tailorloft (/S: without asking)
;   uninstall.exe /S /UPGRADE        as the installer runs it: uninstall.exe and
;                                    the folder are left to the installer
;   COPY /CLEANUP=PID /D=FOLDER      the copy's part: waits for PID to end
;
;   makensis -DVERSION=1.0.0 -DSTAGE=<folder> -DOUTFILE=<uninstall.exe> uninstaller.nsi
;
; STAGE holds uninstall-files.nsh, uninstall-folders.nsh and held.nsh,
; written by scripts/windows-package.sh.

Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define APP "Tailorloft"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"
!define PROGID "Tailorloft.cmx"

Name "${APP}"
Caption "${APP} Uninstall"
OutFile "${OUTFILE}"
BrandingText "${APP} ${VERSION}"
InstallButtonText "Uninstall"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${APP}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${APP} ${VERSION} uninstaller"
VIAddVersionKey "CompanyName" "Tailorloft developers"
VIAddVersionKey "LegalCopyright" "Tailorloft developers"

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "${__FILEDIR__}\common.nsh"
!define MUI_ICON "${__FILEDIR__}\tailorloft.ico"
!define MUI_WELCOMEPAGE_TITLE "Uninstall ${APP}"
!define MUI_WELCOMEPAGE_TEXT "This removes ${APP} from $INSTDIR, with its Start menu entry and its $\"Open with$\" entry for .cmx files.$\r$\n$\r$\nThe folder the file dialogs start in stays in the registry as your own setting.$\r$\n$\r$\nClick Uninstall to continue."
!define MUI_INSTFILESPAGE_FINISHHEADER_TEXT "Uninstallation Complete"
!define MUI_INSTFILESPAGE_FINISHHEADER_SUBTEXT "${APP} was removed."
!define MUI_INSTFILESPAGE_ABORTHEADER_TEXT "Uninstallation Failed"
!define MUI_INSTFILESPAGE_ABORTHEADER_SUBTEXT "${APP} was not removed completely."

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var upgrade

Function .onInit
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/CLEANUP=" $R1
  ${IfNot} ${Errors}
    Call Cleanup
    Quit
  ${EndIf}
  ; The folder it removes is its own.
  StrCpy $INSTDIR $EXEDIR
  ClearErrors
  ${GetOptions} $R0 "/UPGRADE" $R1
  ${IfNot} ${Errors}
    StrCpy $upgrade 1
  ${EndIf}
  ; Asked before any page, so a running Tailorloft is named at once; the
  ; section asks again right before removing anything.
  StrCpy $R9 $INSTDIR
  Call WaitUntilNotRunning
FunctionEnd

; The copy's part: once the uninstaller $R1 has ended, its file and the
; folder go. Copies left by earlier uninstalls go too; this one stays in the
; temporary folder, as NSIS's own uninstaller's copy does.
Function Cleanup
  System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i $R1) p .R2'
  ${If} $R2 P<> 0
    System::Call 'kernel32::WaitForSingleObject(p R2, i -1) i'
    System::Call 'kernel32::CloseHandle(p R2)'
  ${EndIf}
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$TEMP\Tailorloft-uninstall-*.exe"
FunctionEnd

Section "Remove"
  StrCpy $R9 $INSTDIR
  Call WaitUntilNotRunning

  ; Only the files the installer put there: a user's own files stay, and
  ; keep the folder.
  ClearErrors
  !include "${STAGE}\uninstall-files.nsh"
  ; Written by the program itself after a fatal error.
  Delete "$INSTDIR\errorlog.txt"
  ${If} ${Errors}
    StrCpy $R0 "Some files in $INSTDIR could not be removed. ${APP} stays in the list of apps: close what uses them and uninstall again."
    Call Fail
  ${EndIf}
  !include "${STAGE}\uninstall-folders.nsh"

  Delete "$SMPROGRAMS\${APP}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\Classes\${PROGID}"
  DeleteRegValue HKCU "Software\Classes\.cmx\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty HKCU "Software\Classes\.cmx\OpenWithProgids"
  DeleteRegKey /ifempty HKCU "Software\Classes\.cmx"
  DeleteRegKey HKCU "Software\Classes\Applications\tailorloft.exe"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

  ${If} $upgrade != 1
    System::Call 'kernel32::GetCurrentProcessId() i .R1'
    StrCpy $R0 "$TEMP\Tailorloft-uninstall-$R1.exe"
    CopyFiles /SILENT "$EXEPATH" "$R0"
    Exec '"$R0" /CLEANUP=$R1 /D=$INSTDIR'
  ${EndIf}
SectionEnd
