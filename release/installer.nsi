; The setup program of Vorlan Brisane: finds the 64-bit Finale installations (versions 25 to 27),
; installs vorlanbrisane64.fxt into the Plug-ins folder of each one chosen, and writes an
; uninstaller, the guides beside it and an entry in Windows' list of installed apps.
;
; Built by tools/build-release: makensis -INPUTCHARSET UTF8 -DVERSION=1.2.3.4 -DSTAGE=DIR
; -DOUTFILE=FILE [-DSIGN=COMMAND] installer.nsi. STAGE holds the files to install, their times
; already set to the release's; SIGN, when given, is run on the uninstaller and on the setup
; program with the file's path as its one argument.
;
; Install and uninstall are one contract. Setup records in the installed-apps entry every file it
; wrote and the topmost folder it made for it; the uninstaller removes exactly those and then the
; entry. Nothing is written until every file to be replaced has been found writable, and a write
; that fails part-way puts back what was written before it. Silent use never guesses: where a
; person would be asked, it exits with a code other than 0 and changes nothing.

Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
RequestExecutionLevel admin
; Installed files keep the times of the staged ones: the release's time, the same in every build.
SetDateSave on

!ifndef VERSION | STAGE | OUTFILE
  !error "VERSION, STAGE and OUTFILE must be defined (-DNAME=VALUE)"
!endif

!define PRODUCT "Vorlan Brisane"
!define PUBLISHER "The Vorlan Brisane authors"
!define PLUGIN_FILE "vorlanbrisane64.fxt"
!define UNINSTALLER "uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VorlanBrisane"
!define FINALE_ROOT "$PROGRAMFILES64\MakeMusic\Finale"
!define PLUGIN_FOLDER "Plug-ins"
; Exit codes besides NSIS's own (0 installed, 1 cancelled by the user).
!define EXIT_NO_FINALE 2   ; no Finale to install into, or /FINALEDIR= names none
!define EXIT_NOT_WRITTEN 3 ; a file could not be written or removed; nothing was changed
!define EXIT_NOT_ADMIN 740 ; ERROR_ELEVATION_REQUIRED

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"

!ifdef SIGN
  !uninstfinalize '${SIGN} "%1"' = 0
  !finalize '${SIGN} "%1"' = 0
!endif

!include MUI2.nsh
!include nsDialogs.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\$(GuideFile)"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "$(ShowGuide)"
!define MUI_FINISHPAGE_NOREBOOTSUPPORT

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE"
Page custom FinalePage FinalePageLeave
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one for a Windows display language without its own.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "Japanese"
!include /CHARSET=UTF8 "installer-texts.nsh"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "MIT license, ${PUBLISHER}"

; The guides installed beside the uninstaller, one per language.
!macro FOR_EACH_GUIDE MACRO
  !insertmacro ${MACRO} "GUIDE.html"
  !insertmacro ${MACRO} "GUIDE.de.html"
  !insertmacro ${MACRO} "GUIDE.fr.html"
  !insertmacro ${MACRO} "GUIDE.ja.html"
!macroend

; The Plug-ins folders to install into, each followed by "|".
Var Targets
; The installations found, each as its Finale folder followed by "|", and their check boxes.
Var Found
Var Boxes
; The folder picked when no installation was found.
Var PickedFolder
Var PickedField

; The topmost folder made for each target, in the order of $Targets.
Var Tops

; The record of an earlier install, read from the entry: its files, and the topmost folder made
; for each ("" for none).
Var OldFiles
Var OldTops

; --- Lists -----------------------------------------------------------------------------------
; A list is a string of items each followed by "|", a character no Windows path holds.

; Takes the first item off a list: Push LIST, Call PopItem, Pop ITEM, Pop REST.
Function PopItem
  Exch $0 ; the list
  Push $1
  Push $2
  StrCpy $1 0
  ${Do}
    StrCpy $2 $0 1 $1
    ${IfThen} $2 == "" ${|} ${ExitDo} ${|}
    ${IfThen} $2 == "|" ${|} ${ExitDo} ${|}
    IntOp $1 $1 + 1
  ${Loop}
  StrCpy $2 $0 $1
  IntOp $1 $1 + 1
  StrCpy $0 $0 "" $1
  ; $2 the item, $0 the rest; the stack holds the callers' $2, $1, $0.
  Exch $2
  Exch
  Pop $1
  Exch
  Exch $0
  Exch
FunctionEnd

!macro POP_ITEM LIST ITEM
  Push ${LIST}
  Call PopItem
  Pop ${ITEM}
  Pop ${LIST}
!macroend

; --- Finding Finale --------------------------------------------------------------------------

; Every 64-bit Finale 25 to 27 in the standard place, as a list of their folders.
Function FindFinale
  StrCpy $Found ""
  ${For} $0 25 27
    ${If} ${FileExists} "${FINALE_ROOT}\$0\Finale.exe"
      StrCpy $Found "$Found${FINALE_ROOT}\$0|"
    ${EndIf}
  ${Next}
FunctionEnd

; /FINALEDIR= on the command line: $FinaleDirGiven 1 when it is there, $FinaleDir its value
; without a trailing "\". The value may hold spaces, and be quoted or not, as cmd.exe
; (/FINALEDIR="C:\a b") and PowerShell ("/FINALEDIR=C:\a b") pass it; unquoted, it ends before
; the next " /".
Var FinaleDirGiven
Var FinaleDir
Function ReadFinaleDirOption
  StrCpy $FinaleDirGiven 0
  StrCpy $FinaleDir ""
  ${GetParameters} $0
  StrCpy $1 0 ; where the option starts
  ${Do}
    StrCpy $2 $0 11 $1
    ${IfThen} $2 == "" ${|} Return ${|}
    ${IfThen} $2 == "/FINALEDIR=" ${|} ${ExitDo} ${|} ; StrCmp ignores case
    IntOp $1 $1 + 1
  ${Loop}
  StrCpy $FinaleDirGiven 1
  StrCpy $2 "" ; the character that ends the value: a quote, or "" for " /"
  ${If} $1 > 0
    IntOp $3 $1 - 1
    StrCpy $3 $0 1 $3
    ${IfThen} $3 == "$\"" ${|} StrCpy $2 "$\"" ${|}
  ${EndIf}
  IntOp $1 $1 + 11
  StrCpy $0 $0 "" $1
  ${If} $2 == ""
    StrCpy $3 $0 1
    ${If} $3 == "$\""
      StrCpy $2 "$\""
      StrCpy $0 $0 "" 1
    ${EndIf}
  ${EndIf}
  StrCpy $1 0
  ${Do}
    StrCpy $3 $0 1 $1
    ${IfThen} $3 == "" ${|} ${ExitDo} ${|}
    ${If} $2 == "$\""
      ${IfThen} $3 == "$\"" ${|} ${ExitDo} ${|}
    ${Else}
      StrCpy $3 $0 2 $1
      ${IfThen} $3 == " /" ${|} ${ExitDo} ${|}
    ${EndIf}
    IntOp $1 $1 + 1
  ${Loop}
  StrCpy $FinaleDir $0 $1
  ${Do}
    StrCpy $3 $FinaleDir 1 -1
    ${If} $3 == " "
    ${OrIf} $3 == "\"
      StrCpy $FinaleDir $FinaleDir -1
    ${Else}
      ${ExitDo}
    ${EndIf}
  ${Loop}
FunctionEnd

Function .onInit
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "$(NeedAdmin)" /SD IDOK
    SetErrorLevel ${EXIT_NOT_ADMIN}
    Quit
  ${EndIf}

  Call ReadFinaleDirOption
  ${If} $FinaleDirGiven == 1
    StrCpy $1 $FinaleDir
    ${IfNot} ${FileExists} "$1\Finale.exe"
      MessageBox MB_OK|MB_ICONSTOP "$(FinaleDirWithoutFinale)" /SD IDOK
      SetErrorLevel ${EXIT_NO_FINALE}
      Quit
    ${EndIf}
    StrCpy $Found "$1|"
  ${Else}
    Call FindFinale
  ${EndIf}

  ${If} ${Silent}
    ${If} $Found == ""
      SetErrorLevel ${EXIT_NO_FINALE}
      Quit
    ${EndIf}
    ; Silent: every installation found, or the one named.
    StrCpy $Targets ""
    StrCpy $0 $Found
    ${Do}
      ${IfThen} $0 == "" ${|} ${ExitDo} ${|}
      !insertmacro POP_ITEM $0 $1
      StrCpy $Targets "$Targets$1\${PLUGIN_FOLDER}|"
    ${Loop}
  ${EndIf}
FunctionEnd

; --- The page that chooses where ---------------------------------------------------------------

Function FinalePage
  !insertmacro MUI_HEADER_TEXT "$(FinalePageTitle)" "$(FinalePageSubtitle)"
  nsDialogs::Create 1018
  Pop $0
  ${IfThen} $0 == error ${|} Abort ${|}

  ${If} $Found != ""
    ${NSD_CreateLabel} 0 0 100% 36u "$(FoundText)"
    Pop $0
    StrCpy $Boxes ""
    StrCpy $1 $Found
    StrCpy $2 40 ; the next box's top, in dialog units
    ${Do}
      ${IfThen} $1 == "" ${|} ${ExitDo} ${|}
      !insertmacro POP_ITEM $1 $3
      ${NSD_CreateCheckBox} 8u $2u -8u 14u "$3"
      Pop $4
      ${NSD_Check} $4
      StrCpy $Boxes "$Boxes$4|"
      IntOp $2 $2 + 16
    ${Loop}
  ${Else}
    StrCpy $0 "${FINALE_ROOT}"
    ${NSD_CreateLabel} 0 0 100% 72u "$(NoneFoundText)"
    Pop $0
    ${NSD_CreateText} 0 80u -64u 13u "$PickedFolder"
    Pop $PickedField
    ${NSD_CreateBrowseButton} -58u 79u 58u 15u "$(^BrowseBtn)"
    Pop $0
    ${NSD_OnClick} $0 BrowseFolder
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function BrowseFolder
  ${NSD_GetText} $PickedField $0
  nsDialogs::SelectFolderDialog "$(PickFolder)" "$0"
  Pop $0
  ${If} $0 != error
    ${NSD_SetText} $PickedField "$0"
  ${EndIf}
FunctionEnd

Function FinalePageLeave
  StrCpy $Targets ""
  ${If} $Found != ""
    StrCpy $1 $Found
    StrCpy $2 $Boxes
    ${Do}
      ${IfThen} $1 == "" ${|} ${ExitDo} ${|}
      !insertmacro POP_ITEM $1 $3
      !insertmacro POP_ITEM $2 $4
      ${NSD_GetState} $4 $5
      ${If} $5 == ${BST_CHECKED}
        StrCpy $Targets "$Targets$3\${PLUGIN_FOLDER}|"
      ${EndIf}
    ${Loop}
    ${If} $Targets == ""
      MessageBox MB_OK|MB_ICONEXCLAMATION "$(NoneChecked)"
      Abort
    ${EndIf}
  ${Else}
    ${NSD_GetText} $PickedField $PickedFolder
    StrCpy $0 $PickedFolder 1 -1
    ${IfThen} $0 == "\" ${|} StrCpy $PickedFolder $PickedFolder -1 ${|}
    ; A full path: a drive or a network share.
    StrCpy $0 $PickedFolder 2 1
    StrCpy $1 $PickedFolder 2
    ${If} $0 != ":\"
    ${AndIf} $1 != "\\"
      MessageBox MB_OK|MB_ICONEXCLAMATION "$(NoFolder)"
      Abort
    ${EndIf}
    StrCpy $Targets "$PickedFolder|"
  ${EndIf}
FunctionEnd

; --- Installing --------------------------------------------------------------------------------

; The topmost folder of a path that does not exist yet, "" when the path exists:
; Push PATH, Call TopmostMissing, Pop RESULT.
Function TopmostMissing
  Exch $0
  Push $1
  StrCpy $1 ""
  ${Do}
    ${IfThen} ${FileExists} "$0\*.*" ${|} ${ExitDo} ${|}
    StrCpy $1 $0
    ${GetParent} $0 $0
  ${LoopUntil} $0 == ""
  StrCpy $0 $1
  Pop $1
  Exch $0
FunctionEnd

; Whether a file can be written: Push FILE, Call CanWrite, Pop RESULT, 1 when the file is absent
; or can be opened for writing, 0 when it cannot, as when a running Finale has loaded it.
!macro CAN_WRITE_FUNCTION PREFIX
Function ${PREFIX}CanWrite
  Exch $0
  Push $1
  ${If} ${FileExists} $0
    ClearErrors
    FileOpen $1 $0 a
    ${If} ${Errors}
      StrCpy $0 0
    ${Else}
      FileClose $1
      StrCpy $0 1
    ${EndIf}
  ${Else}
    StrCpy $0 1
  ${EndIf}
  Pop $1
  Exch $0
FunctionEnd
!macroend
!insertmacro CAN_WRITE_FUNCTION ""
!insertmacro CAN_WRITE_FUNCTION "un."

; Waits until every file to be replaced can be written; the user may retry or cancel. Cancelled
; (always so when silent), setup ends with nothing changed.
Function CheckTargets
  StrCpy $0 "$Targets$INSTDIR|"
  ${Do}
    ${IfThen} $0 == "" ${|} ${ExitDo} ${|}
    !insertmacro POP_ITEM $0 $1
    ${Do}
      Push "$1\${PLUGIN_FILE}"
      Call CanWrite
      Pop $2
      ${If} $2 == 1
        Push "$1\${UNINSTALLER}"
        Call CanWrite
        Pop $2
      ${EndIf}
      ${IfThen} $2 == 1 ${|} ${ExitDo} ${|}
      DetailPrint "$(InUse)"
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(InUse)" /SD IDCANCEL IDRETRY retry
      SetErrorLevel ${EXIT_NOT_WRITTEN}
      Abort
      retry:
    ${Loop}
  ${Loop}
FunctionEnd

; Copies a file over another, replacing it: Push FROM, Push TO, Call CopyOver, Pop RESULT, 1 when
; copied, 0 when not.
Function CopyOver
  Exch $1 ; to
  Exch
  Exch $0 ; from
  System::Call 'kernel32::CopyFileW(w r0, w r1, i 0) i .r0'
  ${IfThen} $0 != 0 ${|} StrCpy $0 1 ${|}
  Exch $0
  Exch
  Pop $1
FunctionEnd

!macro COPY_OVER FROM TO RESULT
  Push "${FROM}"
  Push "${TO}"
  Call CopyOver
  Pop ${RESULT}
!macroend

; Puts back what the plug-in copies before the failed one changed: the files replaced get their
; backups back, the new ones and the folders made for them go. $R0 is the number of copies made.
Function RollBack
  StrCpy $0 $Targets
  StrCpy $1 $Tops
  StrCpy $2 0
  ${Do}
    ${IfThen} $2 >= $R0 ${|} ${ExitDo} ${|}
    IntOp $2 $2 + 1
    !insertmacro POP_ITEM $0 $3
    !insertmacro POP_ITEM $1 $4
    ${If} ${FileExists} "$PLUGINSDIR\backup$2"
      !insertmacro COPY_OVER "$PLUGINSDIR\backup$2" "$3\${PLUGIN_FILE}" $5
    ${Else}
      Delete "$3\${PLUGIN_FILE}"
    ${EndIf}
    ${If} $4 != ""
      Push $3
      Push $4
      Call RemoveMadeFolders
    ${EndIf}
  ${Loop}
FunctionEnd

; Removes a folder and its parents up to and including TOP, each only when empty:
; Push FOLDER, Push TOP, Call RemoveMadeFolders. Nothing happens unless TOP holds FOLDER.
!macro REMOVE_MADE_FOLDERS_FUNCTION PREFIX
Function ${PREFIX}RemoveMadeFolders
  Exch $1 ; top
  Exch
  Exch $0 ; folder
  Push $2
  Push $3
  StrLen $2 $1
  StrCpy $3 $0 $2
  ${If} $3 == $1 ; case does not matter in a Windows path, nor in StrCmp
    StrCpy $3 $0 1 $2
    ${If} $3 == "\"
    ${OrIf} $3 == ""
      ${Do}
        RMDir $0
        ${IfThen} $0 == $1 ${|} ${ExitDo} ${|}
        ${${PREFIX}GetParent} $0 $0
      ${LoopUntil} $0 == ""
    ${EndIf}
  ${EndIf}
  Pop $3
  Pop $2
  Pop $0
  Pop $1
FunctionEnd
!macroend
!insertmacro REMOVE_MADE_FOLDERS_FUNCTION ""
!insertmacro REMOVE_MADE_FOLDERS_FUNCTION "un."

Function ReadRecord
  StrCpy $OldFiles ""
  StrCpy $OldTops ""
  StrCpy $0 1
  ${Do}
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "File$0"
    ${IfThen} $1 == "" ${|} ${ExitDo} ${|}
    ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "MadeFolder$0"
    StrCpy $OldFiles "$OldFiles$1|"
    StrCpy $OldTops "$OldTops$2|"
    IntOp $0 $0 + 1
  ${Loop}
FunctionEnd

!macro WRITE_RECORD_ENTRY NUMBER FILE TOP
  WriteRegStr HKLM "${UNINSTALL_KEY}" "File${NUMBER}" "${FILE}"
  ${If} ${TOP} != ""
    WriteRegStr HKLM "${UNINSTALL_KEY}" "MadeFolder${NUMBER}" "${TOP}"
  ${Else}
    DeleteRegValue HKLM "${UNINSTALL_KEY}" "MadeFolder${NUMBER}"
  ${EndIf}
  IntOp ${NUMBER} ${NUMBER} + 1
!macroend

; Writes the record: the files of this install, each with the folder made for it, and those of
; an earlier install that this one did not write again, with theirs. Pop COUNT of files.
Function WriteRecord
  StrCpy $0 1 ; the next number
  StrCpy $1 $Targets
  StrCpy $2 $Tops
  ${Do}
    ${IfThen} $1 == "" ${|} ${ExitDo} ${|}
    !insertmacro POP_ITEM $1 $3
    !insertmacro POP_ITEM $2 $4
    StrCpy $3 "$3\${PLUGIN_FILE}"
    ; Written before into a folder made then: that folder is still the one to remove.
    StrCpy $5 $OldFiles
    StrCpy $6 $OldTops
    ${Do}
      ${IfThen} $5 == "" ${|} ${ExitDo} ${|}
      !insertmacro POP_ITEM $5 $7
      !insertmacro POP_ITEM $6 $8
      ${If} $7 == $3
        StrCpy $4 $8
        ${ExitDo}
      ${EndIf}
    ${Loop}
    !insertmacro WRITE_RECORD_ENTRY $0 $3 $4
  ${Loop}
  StrCpy $5 $OldFiles
  StrCpy $6 $OldTops
  ${Do}
    ${IfThen} $5 == "" ${|} ${ExitDo} ${|}
    !insertmacro POP_ITEM $5 $7
    !insertmacro POP_ITEM $6 $8
    StrCpy $1 $Targets
    StrCpy $9 0
    ${Do}
      ${IfThen} $1 == "" ${|} ${ExitDo} ${|}
      !insertmacro POP_ITEM $1 $3
      ${If} "$3\${PLUGIN_FILE}" == $7
        StrCpy $9 1
        ${ExitDo}
      ${EndIf}
    ${Loop}
    ${If} $9 == 0
      !insertmacro WRITE_RECORD_ENTRY $0 $7 $8
    ${EndIf}
  ${Loop}
  ; Entries of an earlier, longer record are not left behind.
  ${Do}
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "File$0"
    ${IfThen} $1 == "" ${|} ${ExitDo} ${|}
    DeleteRegValue HKLM "${UNINSTALL_KEY}" "File$0"
    DeleteRegValue HKLM "${UNINSTALL_KEY}" "MadeFolder$0"
    IntOp $0 $0 + 1
  ${Loop}
FunctionEnd


!macro INSTALL_GUIDE NAME
  File "${STAGE}\${NAME}"
!macroend

!macro REMOVE_GUIDE NAME
  Delete "$INSTDIR\${NAME}"
!macroend

Section "-Install"
  SetRegView 64
  InitPluginsDir
  Call CheckTargets
  Call ReadRecord

  SetOutPath $PLUGINSDIR
  File "${STAGE}\${PLUGIN_FILE}"

  ; The plug-in into each target: a file there is backed up first, so that a failure later puts
  ; every target back as it was.
  StrCpy $Tops ""
  StrCpy $R0 0
  StrCpy $R1 $Targets
  ${Do}
    ${IfThen} $R1 == "" ${|} ${ExitDo} ${|}
    !insertmacro POP_ITEM $R1 $R2
    IntOp $R3 $R0 + 1
    Push $R2
    Call TopmostMissing
    Pop $R4
    StrCpy $Tops "$Tops$R4|"
    StrCpy $R5 1
    ${If} ${FileExists} "$R2\${PLUGIN_FILE}"
      !insertmacro COPY_OVER "$R2\${PLUGIN_FILE}" "$PLUGINSDIR\backup$R3" $R5
    ${EndIf}
    ${If} $R5 == 1
      CreateDirectory "$R2"
      !insertmacro COPY_OVER "$PLUGINSDIR\${PLUGIN_FILE}" "$R2\${PLUGIN_FILE}" $R5
    ${EndIf}
    ; Counted before the check: a failed copy may have left part of a file.
    StrCpy $R0 $R3
    ${If} $R5 != 1
      DetailPrint "$(NotWritten)"
      Call RollBack
      MessageBox MB_OK|MB_ICONSTOP "$(NotWritten)" /SD IDOK
      SetErrorLevel ${EXIT_NOT_WRITTEN}
      Abort
    ${EndIf}
    DetailPrint "$(Installed)"
  ${Loop}

  ; The uninstaller and the guides in a folder of their own.
  Push $INSTDIR
  Call TopmostMissing
  Pop $R4
  ClearErrors
  SetOutPath $INSTDIR
  !insertmacro FOR_EACH_GUIDE INSTALL_GUIDE
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  ${If} ${Errors}
    Call RollBack
    ${If} $R4 != ""
      !insertmacro FOR_EACH_GUIDE REMOVE_GUIDE
      Delete "$INSTDIR\${UNINSTALLER}"
      Push $INSTDIR
      Push $R4
      Call RemoveMadeFolders
    ${EndIf}
    StrCpy $R2 $INSTDIR
    MessageBox MB_OK|MB_ICONSTOP "$(NotWritten)" /SD IDOK
    SetErrorLevel ${EXIT_NOT_WRITTEN}
    Abort
  ${EndIf}

  ; The entry in the installed-apps list.
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "MadeProgramFolder"
  ${IfThen} $0 != "" ${|} StrCpy $R4 $0 ${|}
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${UNINSTALLER},0"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${If} $R4 != ""
    WriteRegStr HKLM "${UNINSTALL_KEY}" "MadeProgramFolder" "$R4"
  ${EndIf}
  Call WriteRecord

  ; The size: the folder of the uninstaller and one plug-in per file recorded.
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  ${GetSize} "$PLUGINSDIR" "/M=${PLUGIN_FILE} /S=0K /G=0" $3 $1 $2
  StrCpy $1 1
  ${Do}
    ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "File$1"
    ${IfThen} $2 == "" ${|} ${ExitDo} ${|}
    IntOp $0 $0 + $3
    IntOp $1 $1 + 1
  ${Loop}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; --- Uninstalling ------------------------------------------------------------------------------

Function un.onInit
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "$(NeedAdmin)" /SD IDOK
    SetErrorLevel ${EXIT_NOT_ADMIN}
    Quit
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetRegView 64
  ; Every recorded file that is still there must be removable before any is removed.
  StrCpy $0 1
  ${Do}
    ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "File$0"
    ${IfThen} $2 == "" ${|} ${ExitDo} ${|}
    ${Do}
      Push $2
      Call un.CanWrite
      Pop $3
      ${IfThen} $3 == 1 ${|} ${ExitDo} ${|}
      ${un.GetParent} $2 $1
      DetailPrint "$(InUse)"
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(InUse)" /SD IDCANCEL IDRETRY retry
      SetErrorLevel ${EXIT_NOT_WRITTEN}
      Abort
      retry:
    ${Loop}
    IntOp $0 $0 + 1
  ${Loop}

  StrCpy $0 1
  ${Do}
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "File$0"
    ${IfThen} $1 == "" ${|} ${ExitDo} ${|}
    ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "MadeFolder$0"
    Delete $1
    DetailPrint "$(Removed)"
    ${If} $2 != ""
      ${un.GetParent} $1 $1
      Push $1
      Push $2
      Call un.RemoveMadeFolders
    ${EndIf}
    IntOp $0 $0 + 1
  ${Loop}

  !insertmacro FOR_EACH_GUIDE REMOVE_GUIDE
  Delete "$INSTDIR\${UNINSTALLER}"
  ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "MadeProgramFolder"
  ${If} $2 != ""
    Push $INSTDIR
    Push $2
    Call un.RemoveMadeFolders
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
