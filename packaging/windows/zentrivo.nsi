; The Windows installer: the program's folder under Program Files, a Start
; menu entry, and an uninstaller that Windows lists under installed apps.
; Made by scripts/windows-package, which passes VERSION, SOURCE (the
; program's folder) and OUTFILE.
; A 64-bit installer for a 64-bit program (and for Wine without its 32-bit
; half).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"

!define APP "Zentrivo"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${APP}"
InstallDirRegKey HKLM "Software\${APP}" "InstallDir"

!define MUI_ICON "${SOURCE}\zentrivo.ico"
!define MUI_UNICON "${SOURCE}\zentrivo.ico"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\zentrivo.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
    SetRegView 64
FunctionEnd

Section "Install"
    SetOutPath "$INSTDIR"
    ; Settings and run logs live in the user's folders, never here, so an
    ; update replaces every file without touching them.
    File /r "${SOURCE}\*.*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    SetShellVarContext all
    CreateShortCut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\zentrivo.exe"
    WriteRegStr HKLM "Software\${APP}" "InstallDir" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zentrivo.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Zentrivo"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\${APP}.lnk"
    ; Only what the installer put there: a user's own files in the folder stay.
    !include "${FILELIST}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "Software\${APP}"
SectionEnd
