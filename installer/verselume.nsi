; Verselume installer: per user, no administrator rights, Romanian user interface.
;
; Built by installer/CMakeLists.txt, which passes on the makensis command line:
;   VERSION       product version, for example 1.0.0
;   VERSION_QUAD  the same with four numbers, for the version resource
;   ARCH          x64 or x86
;   SCR_FILE      the Verselume.scr to install
;   HELP_FILE     the compiled help verselume.chm
;   TEXTS_FILE, FONTS_FILE  the sample lists
;   ICON_FILE     the program's icon
;   OUT_FILE      the installer to write
;   SIGN_TOOL     optional: a command that signs the file it is given in place, run on the
;                 uninstaller before it is packed (tools/package --sign)
;
; Command line (besides NSIS's own /S and /D=folder):
;   /CURRENT  in a silent install, also make Verselume the current screen saver; without it a
;             silent install leaves the user's screen saver as it is.
;
; The program and its help go to the folder chosen (the user's programs folder by default);
; the lists of verses and typefaces, which the user edits, go to the user's roaming application
; data, where the uninstaller leaves them unless the user asks for them to go too.

Unicode true
!if ${ARCH} == x64
  Target amd64-unicode
!else
  Target x86-unicode
!endif
SetCompressor /SOLID lzma
; The installer stores no file times, so one source gives the same installer bytes at any time.
SetDateSave off
!ifdef SIGN_TOOL
  !uninstfinalize '"${SIGN_TOOL}" "%1"' = 0
!endif
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh

!define PRODUCT "Verselume"
!define PUBLISHER "Quorvane"
!define SETTINGS_KEY "Software\Quorvane\Verselume\1.0"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Verselume"
!define DESKTOP_KEY "Control Panel\Desktop"
!define STARTMENU_DIR "$SMPROGRAMS\Verselume"
!define LISTS_DIR "$APPDATA\Verselume"
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATEINIFILE_SENDCHANGE 3
!define CP_ACP 0
!define WC_NO_BEST_FIT_CHARS 0x400
; The program reads its paths from the registry into 260-byte ANSI buffers.
!define ANSI_PATH_BYTES 260

Name "${PRODUCT}"
OutFile "${OUT_FILE}"
InstallDir "$LOCALAPPDATA\Programs\Verselume"
; An upgrade goes where the previous installation is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION_QUAD}"
VIFileVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=1048 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1048 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1048 "FileDescription" "Instalare ${PRODUCT} ${VERSION} (${ARCH})"
VIAddVersionKey /LANG=1048 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1048 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1048 "LegalCopyright" "© ${PUBLISHER}"

!define MUI_ICON "${ICON_FILE}"
!define MUI_UNICON "${ICON_FILE}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!define MUI_PAGE_HEADER_TEXT "Economizor de ecran"
!define MUI_PAGE_HEADER_SUBTEXT "Alegeţi dacă Verselume devine economizorul de ecran folosit."
!define MUI_COMPONENTSPAGE_TEXT_TOP "Verselume se instalează oricum; bifaţi căsuţa de mai jos dacă doriţi să fie şi economizorul de ecran folosit de acum înainte."
!define MUI_COMPONENTSPAGE_TEXT_COMPLIST "Alegeţi:"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

UninstPage custom un.ConfirmCreate un.ConfirmLeave
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Romanian"

; The list files the key names from an earlier installation, read before this one writes it.
Var OldTextsFile
Var OldFontsFile
; The uninstaller's box that removes the lists too, and its state when the page was left.
Var ListsBox
Var DeleteLists

; Leaves in $R0 the form of the existing file $R0 that the ANSI program can open: the full
; path, or its short form when the full path does not fit the program's buffer or holds a
; character the system's ANSI code page cannot represent.
Function AnsiPath
  Push $0
  Push $1
  System::Call 'kernel32::WideCharToMultiByte(i ${CP_ACP}, i ${WC_NO_BEST_FIT_CHARS}, w R0, i -1, p 0, i 0, p 0, *i 0 r1) i .r0'
  ${If} $0 = 0
  ${OrIf} $0 > ${ANSI_PATH_BYTES}
  ${OrIf} $1 <> 0
    GetFullPathName /SHORT $0 $R0
    ${If} $0 != ""
      StrCpy $R0 $0
    ${EndIf}
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd

; Leaves in $R0 the installed saver's path as Windows starts a screen saver: without quotes,
; so the short form when the full path holds a space.
Function SaverCommandPath
  StrCpy $R0 "$INSTDIR\Verselume.scr"
  Push $0
  Push $1
  StrCpy $1 0
  ${Do}
    StrCpy $0 $R0 1 $1
    ${If} $0 == ""
      ${Break}
    ${ElseIf} $0 == " "
      GetFullPathName /SHORT $0 $R0
      ${If} $0 != ""
        StrCpy $R0 $0
      ${EndIf}
      ${Break}
    ${EndIf}
    IntOp $1 $1 + 1
  ${Loop}
  Pop $1
  Pop $0
FunctionEnd

!macro WritePathValue NAME FILE
  StrCpy $R0 "${FILE}"
  Call AnsiPath
  WriteRegStr HKCU "${SETTINGS_KEY}" "${NAME}" $R0
!macroend

; An upgrade keeps a list where the key already names it, also when its folder is away (an
; unplugged drive, an offline share): only a list deleted from a folder that is there is
; replaced. Otherwise the list goes to the lists folder: the sample, unless a list of an earlier
; installation is still there.
!macro InstallListFile VALUE NAME SOURCE OLD_PATH
  StrCpy $R1 0
  ${If} ${OLD_PATH} == ""
    StrCpy $R1 1
  ${ElseIfNot} ${FileExists} ${OLD_PATH}
    ${GetParent} ${OLD_PATH} $R1
    ${If} ${FileExists} "$R1\*.*"
      StrCpy $R1 1
    ${Else}
      StrCpy $R1 0
    ${EndIf}
  ${EndIf}
  ${If} $R1 == 1
    SetOutPath "${LISTS_DIR}"
    SetOverwrite off
    File "/oname=${NAME}" "${SOURCE}"
    SetOverwrite on
    !insertmacro WritePathValue "${VALUE}" "${LISTS_DIR}\${NAME}"
  ${EndIf}
!macroend

Section "-Verselume" SecProgram
  ; The program opens the settings key but never creates it; the installer writes the paths
  ; only, and the program adds its own values as the user changes settings.
  !insertmacro InstallListFile "TextsFile" "versete.txt" "${TEXTS_FILE}" $OldTextsFile
  !insertmacro InstallListFile "FontsFile" "fonturi.txt" "${FONTS_FILE}" $OldFontsFile

  SetOutPath "$INSTDIR"
  File "/oname=Verselume.scr" "${SCR_FILE}"
  File "/oname=verselume.chm" "${HELP_FILE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  !insertmacro WritePathValue "HelpFile" "$INSTDIR\verselume.chm"

  ; Windows lists a screen saver outside the system folder only while it is the current one,
  ; so the Start menu offers to select it again.
  Call SaverCommandPath
  CreateDirectory "${STARTMENU_DIR}"
  CreateShortcut "${STARTMENU_DIR}\Verselume.lnk" "$SYSDIR\rundll32.exe" \
      "desk.cpl,InstallScreenSaver $R0" "$INSTDIR\Verselume.scr" 0 SW_SHOWNORMAL "" \
      "Alege Verselume ca economizor de ecran şi deschide setările lui"
  CreateShortcut "${STARTMENU_DIR}\Ajutor Verselume.lnk" "$INSTDIR\verselume.chm" "" "" 0 \
      SW_SHOWNORMAL "" "Cum se foloseşte Verselume"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Verselume.scr,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Foloseşte Verselume ca economizor de ecran" SecCurrent
  Call SaverCommandPath
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $R0
  ; A string, as Windows keeps it.
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  ; Tells the running session, which otherwise goes on with its old setting.
  System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATEINIFILE_SENDCHANGE}) i .r0'
SectionEnd

Function .onInit
  SetShellVarContext current
  ReadRegStr $OldTextsFile HKCU "${SETTINGS_KEY}" "TextsFile"
  ReadRegStr $OldFontsFile HKCU "${SETTINGS_KEY}" "FontsFile"
  ${If} ${Silent}
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/CURRENT" $1
    ${If} ${Errors}
      SectionSetFlags ${SecCurrent} 0
    ${EndIf}
  ${EndIf}
FunctionEnd

; Leaves 1 in $0 when SCRNSAVE.EXE still names the installed saver (in any of its forms),
; 0 otherwise. Runs while the saver file still exists, which long names need.
Function un.ScreenSaverIsOurs
  StrCpy $0 0
  ReadRegStr $1 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $1 == ""
    Return
  ${EndIf}
  System::Call 'kernel32::GetLongPathNameW(w r1, w .r2, i ${NSIS_MAX_STRLEN}) i .r3'
  ${If} $3 = 0
  ${OrIf} $3 >= ${NSIS_MAX_STRLEN}
    StrCpy $2 $1
  ${EndIf}
  System::Call 'kernel32::GetLongPathNameW(w "$INSTDIR\Verselume.scr", w .r4, i ${NSIS_MAX_STRLEN}) i .r3'
  ${If} $3 = 0
  ${OrIf} $3 >= ${NSIS_MAX_STRLEN}
    StrCpy $4 "$INSTDIR\Verselume.scr"
  ${EndIf}
  ; Paths compare without regard to case, as Windows treats them.
  ${If} $2 == $4
    StrCpy $0 1
  ${EndIf}
FunctionEnd

Function un.onInit
  SetShellVarContext current
  ; The key goes with the program: the lists it names are known before it is removed.
  ReadRegStr $OldTextsFile HKCU "${SETTINGS_KEY}" "TextsFile"
  ReadRegStr $OldFontsFile HKCU "${SETTINGS_KEY}" "FontsFile"
  ${If} $OldTextsFile == ""
    StrCpy $OldTextsFile "${LISTS_DIR}\versete.txt"
  ${EndIf}
  ${If} $OldFontsFile == ""
    StrCpy $OldFontsFile "${LISTS_DIR}\fonturi.txt"
  ${EndIf}
  ; A silent uninstall shows no page and keeps the lists.
  StrCpy $DeleteLists ${BST_UNCHECKED}
FunctionEnd

; What goes and what stays, and the box that removes the lists too (unticked: the lists are
; the user's own work and a later installation finds them again).
Function un.ConfirmCreate
  !insertmacro MUI_HEADER_TEXT "Dezinstalare Verselume" "Ştergerea Verselume din calculator."
  nsDialogs::Create 1018
  Pop $0
  ${If} $0 == error
    Abort
  ${EndIf}
  ${NSD_CreateLabel} 0 0 100% 30u "Se şterg scurtăturile din meniul Start, economizorul de ecran şi fişierul de ajutor din dosarul:$\r$\n$INSTDIR"
  Pop $0
  ${GetParent} $OldTextsFile $1
  ${NSD_CreateLabel} 0 40u 100% 30u "Listele dumneavoastră de versete şi de fonturi rămân pe calculator, ca să le regăsiţi dacă instalaţi Verselume din nou. Ele se află în:$\r$\n$1"
  Pop $0
  ${NSD_CreateCheckbox} 0 80u 100% 12u "Şterge şi listele mele de versete şi fonturi"
  Pop $ListsBox
  ${NSD_SetState} $ListsBox $DeleteLists
  nsDialogs::Show
FunctionEnd

Function un.ConfirmLeave
  ${NSD_GetState} $ListsBox $DeleteLists
FunctionEnd

!macro un.DeleteList PATH
  Delete "${PATH}"
  ${GetParent} "${PATH}" $0
  RMDir $0
!macroend

; Deletes every value of the settings key but the two named.
!macro un.DeleteSettingsBut KEEP1 KEEP2
  StrCpy $1 0
  ${Do}
    ; Values are read by index: after a deletion the next one moves down to the same index.
    EnumRegValue $0 HKCU "${SETTINGS_KEY}" $1
    ${If} $0 == ""
      ${Break}
    ${ElseIf} $0 == "${KEEP1}"
    ${OrIf} $0 == "${KEEP2}"
      IntOp $1 $1 + 1
    ${Else}
      DeleteRegValue HKCU "${SETTINGS_KEY}" $0
    ${EndIf}
  ${Loop}
!macroend

Section "Uninstall"
  Call un.ScreenSaverIsOurs
  ${If} $0 = 1
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}

  ${If} $DeleteLists == ${BST_CHECKED}
    !insertmacro un.DeleteList $OldTextsFile
    !insertmacro un.DeleteList $OldFontsFile
  ${EndIf}

  Delete "$INSTDIR\Verselume.scr"
  Delete "$INSTDIR\verselume.chm"
  Delete "$INSTDIR\uninstall.exe"
  ; Only the files put there: the folder goes only when nothing else is left in it.
  RMDir "$INSTDIR"

  Delete "${STARTMENU_DIR}\Verselume.lnk"
  Delete "${STARTMENU_DIR}\Ajutor Verselume.lnk"
  RMDir "${STARTMENU_DIR}"

  ; Lists that are kept stay named by the key wherever they are, so that a reinstallation uses
  ; them; the other settings go.
  ${If} $DeleteLists == ${BST_CHECKED}
    DeleteRegKey HKCU "${SETTINGS_KEY}"
  ${Else}
    !insertmacro un.DeleteSettingsBut TextsFile FontsFile
  ${EndIf}
  DeleteRegKey /ifempty HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Quorvane\Verselume"
  DeleteRegKey /ifempty HKCU "Software\Quorvane"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
