; The Windows installer of the client. One script for both builds:
;   makensis -DARCH=x86-unicode|amd64-unicode -DVERSION=v2.6.1.0
;            -DPROGRAM=<quenvale.exe> -DRESOURCES=<build>/resources -DOUTFILE=<setup.exe> quenvale.nsi
; The program finds its skin and sounds beside itself; the pilot's data folder
; (%APPDATA%\Quenvale) belongs to the pilot and is never touched.
; Exit codes: 0 installed, 1 cancelled, 2 the client kept running (silent runs
; give up after five seconds, interactive ones ask).
Unicode true
Target ${ARCH}
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quenvale"

Name "Quenvale ${VERSION}"
OutFile "${OUTFILE}"
!if "${ARCH}" == "amd64-unicode"
InstallDir "$PROGRAMFILES64\Quenvale"
!else
InstallDir "$PROGRAMFILES32\Quenvale"
!endif
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
AutoCloseWindow true
ShowInstDetails nevershow
ShowUninstDetails nevershow

Page directory SkipWhenUpdating
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Var Tries

; An update goes where the last version is, without asking.
Function SkipWhenUpdating
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  StrCmp $0 "" +2
    Abort
FunctionEnd

; The program can be replaced only once it has ended: a running program's
; file cannot be opened for writing. The client that started an update ends
; within a second or two.
!macro WaitForClient un
Function ${un}WaitForClient
  StrCpy $Tries 0
  retry:
    IfFileExists "$INSTDIR\quenvale.exe" 0 done
    ClearErrors
    FileOpen $0 "$INSTDIR\quenvale.exe" a
    IfErrors busy
      FileClose $0
      Goto done
    busy:
    IntOp $Tries $Tries + 1
    IntCmp $Tries 10 0 wait 0
      IfSilent 0 ask
        SetErrorLevel 2
        Quit
      ask:
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Quenvale is still running.$\nClose it and press Retry." IDRETRY again
        SetErrorLevel 2
        Quit
      again:
        StrCpy $Tries 0
    wait:
      Sleep 500
      Goto retry
  done:
FunctionEnd
!macroend
!insertmacro WaitForClient ""
!insertmacro WaitForClient "un."

Section "Quenvale"
  Call WaitForClient
  SetOutPath "$INSTDIR"
  File "/oname=quenvale.exe" "${PROGRAM}"
  File "${RESOURCES}\skin.png"
  File "${RESOURCES}\skin.region"
  File "${RESOURCES}\icon.png"
  SetOutPath "$INSTDIR\sound"
  File /r "${RESOURCES}\sound\*.wav"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\Quenvale"
  CreateShortcut "$SMPROGRAMS\Quenvale\Quenvale.lnk" "$INSTDIR\quenvale.exe"
  ; Out of the program's folder, so that an uninstall right after can remove it.
  SetOutPath "$TEMP"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Quenvale"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Quenvale"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quenvale.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Call un.WaitForClient
  Delete "$INSTDIR\quenvale.exe"
  Delete "$INSTDIR\skin.png"
  Delete "$INSTDIR\skin.region"
  Delete "$INSTDIR\icon.png"
  RMDir /r "$INSTDIR\sound"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  SetShellVarContext all
  Delete "$SMPROGRAMS\Quenvale\Quenvale.lnk"
  RMDir "$SMPROGRAMS\Quenvale"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
