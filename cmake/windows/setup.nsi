; The Windows installer: a 64-bit NSIS program that installs the programs
; and the register descriptions, writes the machine settings (Pfad, Version,
; Language) under the product key, adds the Start-menu entries, the
; Add/Remove Programs entry and, when chosen, the folder to the machine PATH.
;   makensis -DVERSION=1.0 -DFILE_VERSION=1.0.0.0 -DSTAGE=DIR -DOUTFILE=FILE setup.nsi
; STAGE holds the stripped programs and Doc\ with both descriptions;
; vor3-config.exe is taken where it is there.
;
; Switches for a silent install (/S): /LANGUAGE=1031|1033 (also /LANG=),
; /PATH to put vor3-cli on the PATH, /D=FOLDER last. The uninstaller takes
; /S and /PURGE (the user's own settings go too).

Unicode true
Target amd64-unicode
ManifestSupportedOS all
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!ifndef VERSION | FILE_VERSION | STAGE | OUTFILE
  !error "makensis -DVERSION=1.0 -DFILE_VERSION=1.0.0.0 -DSTAGE=... -DOUTFILE=... setup.nsi"
!endif
!if /FileExists "${STAGE}/vor3-config.exe"
  !define WITH_WINDOW
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include x64.nsh
!include Sections.nsh

!define PRODUCT "VOR3 Configuration"
!define PUBLISHER "Vadivoz Vurizozozeroz GmbH"
; store::kProductKey, without the closing backslash.
!define PRODUCT_KEY "SOFTWARE\${PUBLISHER}\VOR3-UZ485-Uvarod-OR2"
!define UNINSTALL_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\VOR3-UZ485-Uvarod-OR2"
!define ENVIRONMENT_KEY "SYSTEM\CurrentControlSet\Control\Session Manager\Environment"
!define MENU "$SMPROGRAMS\${PRODUCT}"
!define DOC_DE "ROZ3 RS485 Modbus CO2, Register MS_1.pdf"
!define DOC_EN "ROZ3 RS485 Modbus CO2, Register MS_1_eng.pdf"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
BrandingText "${PUBLISHER}"
VIProductVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=0 ProductName "${PRODUCT}"
VIAddVersionKey /LANG=0 CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=0 FileDescription "${PRODUCT} Setup"
VIAddVersionKey /LANG=0 FileVersion "${VERSION}"
VIAddVersionKey /LANG=0 ProductVersion "${VERSION}"
VIAddVersionKey /LANG=0 LegalCopyright "${PUBLISHER}"

Var Upgrade      ; the Pfad of an installation already there, else ""
Var WantPath     ; 1: the folder goes on the PATH
Var Purge

!define MUI_ABORTWARNING
!define MUI_LANGDLL_ALWAYSSHOW
!define MUI_LANGDLL_WINDOWTITLE "${PRODUCT}"
!define MUI_LANGDLL_INFO "Sprache des Programms / Language of the program:"
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipFolderOnUpgrade
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!ifdef WITH_WINDOW
  !define MUI_FINISHPAGE_RUN "$INSTDIR\vor3-config.exe"
!endif
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The first language is the one a system in neither gets.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_RESERVEFILE_LANGDLL

LangString SecPrograms ${LANG_ENGLISH} "Programs and register descriptions"
LangString SecPrograms ${LANG_GERMAN} "Programme und Registerbeschreibungen"
LangString SecPath ${LANG_ENGLISH} "vor3-cli on the PATH"
LangString SecPath ${LANG_GERMAN} "vor3-cli im PATH"
LangString DescPrograms ${LANG_ENGLISH} "vor3-cli, the simulated sensor and the register descriptions in German and English."
LangString DescPrograms ${LANG_GERMAN} "vor3-cli, der simulierte Sensor und die Registerbeschreibungen auf Deutsch und Englisch."
LangString DescPath ${LANG_ENGLISH} "Adds the installation folder to the PATH of all users, so that vor3-cli runs in every command prompt."
LangString DescPath ${LANG_GERMAN} "Nimmt den Installationsordner in den PATH aller Benutzer auf, damit vor3-cli in jeder Eingabeaufforderung läuft."
LangString MenuPrompt ${LANG_ENGLISH} "VOR3 Command Prompt"
LangString MenuPrompt ${LANG_GERMAN} "VOR3 Eingabeaufforderung"
LangString MenuDocDe ${LANG_ENGLISH} "Register description (German)"
LangString MenuDocDe ${LANG_GERMAN} "Registerbeschreibung (Deutsch)"
LangString MenuDocEn ${LANG_ENGLISH} "Register description (English)"
LangString MenuDocEn ${LANG_GERMAN} "Registerbeschreibung (Englisch)"
LangString PathTooLong ${LANG_ENGLISH} "The PATH is too long to be changed here; it stays as it is. Add $INSTDIR to it yourself."
LangString PathTooLong ${LANG_GERMAN} "Der PATH ist zu lang, um hier geändert zu werden; er bleibt, wie er ist. Bitte $INSTDIR selbst aufnehmen."
LangString No64Bit ${LANG_ENGLISH} "${PRODUCT} needs a 64-bit Windows."
LangString No64Bit ${LANG_GERMAN} "${PRODUCT} braucht ein 64-Bit-Windows."
LangString BadLanguage ${LANG_ENGLISH} "/LANGUAGE= takes 1031 (German) or 1033 (English)."
LangString BadLanguage ${LANG_GERMAN} "/LANGUAGE= nimmt 1031 (Deutsch) oder 1033 (Englisch)."
LangString AskPurge ${LANG_ENGLISH} "Remove your own settings of ${PRODUCT} too (last ports, log folder, window positions)?"
LangString AskPurge ${LANG_GERMAN} "Auch Ihre eigenen Einstellungen von ${PRODUCT} entfernen (letzte Ports, Protokollordner, Fensterpositionen)?"

; The Start-menu entries in both languages' names, whichever an install
; used: an upgrade in the other language leaves none of the old ones.
!macro MENU_CLEAR
  Delete "${MENU}\${PRODUCT}.lnk"
  Delete "${MENU}\VOR3 Command Prompt.lnk"
  Delete "${MENU}\VOR3 Eingabeaufforderung.lnk"
  Delete "${MENU}\Register description (German).lnk"
  Delete "${MENU}\Register description (English).lnk"
  Delete "${MENU}\Registerbeschreibung (Deutsch).lnk"
  Delete "${MENU}\Registerbeschreibung (Englisch).lnk"
!macroend

; The machine PATH without every entry that is exactly FOLDER (letter case
; aside); empty entries and the order of the others stay as they were.
;   in: $0 PATH, $1 FOLDER   out: $0
!macro PATH_WITHOUT un
Function ${un}PathWithout
  Push $2  ; the entry being read
  Push $3  ; the result
  Push $4  ; position in $0
  Push $5  ; the character there
  Push $6  ; entries kept so far
  StrCpy $2 ""
  StrCpy $3 ""
  StrCpy $4 0
  StrCpy $6 0
  ${Do}
    StrCpy $5 $0 1 $4
    ${If} $5 == ";"
    ${OrIf} $5 == ""
      ${If} $2 != $1
        ${If} $6 > 0
          StrCpy $3 "$3;"
        ${EndIf}
        StrCpy $3 "$3$2"
        IntOp $6 $6 + 1
      ${EndIf}
      StrCpy $2 ""
      ${IfThen} $5 == "" ${|} ${ExitDo} ${|}
    ${Else}
      StrCpy $2 "$2$5"
    ${EndIf}
    IntOp $4 $4 + 1
  ${Loop}
  StrCpy $0 $3
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
FunctionEnd
!macroend
!insertmacro PATH_WITHOUT ""
!insertmacro PATH_WITHOUT "un."

; Reads the machine PATH into $0; the error flag is set when it cannot be
; read whole (NSIS reads at most NSIS_MAX_STRLEN characters, and a longer
; value reads as an error, never cut short), and then nothing may write it.
!macro READ_PATH
  ClearErrors
  ReadRegStr $0 HKLM "${ENVIRONMENT_KEY}" "Path"
!macroend

!macro PATH_CHANGED
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
!macroend

!macro PATH_REMOVE un
  Push $0
  Push $1
  !insertmacro READ_PATH
  ${IfNot} ${Errors}
    StrCpy $1 "$INSTDIR"
    Push $0
    Call ${un}PathWithout
    Pop $1  ; the PATH as read
    ${If} $0 != $1
      WriteRegExpandStr HKLM "${ENVIRONMENT_KEY}" "Path" $0
      !insertmacro PATH_CHANGED
    ${EndIf}
  ${EndIf}
  Pop $1
  Pop $0
!macroend

; An upgrade goes into the folder the installation already has.
Function SkipFolderOnUpgrade
  ${IfThen} $Upgrade != "" ${|} Abort ${|}
FunctionEnd

Section "$(SecPrograms)" SEC_PROGRAMS
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${STAGE}/vor3-cli.exe"
  File "${STAGE}/vor3-sensor-sim.exe"
  !ifdef WITH_WINDOW
    File "${STAGE}/vor3-config.exe"
  !endif
  SetOutPath "$INSTDIR\Doc"
  File "${STAGE}/Doc/${DOC_DE}"
  File "${STAGE}/Doc/${DOC_EN}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; What the programs read: the folder where Doc\ lives, the version, the
  ; language chosen.
  WriteRegStr HKLM "${PRODUCT_KEY}" "Pfad" "$INSTDIR"
  WriteRegStr HKLM "${PRODUCT_KEY}" "Version" "${VERSION}"
  WriteRegStr HKLM "${PRODUCT_KEY}" "Language" "$LANGUAGE"

  ; The command prompt starts in the folder, with vor3-cli on its PATH.
  SetOutPath "$INSTDIR"
  !insertmacro MENU_CLEAR
  CreateDirectory "${MENU}"
  !ifdef WITH_WINDOW
    CreateShortcut "${MENU}\${PRODUCT}.lnk" "$INSTDIR\vor3-config.exe"
  !endif
  CreateShortcut "${MENU}\$(MenuPrompt).lnk" "$SYSDIR\cmd.exe" \
    '/k "set "PATH=$INSTDIR;%PATH%" && vor3-cli.exe --help"'
  CreateShortcut "${MENU}\$(MenuDocDe).lnk" "$INSTDIR\Doc\${DOC_DE}"
  CreateShortcut "${MENU}\$(MenuDocEn).lnk" "$INSTDIR\Doc\${DOC_EN}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  !ifdef WITH_WINDOW
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\vor3-config.exe"'
  !endif
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "$(SecPath)" SEC_PATH
  !insertmacro READ_PATH
  ${If} ${Errors}
    DetailPrint "$(PathTooLong)"
    MessageBox MB_ICONEXCLAMATION "$(PathTooLong)" /SD IDOK
    Return
  ${EndIf}
  StrCpy $1 "$INSTDIR"
  Push $0
  Call PathWithout
  Pop $R1
  ${If} $0 != $R1
    Return  ; already there
  ${EndIf}
  ; Always a separator of our own, so that taking the entry out again gives
  ; back the PATH exactly as it was.
  ${If} $R1 == ""
    StrCpy $0 "$INSTDIR"
  ${Else}
    StrCpy $0 "$R1;$INSTDIR"
  ${EndIf}
  StrLen $1 $0
  ${If} $1 >= ${NSIS_MAX_STRLEN}
    DetailPrint "$(PathTooLong)"
    MessageBox MB_ICONEXCLAMATION "$(PathTooLong)" /SD IDOK
    Return
  ${EndIf}
  WriteRegExpandStr HKLM "${ENVIRONMENT_KEY}" "Path" $0
  !insertmacro PATH_CHANGED
SectionEnd

; Unticked on the components page of an upgrade: our entry goes.
Section "-path off"
  ${IfNot} ${SectionIsSelected} ${SEC_PATH}
  ${AndIfNot} ${Silent}
    !insertmacro PATH_REMOVE ""
  ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SEC_PROGRAMS} "$(DescPrograms)"
  !insertmacro MUI_DESCRIPTION_TEXT ${SEC_PATH} "$(DescPath)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "$(No64Bit)" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  SetRegView 64
  SetShellVarContext all

  ReadRegStr $Upgrade HKLM "${PRODUCT_KEY}" "Pfad"
  ${If} $Upgrade != ""
  ${AndIf} $INSTDIR == "$PROGRAMFILES64\${PRODUCT}"
    StrCpy $INSTDIR $Upgrade
  ${EndIf}

  ; The language: the switch, else the one an installation already has,
  ; else the system's (German for every German locale, else English).
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/LANGUAGE=" $R1
  ${If} ${Errors}
    ClearErrors
    ${GetOptions} $R0 "/LANG=" $R1
  ${EndIf}
  ${If} ${Errors}
    ReadRegStr $R1 HKLM "${PRODUCT_KEY}" "Language"
    ${If} $R1 != ${LANG_GERMAN}
    ${AndIf} $R1 != ${LANG_ENGLISH}
      System::Call "kernel32::GetUserDefaultUILanguage() i .R1"
      IntOp $R1 $R1 & 0x3FF
      ${If} $R1 = 0x07
        StrCpy $R1 ${LANG_GERMAN}
      ${Else}
        StrCpy $R1 ${LANG_ENGLISH}
      ${EndIf}
    ${EndIf}
  ${ElseIf} $R1 != ${LANG_GERMAN}
  ${AndIf} $R1 != ${LANG_ENGLISH}
    MessageBox MB_ICONSTOP "$(BadLanguage)" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  StrCpy $LANGUAGE $R1
  ; Asks, with that language chosen; a silent install keeps it.
  !insertmacro MUI_LANGDLL_DISPLAY

  ; The PATH: asked for with /PATH in a silent install; offered when
  ; installing with pages, kept as it is on an upgrade.
  ClearErrors
  ${GetOptions} $R0 "/PATH" $R1
  ${If} ${Errors}
    StrCpy $WantPath 0
  ${Else}
    StrCpy $WantPath 1
  ${EndIf}
  ${IfNot} ${Silent}
  ${AndIf} $Upgrade == ""
    StrCpy $WantPath 1
  ${ElseIf} $Upgrade != ""
    !insertmacro READ_PATH
    ${IfNot} ${Errors}
      StrCpy $1 "$INSTDIR"
      Push $0
      Call PathWithout
      Pop $R1
      ${IfThen} $0 != $R1 ${|} StrCpy $WantPath 1 ${|}
    ${EndIf}
  ${EndIf}
  ${If} $WantPath = 1
    !insertmacro SelectSection ${SEC_PATH}
  ${Else}
    !insertmacro UnselectSection ${SEC_PATH}
  ${EndIf}
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
  ReadRegStr $R1 HKLM "${PRODUCT_KEY}" "Language"
  ${If} $R1 == ${LANG_GERMAN}
  ${OrIf} $R1 == ${LANG_ENGLISH}
    StrCpy $LANGUAGE $R1
  ${EndIf}
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/PURGE" $R1
  ${If} ${Errors}
    StrCpy $Purge 0
  ${Else}
    StrCpy $Purge 1
  ${EndIf}
FunctionEnd

Section "Uninstall"
  ; The user's own settings stay unless asked for (/PURGE when silent).
  ${If} $Purge = 0
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(AskPurge)" /SD IDNO IDNO keep
    StrCpy $Purge 1
    keep:
  ${EndIf}
  ${If} $Purge = 1
    DeleteRegKey HKCU "${PRODUCT_KEY}"
    DeleteRegKey /ifempty HKCU "SOFTWARE\${PUBLISHER}"
  ${EndIf}

  !insertmacro PATH_REMOVE "un."
  DeleteRegKey HKLM "${PRODUCT_KEY}"
  DeleteRegKey /ifempty HKLM "SOFTWARE\${PUBLISHER}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  !insertmacro MENU_CLEAR
  RMDir "${MENU}"

  ; Only what was installed: a file of the user's in the folder keeps it.
  Delete "$INSTDIR\vor3-config.exe"
  Delete "$INSTDIR\vor3-cli.exe"
  Delete "$INSTDIR\vor3-sensor-sim.exe"
  Delete "$INSTDIR\Doc\${DOC_DE}"
  Delete "$INSTDIR\Doc\${DOC_EN}"
  RMDir "$INSTDIR\Doc"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
