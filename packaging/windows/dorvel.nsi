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

Name "Dorvel"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Dorvel"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

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
