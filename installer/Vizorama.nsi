; The setup program, in two parts, either or both:
;   For Winamp   the plug-in into the player's folder (Plugins\vis_vzrm.dll and
;                Plugins\vis_vzrm\...), optionally made the player's current visualisation;
;   On its own   vizorama.exe with our assets into the 64-bit Program Files\Vizorama, with a
;                Start-menu shortcut for all users (64-bit Windows only: the program is 64-bit).
; One entry in the programs list and one uninstaller for whatever parts are installed; it stands
; in Program Files\Vizorama when the program is installed, else in the plug-in's folder.
;
; Built by scripts/package.sh, which passes:
;   VERSION           product version, e.g. 1.51
;   ARCH              x86 (the shipped setup, like the player) or amd64 (for test machines that
;                     cannot run 32-bit code)
;   OUTFILE           the setup program to write
;   FILES, UNFILES    include files of SetOutPath/File lines for the plug-in's tree (below
;                     $INSTDIR, the player's folder), and of Delete/RMDir lines removing exactly
;                     those files and folders
;   PROGRAM_FILES, PROGRAM_UNFILES   the same for the program's tree (below $ProgramDir)
;   PLUGIN_SIZE_KB, PROGRAM_SIZE_KB  the parts' installed sizes, for the programs list
;
; Command line: /S silent; /PARTS=plugin, /PARTS=program or /PARTS=plugin,program the parts to
; install (without it: the plug-in where a player is found or /D= names its folder, else the
; program on 64-bit Windows); /D=folder the player's folder (last, unquoted); /MAKECURRENT also
; make Vizorama the player's current visualisation. A part that cannot be installed here ends
; setup with exit code 2. The uninstaller takes /S and /PURGE (also remove the user's settings,
; models, skyboxes and looks: the plug-in's folder and %APPDATA%\Vizorama).

Unicode true
Target ${ARCH}-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WordFunc.nsh
!include Sections.nsh
!include WinVer.nsh
!include x64.nsh
!if ${ARCH} == amd64
  ; ${RunningX64} is known to hold when compiling for x86-64: its "else" labels go unused.
  !pragma warning disable 6012
!endif

!define PRODUCT "Vizorama"
!define OLDEST_WINDOWS "Windows Vista"
!define OLDEST_WINDOWS_TEST AtLeastWinVista  ; the WinVer.nsh test for it
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vizorama"
!define PLAYER_UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Winamp"
!define UNINSTALLER "Uninstall Vizorama.exe"
!define PLUGIN_FOLDER "Plugins\vis_vzrm"
!define SHORTCUT "${PRODUCT}.lnk"  ; in the Start menu's programs, for all users

; The program's folder (Program Files\Vizorama, or wherever the uninstaller stands), and in the
; uninstaller the parts it removes (1 or 0).
Var ProgramDir
Var HasPlugin
Var HasProgram
; The components page's last selection, to see which box changed.
Var PluginWasSelected
Var MakeCurrentWasSelected
Var ComponentsText  ; above the components, for 64-bit or 32-bit Windows

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "LegalCopyright" "The Vizorama developers"

;--------------------------------------------------------------------------------------------
; Pages

!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_SMALLDESC
!define MUI_WELCOMEPAGE_TEXT "Setup will install ${PRODUCT} ${VERSION}, a 3D music visualisation, as a program of its own (on 64-bit Windows), as a plug-in for Winamp or another player that runs Winamp visualisation plug-ins, or as both.$\r$\n$\r$\nIt needs ${OLDEST_WINDOWS} or later, with OpenGL."
!insertmacro MUI_PAGE_WELCOME

!define MUI_COMPONENTSPAGE_TEXT_TOP $ComponentsText
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckChosenParts
!insertmacro MUI_PAGE_COMPONENTS

; The player's folder: only asked for when the plug-in is chosen.
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipUnlessPlugin
!define MUI_DIRECTORYPAGE_TEXT_TOP "Choose the folder of your Winamp installation, the folder that holds Winamp.exe. Vizorama goes into its Plugins folder."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Winamp folder"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckPlayerFolder
!insertmacro MUI_PAGE_DIRECTORY

!insertmacro MUI_PAGE_INSTFILES

; The readme is the plug-in's: offered only when the plug-in was installed.
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\${PLUGIN_FOLDER}\Readme.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!define MUI_PAGE_CUSTOMFUNCTION_SHOW ShowReadmeOnlyWithPlugin
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

;--------------------------------------------------------------------------------------------
; The registry

; The programs-list entry lives in the system's own view: the 64-bit one on 64-bit Windows,
; where a 32-bit setup's writes would otherwise land below WOW6432Node.
!macro OurRegView
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
!macroend

;--------------------------------------------------------------------------------------------
; Finding the player

; Top of stack: a folder or a path of an executable, possibly quoted; returns the folder.
Function FolderOfCommand
  Exch $0
  Push $1
  StrCpy $1 $0 1
  ${If} $1 == '"'
    StrCpy $0 $0 "" 1
    ${WordFind} $0 '"' "+1" $0
  ${EndIf}
  ${GetFileExt} $0 $1
  ${If} $1 == "exe"
    ${GetParent} $0 $0
  ${EndIf}
  Pop $1
  Exch $0
FunctionEnd

; Sets $INSTDIR to the player's folder: the player's own registry entries (current user, then
; the machine), then the usual program folders; the first that holds Winamp.exe wins. Without
; one, the first folder the registry names, or Program Files\Winamp. Returns on the stack 1 when
; a folder holds Winamp.exe, else 0.
Function FindPlayerFolder
  Push $0
  Push $1
  Push $2
  StrCpy $1 ""  ; the folder found
  StrCpy $2 ""  ; the first folder the registry names, should none hold Winamp.exe
  ; The player is a 32-bit program: its entries are in the 32-bit view.
  ${If} ${RunningX64}
    SetRegView 32
  ${EndIf}
  ${ForEach} $R0 0 3 + 1
    ${Select} $R0
      ${Case} 0
        ReadRegStr $0 HKCU "Software\Winamp" ""
      ${Case} 1
        ReadRegStr $0 HKLM "Software\Winamp" ""
      ${Case} 2
        ReadRegStr $0 HKCU "${PLAYER_UNINSTALL_KEY}" "UninstallString"
      ${Case} 3
        ReadRegStr $0 HKLM "${PLAYER_UNINSTALL_KEY}" "UninstallString"
    ${EndSelect}
    ${If} $0 != ""
      Push $0
      Call FolderOfCommand
      Pop $0
      ${If} ${FileExists} "$0\Winamp.exe"
        StrCpy $1 $0
        ${Break}
      ${EndIf}
      ${If} $2 == ""
        StrCpy $2 $0
      ${EndIf}
    ${EndIf}
  ${Next}
  !insertmacro OurRegView
  StrCpy $0 1
  ${If} $1 == ""
    ${If} ${FileExists} "$PROGRAMFILES\Winamp\Winamp.exe"
      StrCpy $1 "$PROGRAMFILES\Winamp"
    ${ElseIf} ${FileExists} "$PROGRAMFILES32\Winamp\Winamp.exe"
      StrCpy $1 "$PROGRAMFILES32\Winamp"
    ${ElseIf} ${FileExists} "$PROGRAMFILES64\Winamp\Winamp.exe"
      StrCpy $1 "$PROGRAMFILES64\Winamp"
    ${ElseIf} $2 != ""
      StrCpy $1 $2
      StrCpy $0 0
    ${Else}
      StrCpy $1 "$PROGRAMFILES32\Winamp"
      StrCpy $0 0
    ${EndIf}
  ${EndIf}
  StrCpy $INSTDIR $1
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

Function CheckPlayerFolder
  ${IfNot} ${FileExists} "$INSTDIR\Winamp.exe"
    MessageBox MB_YESNO|MB_ICONEXCLAMATION "There is no Winamp.exe in$\r$\n$INSTDIR.$\r$\n$\r$\nVizorama finds its files only below the player's own folder. Install here anyway?" /SD IDYES IDYES +2
    Abort
  ${EndIf}
FunctionEnd

!macro WarnIfPlayerRuns
  FindWindow $0 "Winamp v1.x"
  ${If} $0 <> 0
    MessageBox MB_OKCANCEL|MB_ICONINFORMATION "Winamp is running. Please close it first, then press OK." /SD IDOK IDOK +2
    Quit
  ${EndIf}
!macroend

; A running program's file cannot be replaced or removed.
!macro WarnIfProgramRuns
  FindWindow $0 "Vizorama program"
  ${If} $0 <> 0
    MessageBox MB_OKCANCEL|MB_ICONINFORMATION "Vizorama is running. Please close it first, then press OK." /SD IDOK IDOK +2
    Quit
  ${EndIf}
!macroend

;--------------------------------------------------------------------------------------------
; The player's settings file (winamp.ini)

Var IniLine
Var IniSection
Var IniNameDone
Var IniNumDone
Var IniSawSection
Var IniWholeLine
Var IniBlankLines
Var IniNameMode
Var IniNameValue
Var IniNumMode
Var IniNumValue

; The functions below, for the installer and (with the prefix "un.") for the uninstaller.
!macro PlayerIniFunctions un

; Returns the player's winamp.ini: its folder, unless the folder's paths.ini moves the settings
; elsewhere (inidir, possibly starting with a shell folder number such as {26}).
Function ${un}PlayerIniFile
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  StrCpy $0 "$INSTDIR\winamp.ini"
  ReadINIStr $1 "$INSTDIR\paths.ini" "Winamp" "inidir"
  ${If} $1 != ""
    StrCpy $2 $1 1
    ${If} $2 == "{"
      ${WordFind} $1 "}" "+1{" $2
      StrCpy $2 $2 "" 1                   ; the shell folder number
      ${WordFind} $1 "}" "+1}" $1         ; the rest of the path after the number
      System::Call 'shell32::SHGetSpecialFolderPath(p 0, t .r3, i r2, i 1) i .r4'
      ${If} $4 <> 0
        StrCpy $1 "$3$1"
      ${Else}
        StrCpy $1 ""
      ${EndIf}
    ${EndIf}
    ${If} $1 != ""
    ${AndIf} ${FileExists} "$1\*.*"
      StrCpy $0 "$1\winamp.ini"
    ${EndIf}
  ${EndIf}
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Sets the two keys of the [Winamp] section of the player's winamp.ini that name its
; visualisation, and leaves every other line exactly as it was: the file is copied line by line,
; the two lines (if present) are replaced or dropped, missing ones are added after the section's
; last line (before the blank lines that part it from the next), and the copy replaces the file.
; Each key has a mode: "write" (the value in IniNameValue / IniNumValue), "drop" (the line goes)
; or "keep" (the line stays as it is).
Function ${un}WriteVisualisationKeys
  Call ${un}PlayerIniFile
  Pop $R9
  StrCpy $IniSection ""
  StrCpy $IniNameDone 0
  StrCpy $IniNumDone 0
  StrCpy $IniSawSection 0
  StrCpy $IniWholeLine 1
  StrCpy $IniBlankLines ""
  ClearErrors
  FileOpen $R1 "$R9.vzrm-new" w
  ${If} ${Errors}
    DetailPrint "Cannot write beside $R9: the visualisation was not changed."
    Return
  ${EndIf}
  ClearErrors
  FileOpen $R0 $R9 r
  ${IfNot} ${Errors}
    ${Do}
      ClearErrors
      FileRead $R0 $IniLine
      ${If} ${Errors}
        ${ExitDo}
      ${EndIf}
      ${If} $IniWholeLine == 1
        Call ${un}IniClassifyLine
      ${Else}
        StrCpy $R2 "copy"  ; the rest of a line longer than one read
      ${EndIf}
      ; Remember whether this read ended its line.
      StrCpy $R3 $IniLine 1 -1
      ${If} $R3 == "$\n"
        StrCpy $IniWholeLine 1
      ${Else}
        StrCpy $IniWholeLine 0
      ${EndIf}
      ${If} $R2 == "blank"
      ${AndIf} $IniSection == "Winamp"
        ; Held back: keys added at the end of the section go before them.
        StrLen $R3 $IniBlankLines
        ${If} $R3 > 512
          Call ${un}IniFlushBlankLines
        ${EndIf}
        StrCpy $IniBlankLines "$IniBlankLines$IniLine"
        ${Continue}
      ${EndIf}
      ${If} $R2 == "header"
      ${AndIf} $IniSection == "Winamp"
        Call ${un}IniAddMissingKeys
      ${EndIf}
      Call ${un}IniFlushBlankLines
      ${If} $R2 == "header"
        StrCpy $IniSection $R4
        ${If} $IniSection == "Winamp"
          StrCpy $IniSawSection 1
        ${EndIf}
        FileWrite $R1 $IniLine
      ${ElseIf} $R2 == "visplugin_name"
        ${If} $IniNameMode == "write"
          FileWrite $R1 "visplugin_name=$IniNameValue$R5"
        ${ElseIf} $IniNameMode == "keep"
          FileWrite $R1 $IniLine
        ${EndIf}
        StrCpy $IniNameDone 1
      ${ElseIf} $R2 == "visplugin_num"
        ${If} $IniNumMode == "write"
          FileWrite $R1 "visplugin_num=$IniNumValue$R5"
        ${ElseIf} $IniNumMode == "keep"
          FileWrite $R1 $IniLine
        ${EndIf}
        StrCpy $IniNumDone 1
      ${Else}
        FileWrite $R1 $IniLine
      ${EndIf}
    ${Loop}
    FileClose $R0
  ${EndIf}
  ${If} $IniSawSection == 0
  ${AndIf} "$IniNameMode$IniNumMode" != "dropdrop"
    Call ${un}IniEndLastLine
    FileWrite $R1 "[Winamp]$\r$\n"
  ${EndIf}
  Call ${un}IniAddMissingKeys
  Call ${un}IniFlushBlankLines
  FileClose $R1
  ; MOVEFILE_REPLACE_EXISTING: the finished copy takes the place of the file in one step.
  System::Call 'kernel32::MoveFileEx(t "$R9.vzrm-new", t "$R9", i 1) i .r0'
  ${If} $0 == 0
    Delete "$R9.vzrm-new"
    DetailPrint "Cannot replace $R9: the visualisation was not changed."
  ${EndIf}
FunctionEnd

; Before text is added after the file's last line: end that line if it has no line break.
Function ${un}IniEndLastLine
  ${If} $IniWholeLine == 0
    FileWrite $R1 "$\r$\n"
    StrCpy $IniWholeLine 1
  ${EndIf}
FunctionEnd

Function ${un}IniFlushBlankLines
  FileWrite $R1 $IniBlankLines
  StrCpy $IniBlankLines ""
FunctionEnd

Function ${un}IniAddMissingKeys
  ${If} $IniNameDone == 0
  ${AndIf} $IniNameMode == "write"
    Call ${un}IniEndLastLine
    FileWrite $R1 "visplugin_name=$IniNameValue$\r$\n"
  ${EndIf}
  StrCpy $IniNameDone 1
  ${If} $IniNumDone == 0
  ${AndIf} $IniNumMode == "write"
    Call ${un}IniEndLastLine
    FileWrite $R1 "visplugin_num=$IniNumValue$\r$\n"
  ${EndIf}
  StrCpy $IniNumDone 1
FunctionEnd

; Classifies $IniLine: $R2 = "header" (section name in $R4), "blank", "visplugin_name" or
; "visplugin_num" (a key of the [Winamp] section; its line ending in $R5), or "copy".
Function ${un}IniClassifyLine
  StrCpy $R2 "copy"
  ; The line's ending ("\r\n", "\n" or none) and its text without it.
  StrCpy $R5 ""
  StrCpy $R6 $IniLine
  StrCpy $R3 $R6 1 -1
  ${If} $R3 == "$\n"
    StrCpy $R6 $R6 -1
    StrCpy $R5 "$\n"
    StrCpy $R3 $R6 1 -1
    ${If} $R3 == "$\r"
      StrCpy $R6 $R6 -1
      StrCpy $R5 "$\r$\n"
    ${EndIf}
  ${EndIf}
  ; Skip leading blanks and tabs.
  ${Do}
    StrCpy $R3 $R6 1
    ${If} $R3 == " "
    ${OrIf} $R3 == "$\t"
      StrCpy $R6 $R6 "" 1
    ${Else}
      ${ExitDo}
    ${EndIf}
  ${Loop}
  ${If} $R6 == ""
    StrCpy $R2 "blank"
    Return
  ${EndIf}
  StrCpy $R3 $R6 1
  ${If} $R3 == "["
    StrCpy $R2 "header"
    ${WordFind} $R6 "]" "+1{" $R4
    StrCpy $R4 $R4 "" 1
    Return
  ${EndIf}
  ${If} $IniSection != "Winamp"
    Return
  ${EndIf}
  ; The key: the text before "=", without trailing blanks (compared without regard to case,
  ; as the profile functions do).
  ${WordFind} $R6 "=" "E+1{" $R4
  ${If} ${Errors}
    Return
  ${EndIf}
  ${Do}
    StrCpy $R3 $R4 1 -1
    ${If} $R3 == " "
    ${OrIf} $R3 == "$\t"
      StrCpy $R4 $R4 -1
    ${Else}
      ${ExitDo}
    ${EndIf}
  ${Loop}
  ${If} $R4 == "visplugin_name"
  ${OrIf} $R4 == "visplugin_num"
    StrCpy $R2 $R4
  ${EndIf}
FunctionEnd
!macroend
!insertmacro PlayerIniFunctions ""
!insertmacro PlayerIniFunctions "un."

; What setup remembers of the player's visualisation before it made Vizorama the current one,
; beside the uninstaller, so that uninstalling can give it back.
!define PREVIOUS_VIS "$INSTDIR\${PLUGIN_FOLDER}\Previous visualisation.ini"

Function MakeCurrentVisualisation
  Call PlayerIniFile
  Pop $R9
  ; Remember the keys as they are, unless they already name Vizorama (from an earlier setup,
  ; which remembered what came before it).
  ReadINIStr $1 $R9 "Winamp" "visplugin_name"
  ${If} $1 != "vis_vzrm.dll"
    Delete "${PREVIOUS_VIS}"
    ClearErrors
    ReadINIStr $1 $R9 "Winamp" "visplugin_name"
    ${IfNot} ${Errors}
      WriteINIStr "${PREVIOUS_VIS}" "Winamp" "visplugin_name" $1
    ${EndIf}
    ClearErrors
    ReadINIStr $1 $R9 "Winamp" "visplugin_num"
    ${IfNot} ${Errors}
      WriteINIStr "${PREVIOUS_VIS}" "Winamp" "visplugin_num" $1
    ${EndIf}
    WriteINIStr "${PREVIOUS_VIS}" "Vizorama" "remembered" "1"
  ${EndIf}
  DetailPrint "Making Vizorama the current visualisation in $R9"
  StrCpy $IniNameMode "write"
  StrCpy $IniNameValue "vis_vzrm.dll"
  StrCpy $IniNumMode "write"
  StrCpy $IniNumValue "0"
  Call WriteVisualisationKeys
FunctionEnd

; When the player's visualisation is still Vizorama, gives it back the one it had before setup
; made Vizorama current: a key that was absent then is removed; without a memory of it (setup
; did not make Vizorama current) the player is left with no visualisation named.
Function un.RestorePreviousVisualisation
  Call un.PlayerIniFile
  Pop $R9
  ReadINIStr $1 $R9 "Winamp" "visplugin_name"
  ${If} $1 != "vis_vzrm.dll"
    Return
  ${EndIf}
  StrCpy $IniNameMode "drop"
  StrCpy $IniNumMode "drop"
  ReadINIStr $1 "${PREVIOUS_VIS}" "Vizorama" "remembered"
  ${If} $1 != "1"
    StrCpy $IniNumMode "keep"
  ${EndIf}
  ClearErrors
  ReadINIStr $IniNameValue "${PREVIOUS_VIS}" "Winamp" "visplugin_name"
  ${IfNot} ${Errors}
    StrCpy $IniNameMode "write"
  ${EndIf}
  ClearErrors
  ReadINIStr $IniNumValue "${PREVIOUS_VIS}" "Winamp" "visplugin_num"
  ${IfNot} ${Errors}
    StrCpy $IniNumMode "write"
  ${EndIf}
  DetailPrint "Giving the player back its visualisation in $R9"
  Call un.WriteVisualisationKeys
FunctionEnd

;--------------------------------------------------------------------------------------------
; Installer

Section "On its own" SecProgram
  ; $PROGRAMFILES64 names the 64-bit Program Files also to this 32-bit setup; files there are not
  ; redirected (WOW64 redirects only the system folder), so no redirection needs turning off.
  ; The program keeps the user's settings and additions in %APPDATA%\Vizorama, never here.
  !include "${PROGRAM_FILES}"
  SetOutPath "$ProgramDir"
  SetShellVarContext all
  CreateShortCut "$SMPROGRAMS\${SHORTCUT}" "$ProgramDir\vizorama.exe" "" "$ProgramDir\vizorama.exe" 0 \
    SW_SHOWNORMAL "" "A 3D music visualisation of what the computer plays"
  SetShellVarContext current
SectionEnd

Section "For Winamp" SecPlugin
  ${IfNot} ${FileExists} "$INSTDIR\Winamp.exe"
    DetailPrint "Note: there is no Winamp.exe in $INSTDIR."
  ${EndIf}
  ; The settings file is never part of the package: a user's settings survive an update, and
  ; the plug-in writes its defaults on its first start.
  !include "${FILES}"
SectionEnd

Section /o "Make it Winamp's visualisation" SecMakeCurrent
  ${If} ${SectionIsSelected} ${SecPlugin}
    Call MakeCurrentVisualisation
  ${EndIf}
SectionEnd

; One uninstaller and one programs-list entry for the parts installed now and those an earlier
; setup installed (still in place): the uninstaller in the program's folder when the program is
; installed, else in the plug-in's folder; the entry records the parts and the player's folder.
Section "-Register"
  Call FindEarlierParts
  Pop $1  ; the player's folder of an earlier setup's plug-in, or ""
  Pop $0  ; its parts
  StrCpy $HasPlugin 0
  StrCpy $HasProgram 0
  ${If} ${SectionIsSelected} ${SecPlugin}
    StrCpy $HasPlugin 1
    StrCpy $1 $INSTDIR
  ${ElseIf} $1 != ""
    StrCpy $HasPlugin 1
  ${EndIf}
  ${If} ${SectionIsSelected} ${SecProgram}
  ${OrIf} $0 == "program"
  ${OrIf} $0 == "plugin,program"
    StrCpy $HasProgram 1
  ${EndIf}

  StrCpy $2 0   ; installed size (KB)
  StrCpy $3 ""  ; parts
  ${If} $HasPlugin == 1
    IntOp $2 $2 + ${PLUGIN_SIZE_KB}
    StrCpy $3 "plugin"
    StrCpy $4 "$1\${PLUGIN_FOLDER}\${UNINSTALLER}"
    StrCpy $5 "$1"
    StrCpy $6 "$1\Plugins\vis_vzrm.dll"
    StrCpy $7 "${PRODUCT} ${VERSION} (Winamp visualisation)"
  ${EndIf}
  ${If} $HasProgram == 1
    IntOp $2 $2 + ${PROGRAM_SIZE_KB}
    ${If} $3 == ""
      StrCpy $3 "program"
    ${Else}
      StrCpy $3 "$3,program"
      ; The uninstaller a setup of the plug-in alone left beside it: replaced by the one below.
      Delete "$1\${PLUGIN_FOLDER}\${UNINSTALLER}"
    ${EndIf}
    StrCpy $4 "$ProgramDir\${UNINSTALLER}"
    StrCpy $5 "$ProgramDir"
    StrCpy $6 "$ProgramDir\vizorama.exe"
    StrCpy $7 "${PRODUCT} ${VERSION}"
  ${EndIf}
  WriteUninstaller $4

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" $7
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Vizorama developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" $5
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" $6
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$4"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$4" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Parts" $3
  ${If} $HasPlugin == 1
    WriteRegStr HKLM "${UNINSTALL_KEY}" "PlayerFolder" $1
  ${Else}
    DeleteRegValue HKLM "${UNINSTALL_KEY}" "PlayerFolder"
  ${EndIf}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $2
  ; An entry an earlier 32-bit setup wrote in the 32-bit view is now this one.
  ${If} ${RunningX64}
    SetRegView 32
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    SetRegView 64
  ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "Vizorama in a window of its own, moving to what the computer plays; in Program Files."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecPlugin} "The plug-in, its configuration utility, textures, skies, models and looks, in Winamp's folder."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecMakeCurrent} "Winamp starts Vizorama as its visualisation: two lines of winamp.ini change, nothing else."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; Pushes the parts an earlier setup installed that are still in place ("plugin", "program",
; "plugin,program" or ""), then the player's folder of its plug-in (or ""). An entry from before
; setup had parts names the plug-in's player folder as its InstallLocation, perhaps in the 32-bit
; view.
Function FindEarlierParts
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "Parts"
  ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "PlayerFolder"
  ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $2 == ""
  ${AndIf} ${RunningX64}
    SetRegView 32
    ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    SetRegView 64
  ${EndIf}
  ${If} $0 == ""
    StrCpy $1 $2
  ${EndIf}
  StrCpy $0 ""
  ${If} $1 != ""
  ${AndIf} ${FileExists} "$1\Plugins\vis_vzrm.dll"
    StrCpy $0 "plugin"
  ${Else}
    StrCpy $1 ""
  ${EndIf}
  ${If} ${FileExists} "$ProgramDir\vizorama.exe"
    ${If} $0 == ""
      StrCpy $0 "program"
    ${Else}
      StrCpy $0 "$0,program"
    ${EndIf}
  ${EndIf}
  Push $0
  Push $1
FunctionEnd

; Parts chosen on the command line (/PARTS=plugin, program or both, comma-separated, in any
; order), or what setup chooses without it: the plug-in where a player was found (or /D= named
; its folder), else the program on its own where it can run.
Function ChooseParts
  Exch $0  ; 1 when a player's folder is known
  Push $1
  Push $2
  ${GetParameters} $2
  ClearErrors
  ${GetOptions} $2 "/PARTS=" $1
  ${If} ${Errors}
    ${If} $0 == 1
    ${OrIfNot} ${RunningX64}
      StrCpy $1 "plugin"
    ${Else}
      StrCpy $1 "program"
    ${EndIf}
  ${EndIf}
  ${If} $1 == "plugin,program"
  ${OrIf} $1 == "program,plugin"
    StrCpy $1 "both"
  ${ElseIf} $1 != "plugin"
  ${AndIf} $1 != "program"
    MessageBox MB_OK|MB_ICONSTOP "Setup installs the parts /PARTS=plugin, /PARTS=program or /PARTS=plugin,program, not /PARTS=$1." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  ${If} $1 != "plugin"
  ${AndIfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "The program on its own needs 64-bit Windows. On this Windows setup can install the plug-in for Winamp (/PARTS=plugin)." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  ${If} $1 == "program"
    !insertmacro UnselectSection ${SecPlugin}
    !insertmacro UnselectSection ${SecMakeCurrent}
  ${Else}
    !insertmacro SelectSection ${SecPlugin}
  ${EndIf}
  ${If} $1 == "plugin"
    !insertmacro UnselectSection ${SecProgram}
  ${Else}
    !insertmacro SelectSection ${SecProgram}
  ${EndIf}
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

Function .onInit
  StrCpy $ProgramDir "$PROGRAMFILES64\${PRODUCT}"
  ${If} $INSTDIR == ""  ; not given with /D=
    Call FindPlayerFolder
    Pop $1
  ${Else}
    StrCpy $1 1
  ${EndIf}
  !insertmacro OurRegView
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/MAKECURRENT" $2
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecMakeCurrent}
    StrCpy $1 1  ; asks for the plug-in
  ${EndIf}
  Push $1
  Call ChooseParts
  ${If} ${SectionIsSelected} ${SecPlugin}
    StrCpy $PluginWasSelected 1
  ${EndIf}
  ${If} ${SectionIsSelected} ${SecMakeCurrent}
    StrCpy $MakeCurrentWasSelected 1
  ${EndIf}
  StrCpy $ComponentsText "Choose the parts to install. Setup has chosen the plug-in if it found Winamp, else the program on its own."
  ${IfNot} ${RunningX64}
    SectionSetText ${SecProgram} ""  ; not offered: the program is 64-bit
    StrCpy $ComponentsText "The program on its own needs 64-bit Windows: on this Windows setup installs the plug-in for Winamp."
  ${EndIf}
  ${IfNot} ${${OLDEST_WINDOWS_TEST}}
    MessageBox MB_OKCANCEL|MB_ICONEXCLAMATION "Vizorama needs ${OLDEST_WINDOWS} or later; it will not start on this version of Windows. Install anyway?" /SD IDOK IDOK +2
    Quit
  ${EndIf}
  ${If} ${Silent}
    Call WarnIfChosenPartsRun
  ${EndIf}
FunctionEnd

Function WarnIfChosenPartsRun
  ${If} ${SectionIsSelected} ${SecPlugin}
    !insertmacro WarnIfPlayerRuns
  ${EndIf}
  ${If} ${SectionIsSelected} ${SecProgram}
    !insertmacro WarnIfProgramRuns
  ${EndIf}
FunctionEnd

; Making the plug-in the player's visualisation needs the plug-in; without the plug-in it is
; not made current.
Function .onSelChange
  ${If} ${SectionIsSelected} ${SecMakeCurrent}
  ${AndIf} $MakeCurrentWasSelected != 1
    !insertmacro SelectSection ${SecPlugin}
  ${ElseIfNot} ${SectionIsSelected} ${SecPlugin}
  ${AndIf} $PluginWasSelected == 1
    !insertmacro UnselectSection ${SecMakeCurrent}
  ${EndIf}
  StrCpy $PluginWasSelected 0
  ${If} ${SectionIsSelected} ${SecPlugin}
    StrCpy $PluginWasSelected 1
  ${EndIf}
  StrCpy $MakeCurrentWasSelected 0
  ${If} ${SectionIsSelected} ${SecMakeCurrent}
    StrCpy $MakeCurrentWasSelected 1
  ${EndIf}
FunctionEnd

Function CheckChosenParts
  ${IfNot} ${SectionIsSelected} ${SecPlugin}
  ${AndIfNot} ${SectionIsSelected} ${SecProgram}
    MessageBox MB_OK|MB_ICONEXCLAMATION "Choose the program on its own, the plug-in for Winamp, or both."
    Abort
  ${EndIf}
  Call WarnIfChosenPartsRun
FunctionEnd

Function SkipUnlessPlugin
  ${IfNot} ${SectionIsSelected} ${SecPlugin}
    Abort
  ${EndIf}
FunctionEnd

Function ShowReadmeOnlyWithPlugin
  ${IfNot} ${SectionIsSelected} ${SecPlugin}
    ShowWindow $mui.FinishPage.ShowReadme ${SW_HIDE}
  ${EndIf}
FunctionEnd

;--------------------------------------------------------------------------------------------
; Uninstaller

Section "un.Vizorama" SecUnMain
  SectionIn RO
  ; Exactly the files setup installed; folders only when nothing else is left in them, so the
  ; settings file and the models, skyboxes and looks the user added (Looks\Mine\) stay.
  ${If} $HasPlugin == 1
    Call un.RestorePreviousVisualisation
    !include "${UNFILES}"
    Delete "${PREVIOUS_VIS}"
    Delete "$INSTDIR\${PLUGIN_FOLDER}\${UNINSTALLER}"
    RMDir "$INSTDIR\${PLUGIN_FOLDER}"
  ${EndIf}
  ; The program's user files are in %APPDATA%\Vizorama, not in its folder.
  ${If} $HasProgram == 1
    SetShellVarContext all
    Delete "$SMPROGRAMS\${SHORTCUT}"
    SetShellVarContext current
    !include "${PROGRAM_UNFILES}"
    Delete "$ProgramDir\${UNINSTALLER}"
    RMDir "$ProgramDir"
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.My settings, models, skies and looks" SecPurge
  ${If} $HasPlugin == 1
    RMDir /r "$INSTDIR\${PLUGIN_FOLDER}"
  ${EndIf}
  ${If} $HasProgram == 1
    SetShellVarContext current
    RMDir /r "$APPDATA\${PRODUCT}"
  ${EndIf}
SectionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecUnMain} "Removes the files setup installed. Your settings and the models, skies and looks you added stay."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecPurge} "Also removes your settings and the models, skies and looks you added (the plug-in's folder and %APPDATA%\Vizorama)."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END

Function un.onInit
  !insertmacro OurRegView
  StrCpy $HasPlugin 0
  StrCpy $HasProgram 0
  ${If} ${FileExists} "$INSTDIR\vizorama.exe"
    ; In the program's folder: the program, and the plug-in when the entry records it.
    StrCpy $HasProgram 1
    StrCpy $ProgramDir $INSTDIR
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "Parts"
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "PlayerFolder"
    ${If} $0 == "plugin,program"
    ${AndIf} $1 != ""
      StrCpy $HasPlugin 1
      StrCpy $INSTDIR $1
    ${EndIf}
  ${Else}
    ; In the plug-in's folder, two levels below the player's.
    ${GetParent} $INSTDIR $0
    ${GetParent} $0 $0
    ${IfNot} ${FileExists} "$0\${PLUGIN_FOLDER}\${UNINSTALLER}"
      MessageBox MB_OK|MB_ICONSTOP "The uninstaller must stay in the folder ${PLUGIN_FOLDER} of the player, or in the program's folder." /SD IDOK
      Abort
    ${EndIf}
    StrCpy $HasPlugin 1
    StrCpy $INSTDIR $0
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/PURGE" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecPurge}
  ${EndIf}
  ${If} $HasPlugin == 1
    !insertmacro WarnIfPlayerRuns
  ${EndIf}
  ${If} $HasProgram == 1
    !insertmacro WarnIfProgramRuns
  ${EndIf}
FunctionEnd
