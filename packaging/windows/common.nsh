; SPDX-License-Identifier: GPL-3.0-or-later
; What the installer and the uninstaller share: neither touches a file while
; Tailorloft runs from the folder, and both end with a non-zero exit code
; whenever they did not do all they were asked.
;
; STAGE holds held.nsh, a CheckHeld line for each program and DLL the
; installer puts in the folder, written by scripts/windows-package.sh.

!include "LogicLib.nsh"

; The exit code of a run refused (Tailorloft runs, or the user cancelled) or
; failed (a file could not be written or removed).
!define EXIT_FAILED 2

; Shows $R0 (a silent run shows nothing: its exit code tells) and ends the run.
Function Fail
  MessageBox MB_OK|MB_ICONSTOP "$R0" /SD IDOK
  SetErrorLevel ${EXIT_FAILED}
  Abort
FunctionEnd

; Windows lets nobody open a running program's file for writing, nor a DLL
; a running program has loaded: the sharing violation says it is in use.
!macro CheckHeld NAME
  ${If} $R8 == ""
  ${AndIf} ${FileExists} "$R9\${NAME}"
    System::Call 'kernel32::CreateFileW(w "$R9\${NAME}", i 0x40000000, i 0, p 0, i 3, i 0x80, p 0) p .R7 ?e'
    Pop $R6
    ${If} $R7 P= -1
      ${If} $R6 = 32
        StrCpy $R8 "$R9\${NAME}"
      ${EndIf}
    ${Else}
      System::Call 'kernel32::CloseHandle(p R7)'
    ${EndIf}
  ${EndIf}
!macroend

; Sets $R8 to the first program file in the folder $R9 that a running
; program holds, or to "" when none is held.
Function FindHeldFile
  StrCpy $R8 ""
  !include "${STAGE}\held.nsh"
FunctionEnd

; Returns once no running program holds a program file in the folder $R9.
; Until then it asks to close Tailorloft (Retry / Cancel); a silent run, or
; Cancel, fails at once, with nothing changed.
Function WaitUntilNotRunning
  ${Do}
    Call FindHeldFile
    ${If} $R8 == ""
      ${Break}
    ${EndIf}
    ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Tailorloft is running: $R8 is in use.$\r$\n$\r$\nClose Tailorloft, then choose Retry. Cancel stops here and changes nothing." /SD IDCANCEL IDRETRY`
      SetErrorLevel ${EXIT_FAILED}
      Abort
    ${EndIf}
  ${Loop}
FunctionEnd
