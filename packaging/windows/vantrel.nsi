; The Windows installer of Vantrel: a per-user install without administrator rights into
; %LOCALAPPDATA%\Programs\Vantrel, a Start-menu entry with the program's icon, and an
; uninstaller. The Start-menu entry starts vantrel-launcher.exe, which seeds the user's folder
; %APPDATA%\Vantrel with the reference files on first start and starts the program there.
;   makensis -DVERSION=1.5.3 -DSTAGE=folder -DOUTFILE=setup.exe vantrel.nsi
Target amd64-unicode
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user

Name "Vantrel ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Vantrel"
InstallDirRegKey HKCU "Software\Vantrel" "InstallDir"
Icon "${STAGE}/vantrel.ico"
UninstallIcon "${STAGE}/vantrel.ico"
LicenseData "${STAGE}/LICENSE.txt"
ShowInstDetails show

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantrel"

Page license
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Vantrel"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${STAGE}/vantrel.exe"
  File "${STAGE}/vantrel-launcher.exe"
  File "${STAGE}/vantrel-script.exe"
  File "${STAGE}/vantrel-batch.exe"
  File "${STAGE}/vantrel-reference.exe"
  File "${STAGE}/vantrel-schedule.exe"
  File "${STAGE}/README.md"
  File "${STAGE}/LICENSE.txt"
  File "${STAGE}/user-guide.md"
  SetOutPath "$INSTDIR\reference"
  File "${STAGE}/reference/Soil_WRC.csv"
  File "${STAGE}/reference/fao-crop_databse.csv"
  File "${STAGE}/reference/Soil_texture_default.csv"
  File "${STAGE}/reference/crop_coefficients.csv"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\Vantrel.lnk" "$INSTDIR\vantrel-launcher.exe" "" "$INSTDIR\vantrel.exe" 0
  WriteRegStr HKCU "Software\Vantrel" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Vantrel ${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Vantrel developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vantrel.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The user's folder %APPDATA%\Vantrel holds the user's own reference files and trace file:
; the uninstaller leaves it.
Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Vantrel.lnk"
  Delete "$INSTDIR\vantrel.exe"
  Delete "$INSTDIR\vantrel-launcher.exe"
  Delete "$INSTDIR\vantrel-script.exe"
  Delete "$INSTDIR\vantrel-batch.exe"
  Delete "$INSTDIR\vantrel-reference.exe"
  Delete "$INSTDIR\vantrel-schedule.exe"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\user-guide.md"
  Delete "$INSTDIR\reference\Soil_WRC.csv"
  Delete "$INSTDIR\reference\fao-crop_databse.csv"
  Delete "$INSTDIR\reference\Soil_texture_default.csv"
  Delete "$INSTDIR\reference\crop_coefficients.csv"
  RMDir "$INSTDIR\reference"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\Vantrel"
SectionEnd
