; The plug-in's installer. It finds the player's folder, puts gen_lum.dll into its Plugins
; folder and registers an uninstaller in the current user's list of installed programs. It never
; writes Plugins\gen_lum.ini, so the user's settings survive an upgrade; the uninstaller keeps
; them too unless asked to remove them. Built by make-installer, once for each target:
;
;   makensis -INPUTCHARSET UTF8 -DVERSION=2.4 -DVERSION4=2.4.0.0 -DTARGET=x86-unicode \
;            -DDLL=.../gen_lum.dll -DOUTFILE=.../setup.exe gen_lum.nsi
;
; Command line of the installer: /S silent, /D=FOLDER the player's folder (last, unquoted),
; /FORCE installs into a folder without winamp.exe. Of the uninstaller: /S silent,
; /REMOVESETTINGS removes the settings file too.
;
; Exit codes: 0 done; 1 cancelled by the user; 2 a file could not be written or removed; 3 the
; player is running (silent mode; in the dialog the installer offers to close it); 4 no player's
; folder (none found and none given, or one without winamp.exe and no /FORCE).

Unicode true
Target ${TARGET}
SetCompressor /SOLID lzma
RequestExecutionLevel highest
ManifestDPIAware true
; A file that cannot be written offers Retry and Abort, never Ignore: silent mode would take
; Ignore and register an installation without its DLL. Abort ends with exit code 2.
AllowSkipFiles off

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define PRODUCT "Winamp Lum Plugin"
!define PLAYER_EXE "winamp.exe"
!define PLAYER_WINDOW_CLASS "Winamp v1.x"
!define PLAYER_REGISTRY_KEY "Software\Winamp"
!define PLAYER_UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Winamp"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\gen_lum"
!define UNINSTALLER "gen_lum-uninstall.exe"
!define EXIT_FAILED 2
!define EXIT_PLAYER_RUNNING 3
!define EXIT_NO_PLAYER_FOLDER 4

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion ${VERSION4}
VIAddVersionKey /LANG=0 ProductName "${PRODUCT}"
VIAddVersionKey /LANG=0 ProductVersion "${VERSION}"
VIAddVersionKey /LANG=0 FileVersion "${VERSION}"
VIAddVersionKey /LANG=0 FileDescription "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=0 CompanyName "the Lum team"
VIAddVersionKey /LANG=0 LegalCopyright "the Lum team"

!define MUI_ABORTWARNING
!define MUI_UNABORTWARNING
!define MUI_DIRECTORYPAGE_TEXT_TOP "$(DirectoryText)"
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "$(DirectoryLabel)"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_COMPONENTSPAGE_TEXT_TOP "$(UninstallChoice)"
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one for systems in neither.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!include "texts.nsh"

Var Force ; 1 with /FORCE: a folder without the player's executable is taken as it is

; The player's folder as the player records it: its own key's default value, else the folder
; of the uninstaller its uninstall entry names (quoted or not). Leaves $INSTDIR as it is when
; neither is there.
Function FindPlayerFolder
    ReadRegStr $0 HKCU "${PLAYER_REGISTRY_KEY}" ""
    ${If} $0 != ""
        StrCpy $INSTDIR $0
        Return
    ${EndIf}
    ReadRegStr $0 HKLM "${PLAYER_UNINSTALL_KEY}" "UninstallString"
    ${If} $0 == ""
        ReadRegStr $0 HKCU "${PLAYER_UNINSTALL_KEY}" "UninstallString"
    ${EndIf}
    ${If} $0 == ""
        Return
    ${EndIf}
    StrCpy $1 $0 1
    ${If} $1 == '"'
        StrCpy $0 $0 "" 1
        StrCpy $2 0
        ${Do}
            StrCpy $1 $0 1 $2
            ${IfThen} $1 == '"' ${|} StrCpy $0 $0 $2 ${|}
            ${IfThen} $1 == '"' ${|} ${ExitDo} ${|}
            ${IfThen} $1 == "" ${|} ${ExitDo} ${|}
            IntOp $2 $2 + 1
        ${Loop}
    ${EndIf}
    ${GetParent} $0 $INSTDIR
FunctionEnd

; Makes sure the player's main window is closed. Silent: ends the program with
; EXIT_PLAYER_RUNNING when it is open. With the dialog: asks to close it, closes it with OK
; (waiting up to 10 s for it to go) and sets the error flag when the user cancels.
!macro ClosePlayerFunction PREFIX
Function ${PREFIX}ClosePlayer
    ClearErrors
    ${Do}
        FindWindow $0 "${PLAYER_WINDOW_CLASS}"
        ${If} $0 = 0
            Return
        ${EndIf}
        ${If} ${Silent}
            SetErrorLevel ${EXIT_PLAYER_RUNNING}
            Quit
        ${EndIf}
        MessageBox MB_OKCANCEL|MB_ICONEXCLAMATION "$(PlayerRunning)" IDOK close
        SetErrors
        Return
    close:
        SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
        ${For} $1 1 100
            FindWindow $0 "${PLAYER_WINDOW_CLASS}"
            ${IfThen} $0 = 0 ${|} ${Break} ${|}
            Sleep 100
        ${Next}
    ${Loop}
FunctionEnd
!macroend
!insertmacro ClosePlayerFunction ""
!insertmacro ClosePlayerFunction "un."

; Replaces the path on the stack by its file's size in KiB, rounded up (without the System
; plug-in, which the archive would otherwise carry for a 64-bit division).
Function SizeInKiB
    Exch $0
    Push $1
    FileOpen $1 $0 r
    FileSeek $1 0 END $0
    FileClose $1
    IntOp $0 $0 + 1023
    IntOp $0 $0 / 1024
    Pop $1
    Exch $0
FunctionEnd

Function .onInit
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/FORCE" $R1
    ${If} ${Errors}
        StrCpy $Force 0
    ${Else}
        StrCpy $Force 1
    ${EndIf}
    ${If} $INSTDIR == ""
        Call FindPlayerFolder
    ${EndIf}
    ${IfNot} ${Silent}
        Return
    ${EndIf}
    ${If} $INSTDIR == ""
        SetErrorLevel ${EXIT_NO_PLAYER_FOLDER}
        Quit
    ${EndIf}
    ${IfNot} ${FileExists} "$INSTDIR\${PLAYER_EXE}"
    ${AndIf} $Force = 0
        SetErrorLevel ${EXIT_NO_PLAYER_FOLDER}
        Quit
    ${EndIf}
    Call ClosePlayer
FunctionEnd

Function DirectoryLeave
    ${IfNot} ${FileExists} "$INSTDIR\${PLAYER_EXE}"
    ${AndIf} $Force = 0
        MessageBox MB_YESNO|MB_ICONEXCLAMATION|MB_DEFBUTTON2 "$(NoPlayerHere)" IDYES +2
        Abort
    ${EndIf}
    Call ClosePlayer
    ${If} ${Errors}
        Abort
    ${EndIf}
FunctionEnd

Section "-Plugin"
    SetOutPath "$INSTDIR\Plugins"
    File "/oname=gen_lum.dll" "${DLL}"
    WriteUninstaller "$INSTDIR\Plugins\${UNINSTALLER}"
    Push "$INSTDIR\Plugins\gen_lum.dll"
    Call SizeInKiB
    Pop $0
    Push "$INSTDIR\Plugins\${UNINSTALLER}"
    Call SizeInKiB
    Pop $1
    IntOp $0 $0 + $1
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "the Lum team"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Plugins\${UNINSTALLER}"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Plugins\${UNINSTALLER}" /S'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The uninstaller runs from the Plugins folder: $INSTDIR is that folder.
Section "un.$(PluginPart)" SecPlugin
    SectionIn RO
    ClearErrors
    Delete "$INSTDIR\gen_lum.dll"
    ${If} ${Errors}
        MessageBox MB_OK|MB_ICONSTOP "$(CannotRemove)" /SD IDOK
        SetErrorLevel ${EXIT_FAILED}
        Abort
    ${EndIf}
SectionEnd

Section /o "un.$(SettingsPart)" SecSettings
    Delete "$INSTDIR\gen_lum.ini"
SectionEnd

Section "-un.Registration"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    Delete "$INSTDIR\${UNINSTALLER}"
SectionEnd

Function un.onInit
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/REMOVESETTINGS" $R1
    ${IfNot} ${Errors}
        SectionSetFlags ${SecSettings} ${SF_SELECTED}
    ${EndIf}
    Call un.ClosePlayer
    ${If} ${Errors}
        SetErrorLevel 1
        Quit
    ${EndIf}
FunctionEnd
