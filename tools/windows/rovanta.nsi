; The Windows installer: per user, no administrator rights. build.sh defines VERSION, OUTDIR
; (the build folder, with install-files.nsh and uninstall-files.nsh listing the files one by
; one) and ICON.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define NAME "Rovanta+ útnyilvántartó"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Rovanta"

Name "${NAME}"
OutFile "${OUTDIR}\rovanta-${VERSION}-setup.exe"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$LOCALAPPDATA\Programs\Rovanta"
InstallDirRegKey HKCU "${UNINSTKEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

LoadLanguageFile "${NSISDIR}\Contrib\Language files\Hungarian.nlf"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Rovanta"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  !include "${OUTDIR}\install-files.nsh"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; The data stays in the user's own folder (%APPDATA%\Rovanta): an installed program never
  ; keeps it beside itself.
  CreateShortCut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\bin\rovanta.exe" "" "$INSTDIR\bin\rovanta.ico"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayName" "${NAME}"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\bin\rovanta.ico"
  WriteRegStr HKCU "${UNINSTKEY}" "Publisher" "Rovanta+"
  WriteRegStr HKCU "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTKEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTKEY}" "NoRepair" 1
SectionEnd

; Only what was installed goes: the user's data lives elsewhere, and a folder chosen for the
; program that holds other files keeps them.
Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\${NAME}.lnk"
  !include "${OUTDIR}\uninstall-files.nsh"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTKEY}"
SectionEnd
