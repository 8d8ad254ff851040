; The Windows installer: dorvel.exe for the user who installs it, a Start
; menu shortcut that starts it in the folder keeping its dorvel.ini, and an
; uninstaller that takes away what was installed and leaves the settings.
;
;   makensis -DSOURCE=<folder with dorvel.exe> -DVERSION=x.y.z -DOUTFILE=<setup.exe> dorvel.nsi

; A 64-bit installer for the 64-bit program.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Dorvel"
; The running program holds this mutex (ui/win32/main.cpp).
!define RUNNING_MUTEX "DorvelRunning"
; The exit code of a silent run that found the program running.
!define EXIT_PROGRAM_RUNNING 3

!include "LogicLib.nsh"
!include "FileFunc.nsh"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Dorvel"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Dorvel installer"
VIAddVersionKey "CompanyName" "dorvel developers"
VIAddVersionKey "LegalCopyright" "dorvel developers"

Name "Dorvel"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Dorvel"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

; Replacing or removing dorvel.exe while it runs fails halfway (and once
; left the "Apps & features" entry gone with the file still there): the
; operator is asked to close it first; a silent run ends with its own code.
!macro WAIT_FOR_PROGRAM_TO_CLOSE un
Function ${un}WaitForProgramToClose
  retry:
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${RUNNING_MUTEX}") p .r0'
  ${If} $0 P<> 0
    System::Call 'kernel32::CloseHandle(p r0)'
    ${If} ${Silent}
      SetErrorLevel ${EXIT_PROGRAM_RUNNING}
      Quit
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Dorvel is running. Close it, then choose Retry." IDRETRY retry
    SetErrorLevel ${EXIT_PROGRAM_RUNNING}
    Quit
  ${EndIf}
FunctionEnd
!macroend
!insertmacro WAIT_FOR_PROGRAM_TO_CLOSE ""
!insertmacro WAIT_FOR_PROGRAM_TO_CLOSE "un."

Function .onInit
  Call WaitForProgramToClose
FunctionEnd

Function un.onInit
  Call un.WaitForProgramToClose
FunctionEnd

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Dorvel"
  SetOutPath "$INSTDIR"
  File "${SOURCE}\dorvel.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The program keeps dorvel.ini in the folder it starts in: the shortcut
  ; starts it in the user's own application-data folder, which is writable.
  CreateDirectory "$APPDATA\Dorvel"
  SetOutPath "$APPDATA\Dorvel"
  CreateDirectory "$SMPROGRAMS\Dorvel"
  CreateShortcut "$SMPROGRAMS\Dorvel\Dorvel.lnk" "$INSTDIR\dorvel.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Dorvel"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "dorvel developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\dorvel.exe",0'
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\Dorvel\Dorvel.lnk"
  RMDir "$SMPROGRAMS\Dorvel"
  Delete "$INSTDIR\dorvel.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; $APPDATA\Dorvel\dorvel.ini is the operator's: window, folders, ticks.
SectionEnd
