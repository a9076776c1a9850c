; --- Finding Finale --------------------------------------------------------------------------

; The Plug-ins folders to install into, each followed by "|".
Var Targets
; The installations found, each as its Finale folder followed by "|", and their check boxes.
Var Found
Var Boxes
; The folder picked when no installation was found.
Var PickedFolder
Var PickedField

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
; without trailing spaces. The value may hold spaces, and be quoted or not, as cmd.exe
; (/FINALEDIR="C:\a b") and PowerShell ("/FINALEDIR=C:\a b") pass it; unquoted, it ends before
; the next " /". $CommandLineCut is 1 when the command line is longer than setup can hold, so
; that an option may have been cut short or lost: then nothing in it is taken as given.
Var FinaleDirGiven
Var FinaleDir
Var CommandLineCut
Function ReadFinaleDirOption
  StrCpy $FinaleDirGiven 0
  StrCpy $FinaleDir ""
  ; $CMDLINE holds at most MAX_COMMAND_LINE characters of what Windows passed.
  StrCpy $CommandLineCut 0
  StrLen $0 $CMDLINE
  ${If} $0 >= ${MAX_COMMAND_LINE}
    System::Call 'kernel32::GetCommandLineW() p .r1'
    System::Call 'kernel32::lstrlenW(p r1) i .r1'
    ${IfThen} $1 > $0 ${|} StrCpy $CommandLineCut 1 ${|}
  ${EndIf}
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
    ${IfThen} $3 != " " ${|} ${ExitDo} ${|}
    StrCpy $FinaleDir $FinaleDir -1
  ${Loop}
FunctionEnd

; Whether a path is full, from a drive (C:\...) or a network share (\\server\share...), and so
; names the same folder wherever setup was started: Push PATH, Call IsFullPath, Pop RESULT, 1 or 0.
; Paths that Windows passes on as they are, \\?\..., and device paths, \\.\..., are not taken:
; they would bypass the reading of "/", "." and ".." and every check of the folder.
Function IsFullPath
  Exch $0
  Push $1
  Push $2
  Push $3
  StrCpy $1 $0 2
  ${If} $1 == "\\"
    ; A server's name, a "\", and a share's name.
    StrCpy $0 $0 "" 2
    StrCpy $1 0
    ${Do}
      StrCpy $2 $0 1 $1
      ${IfThen} $2 == "" ${|} ${ExitDo} ${|}
      ${IfThen} $2 == "\" ${|} ${ExitDo} ${|}
      IntOp $1 $1 + 1
    ${Loop}
    StrCpy $3 $0 $1 ; the server
    IntOp $1 $1 + 1
    StrCpy $2 $0 1 $1
    ${If} $1 > 1
    ${AndIf} $2 != ""
    ${AndIf} $2 != "\"
    ${AndIf} $3 != "?"
    ${AndIf} $3 != "."
      StrCpy $0 1
    ${Else}
      StrCpy $0 0
    ${EndIf}
  ${Else}
    ; A letter, ":\".
    StrCpy $1 $0 2 1
    StrCpy $2 $0 1
    StrCpy $0 0
    ${If} $1 == ":\"
      StrCpy $1 "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
      ${Do}
        StrCpy $3 $1 1
        ${IfThen} $3 == "" ${|} ${ExitDo} ${|}
        ${If} $2 == $3 ; StrCmp ignores case
          StrCpy $0 1
          ${ExitDo}
        ${EndIf}
        StrCpy $1 $1 "" 1
      ${Loop}
    ${EndIf}
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; A folder as Windows reads it: "/" a "\" as well, "." and ".." resolved, no trailing "\".
; Push FOLDER, Call FullFolder, Pop RESULT, Pop FOLDER: RESULT "full" with FOLDER the full
; path; "relative" for a path that is not full (the folder unchanged); "root" for a drive's root,
; no folder of Finale's; "long" for one longer than MAX_FOLDER characters.
Function FullFolder
  Exch $0
  Push $1
  Push $2
  Push $3
  ; Every "/" a "\".
  StrCpy $1 ""
  StrCpy $2 0
  ${Do}
    StrCpy $3 $0 1 $2
    ${IfThen} $3 == "" ${|} ${ExitDo} ${|}
    ${IfThen} $3 == "/" ${|} StrCpy $3 "\" ${|}
    StrCpy $1 "$1$3"
    IntOp $2 $2 + 1
  ${Loop}
  StrCpy $3 "relative"
  Push $1
  Call IsFullPath
  Pop $2
  ${If} $2 == 1
    ; Only a path that is full already: else the folder setup was started from would count.
    System::Call 'kernel32::GetFullPathNameW(w r1, i ${NSIS_MAX_STRLEN}, w .r2, p 0) i .r3'
    ${If} $3 >= ${NSIS_MAX_STRLEN}
      StrCpy $3 "long"
    ${ElseIf} $3 == 0
      StrCpy $3 "relative"
    ${Else}
      StrCpy $1 $2
      StrCpy $2 $1 1 -1
      ${IfThen} $2 == "\" ${|} StrCpy $1 $1 -1 ${|}
      Push $1
      Call IsFullPath
      Pop $2
      StrLen $3 $1
      ${If} $2 != 1
        ; "C:", a drive's root.
        StrCpy $3 "root"
      ${ElseIf} $3 > ${MAX_FOLDER}
        StrCpy $3 "long"
      ${Else}
        StrCpy $3 "full"
        StrCpy $0 $1
      ${EndIf}
    ${EndIf}
  ${EndIf}
  StrCpy $1 $3
  ; The stack: the callers' $3, $2, $1, $0; they get RESULT, then FOLDER.
  Pop $3
  Pop $2
  Exch $1
  Exch
  Exch $0
  Exch
FunctionEnd

; The folder whose lack of Finale the folder page reports: Finale's usual folder, or the one
; /FINALEDIR= names.
Var Searched

Function .onInit
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "$(NeedAdmin)" /SD IDOK
    SetErrorLevel ${EXIT_NOT_ADMIN}
    Quit
  ${EndIf}

  StrCpy $Found ""
  StrCpy $Searched "${FINALE_ROOT}"
  Call ReadFinaleDirOption
  ${If} $CommandLineCut == 1
    ; /FINALEDIR= may be cut short, or lost past the cut: silently nothing is installed; a
    ; person chooses among the installations found.
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(FinaleDirTooLong)" /SD IDOK
    ${IfNot} ${Silent}
      Call FindFinale
    ${EndIf}
  ${ElseIf} $FinaleDirGiven == 1
    ; A folder without Finale, or a path that is not full, names no installation: silently that
    ; is the end; with a person there, the folder page follows.
    StrCpy $1 $FinaleDir
    StrCpy $Searched $FinaleDir
    Push $FinaleDir
    Call FullFolder
    Pop $0
    Pop $FinaleDir
    ${If} $0 == "relative"
      MessageBox MB_OK|MB_ICONEXCLAMATION "$(FinaleDirNotFull)" /SD IDOK
    ${ElseIf} $0 == "root"
      MessageBox MB_OK|MB_ICONEXCLAMATION "$(FinaleDirRoot)" /SD IDOK
    ${ElseIf} $0 == "long"
      MessageBox MB_OK|MB_ICONEXCLAMATION "$(FinaleDirTooLong)" /SD IDOK
    ${Else}
      StrCpy $1 $FinaleDir
      StrCpy $Searched $FinaleDir
      ${If} ${FileExists} "$1\Finale.exe"
        StrCpy $Found "$1|"
      ${Else}
        MessageBox MB_OK|MB_ICONEXCLAMATION "$(FinaleDirWithoutFinale)" /SD IDOK
      ${EndIf}
    ${EndIf}
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
    StrCpy $0 $Searched
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
    Push $PickedFolder
    Call FullFolder
    Pop $0
    Pop $1
    ${If} $0 == "relative"
      MessageBox MB_OK|MB_ICONEXCLAMATION "$(NoFolder)"
      Abort
    ${ElseIf} $0 == "root"
      MessageBox MB_OK|MB_ICONEXCLAMATION "$(FolderRoot)"
      Abort
    ${ElseIf} $0 == "long"
      MessageBox MB_OK|MB_ICONEXCLAMATION "$(FolderTooLong)"
      Abort
    ${EndIf}
    StrCpy $PickedFolder $1
    StrCpy $Targets "$PickedFolder|"
  ${EndIf}
FunctionEnd
