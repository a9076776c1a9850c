; The setup program of Vorlan Brisane: finds the 64-bit Finale installations (versions 25 to 27),
; installs vorlanbrisane64.fxt into the Plug-ins folder of each one chosen, and writes an
; uninstaller, the guides beside it and an entry in Windows' list of installed apps.
;
; Built by tools/build-release: makensis -INPUTCHARSET UTF8 -DVERSION=1.2.3.4 -DSTAGE=DIR
; -DFILES=FILE -DLICENSE=FILE -DOUTFILE=FILE [-DSIGN=COMMAND] installer.nsi. STAGE holds the files
; to install, their times already set to the release's; FILES defines PLUGIN_SIZE and the macro
; FOR_EACH_GUIDE, which names each guide with its size in bytes; LICENSE is the text of the
; licence page; SIGN, when given, is run on the uninstaller and on the setup program with the
; file's path as its one argument.
;
; Install and uninstall are one contract. Setup records in the installed-apps entry every file it
; wrote and the topmost folder it made for it; the uninstaller removes exactly those and then the
; entry. Nothing is written until every file to be replaced has been found writable and every file
; to write has been unpacked whole into the temporary folder, so that a full temporary folder
; stops setup before it changes anything; a write that fails after that puts back everything
; written before it, the entry included. Silent use never guesses: where a person would be asked,
; it exits with a code other than 0 and changes nothing.

Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
RequestExecutionLevel admin
; Installed files keep the times of the staged ones: the release's time, the same in every build.
SetDateSave on

!ifndef VERSION | STAGE | FILES | LICENSE | OUTFILE
  !error "VERSION, STAGE, FILES, LICENSE and OUTFILE must be defined (-DNAME=VALUE)"
!endif
!include "${FILES}"

!define PRODUCT "Vorlan Brisane"
!define PUBLISHER "The Vorlan Brisane authors"
!define PLUGIN_FILE "vorlanbrisane64.fxt"
!define UNINSTALLER "uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VorlanBrisane"
!define FINALE_ROOT "$PROGRAMFILES64\MakeMusic\Finale"
!define PLUGIN_FOLDER "Plug-ins"
; Exit codes besides NSIS's own: 0 installed, 1 cancelled by the user, 2 the script or NSIS
; itself stopped (as when it cannot unpack its own header into the temporary folder). Ours never
; take 1 or 2, so that each code means one thing.
!define EXIT_NOT_WRITTEN 3 ; a file to replace or remove is held open; nothing was changed
!define EXIT_NO_FINALE 4   ; no Finale to install into, or /FINALEDIR= names none
!define EXIT_PART_WAY 5    ; a write failed (a full disk or temporary folder); all was put back
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
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
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

; Whether a path is full, from a drive (C:\...) or a network share (\\server\share...), and so
; names the same folder wherever setup was started: Push PATH, Call IsFullPath, Pop RESULT, 1 or 0.
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
    IntOp $1 $1 + 1
    StrCpy $2 $0 1 $1
    ${If} $1 > 1
    ${AndIf} $2 != ""
    ${AndIf} $2 != "\"
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
  ${If} $FinaleDirGiven == 1
    ; A folder without Finale, or a path that is not full, names no installation: silently that
    ; is the end; with a person there, the folder page follows.
    StrCpy $1 $FinaleDir
    StrCpy $Searched $FinaleDir
    Push $1
    Call IsFullPath
    Pop $0
    ${If} $0 != 1
      MessageBox MB_OK|MB_ICONEXCLAMATION "$(FinaleDirNotFull)" /SD IDOK
    ${ElseIfNot} ${FileExists} "$1\Finale.exe"
      MessageBox MB_OK|MB_ICONEXCLAMATION "$(FinaleDirWithoutFinale)" /SD IDOK
    ${Else}
      StrCpy $Found "$1|"
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
    StrCpy $0 $PickedFolder 1 -1
    ${IfThen} $0 == "\" ${|} StrCpy $PickedFolder $PickedFolder -1 ${|}
    Push $PickedFolder
    Call IsFullPath
    Pop $0
    ${If} $0 != 1
      MessageBox MB_OK|MB_ICONEXCLAMATION "$(NoFolder)"
      Abort
    ${EndIf}
    StrCpy $Targets "$PickedFolder|"
  ${EndIf}
FunctionEnd

; --- Files -------------------------------------------------------------------------------------

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

; Ends the install section with an exit code of ours: it tells .onInstFailed that the script
; stopped on purpose, after putting back what it had to.
Var ExitCode
!macro FAIL CODE
  StrCpy $ExitCode ${CODE}
  SetErrorLevel ${CODE}
  Abort
!macroend

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
      !insertmacro FAIL ${EXIT_NOT_WRITTEN}
      retry:
    ${Loop}
  ${Loop}
FunctionEnd

; The size of a file in bytes, "" when it cannot be read: Push FILE, Call FileSize, Pop SIZE.
Function FileSize
  Exch $0
  Push $1
  ClearErrors
  FileOpen $1 $0 r
  ${If} ${Errors}
    StrCpy $0 ""
  ${Else}
    FileSeek $1 0 END $0
    FileClose $1
  ${EndIf}
  Pop $1
  Exch $0
FunctionEnd

; Copies a file over another and checks that the copy is whole: Push FROM, Push TO,
; Call CopyWhole, Pop RESULT, 1 when it is, 0 when not (the copy may then be part of a file).
Function CopyWhole
  Exch $1 ; to
  Exch
  Exch $0 ; from
  Push $2
  Push $3
  System::Call 'kernel32::CopyFileW(w r0, w r1, i 0) i .r2'
  ${If} $2 != 0
    Push $0
    Call FileSize
    Pop $2
    Push $1
    Call FileSize
    Pop $3
  ${EndIf}
  ${If} $2 != 0
  ${AndIf} $2 != ""
  ${AndIf} $2 == $3
    StrCpy $0 1
  ${Else}
    StrCpy $0 0
  ${EndIf}
  Pop $3
  Pop $2
  Exch $0
  Exch
  Pop $1
FunctionEnd

!macro COPY_WHOLE FROM TO RESULT
  Push "${FROM}"
  Push "${TO}"
  Call CopyWhole
  Pop ${RESULT}
!macroend

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

; --- The plan: every file to write, from the temporary folder to its place ---------------------
; Three lists, one item per file: where it is unpacked, where it goes, and the topmost folder to
; be made for it ("" for none). A file that is there already is first copied to
; $PLUGINSDIR\backup\N, N its place in the plan, counted from 1.
Var Unpacked
Var PlanFrom
Var PlanTo
Var PlanTop
; How many files of the plan have been written (or tried): what a failure puts back.
Var Written
; The topmost folder made for the uninstaller and the guides ("" for none).
Var ProgramTop

!macro PLAN FROM TO TOP
  StrCpy $PlanFrom "$PlanFrom${FROM}|"
  StrCpy $PlanTo "$PlanTo${TO}|"
  StrCpy $PlanTop "$PlanTop${TOP}|"
!macroend

!macro UNPACK_GUIDE NAME SIZE
  File "${STAGE}\${NAME}"
  Push "$Unpacked\${NAME}"
  Call FileSize
  Pop $0
  ${IfThen} $0 != ${SIZE} ${|} StrCpy $R9 0 ${|}
!macroend

!macro PLAN_GUIDE NAME SIZE
  !insertmacro PLAN "$Unpacked\${NAME}" "$INSTDIR\${NAME}" $R4
!macroend

; Unpacks every file to write into the temporary folder and checks it is whole, plans where each
; goes, and copies aside each file it replaces; nothing outside the temporary folder is written.
; Pop RESULT, 1 when all is ready, 0 when the temporary folder could not take it.
Function Prepare
  StrCpy $R9 1
  StrCpy $Unpacked "$PLUGINSDIR\files"
  SetOutPath $Unpacked
  File "${STAGE}\${PLUGIN_FILE}"
  Push "$Unpacked\${PLUGIN_FILE}"
  Call FileSize
  Pop $0
  ${IfThen} $0 != ${PLUGIN_SIZE} ${|} StrCpy $R9 0 ${|}
  !insertmacro FOR_EACH_GUIDE UNPACK_GUIDE
  ClearErrors
  WriteUninstaller "$Unpacked\${UNINSTALLER}"
  ${IfThen} ${Errors} ${|} StrCpy $R9 0 ${|}
  Push "$Unpacked\${UNINSTALLER}"
  Call FileSize
  Pop $0
  ${If} $0 == ""
  ${OrIf} $0 == 0
    StrCpy $R9 0
  ${EndIf}
  ; The System plug-in, which copies, is unpacked by its first call: made here, while a full
  ; temporary folder still stops setup before it has written anything.
  System::Call 'kernel32::GetLastError() i .r0'

  StrCpy $PlanFrom ""
  StrCpy $PlanTo ""
  StrCpy $PlanTop ""
  StrCpy $Tops ""
  StrCpy $R1 $Targets
  ${Do}
    ${IfThen} $R1 == "" ${|} ${ExitDo} ${|}
    !insertmacro POP_ITEM $R1 $R2
    Push $R2
    Call TopmostMissing
    Pop $R4
    StrCpy $Tops "$Tops$R4|"
    !insertmacro PLAN "$Unpacked\${PLUGIN_FILE}" "$R2\${PLUGIN_FILE}" $R4
  ${Loop}
  Push $INSTDIR
  Call TopmostMissing
  Pop $R4
  StrCpy $ProgramTop $R4
  !insertmacro FOR_EACH_GUIDE PLAN_GUIDE
  !insertmacro PLAN "$Unpacked\${UNINSTALLER}" "$INSTDIR\${UNINSTALLER}" $R4

  CreateDirectory "$PLUGINSDIR\backup"
  StrCpy $R1 $PlanTo
  StrCpy $R3 0
  ${Do}
    ${IfThen} $R1 == "" ${|} ${ExitDo} ${|}
    !insertmacro POP_ITEM $R1 $R2
    IntOp $R3 $R3 + 1
    ${If} ${FileExists} $R2
      !insertmacro COPY_WHOLE $R2 "$PLUGINSDIR\backup\$R3" $0
      ${IfThen} $0 != 1 ${|} StrCpy $R9 0 ${|}
    ${EndIf}
  ${Loop}
  Push $R9
FunctionEnd

; Puts back what the files written so far replaced ($Written of the plan), removes those that
; were new and the folders made for them, and the entry's changes: everything as it was.
Function RollBack
  ; All written files go first, so that what they took is free for those put back.
  StrCpy $0 $PlanTo
  StrCpy $2 0
  ${Do}
    ${IfThen} $2 >= $Written ${|} ${ExitDo} ${|}
    IntOp $2 $2 + 1
    !insertmacro POP_ITEM $0 $3
    Delete $3
  ${Loop}
  StrCpy $0 $PlanTo
  StrCpy $1 $PlanTop
  StrCpy $2 0
  ${Do}
    ${IfThen} $2 >= $Written ${|} ${ExitDo} ${|}
    IntOp $2 $2 + 1
    !insertmacro POP_ITEM $0 $3
    !insertmacro POP_ITEM $1 $4
    ${If} ${FileExists} "$PLUGINSDIR\backup\$2"
      !insertmacro COPY_WHOLE "$PLUGINSDIR\backup\$2" $3 $5
    ${ElseIf} $4 != ""
      ${GetParent} $3 $3
      Push $3
      Push $4
      Call RemoveMadeFolders
    ${EndIf}
  ${Loop}
  StrCpy $Written 0
  Call RestoreEntry
FunctionEnd

; --- The installed-apps entry ------------------------------------------------------------------

; Reads the record of an earlier install into $OldFiles and $OldTops.
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

; 1 once a write to the entry failed; 1 once the entry has been changed at all.
Var EntryFailed
Var EntryChanged
; The values of the entry before this install, in the order of FOR_EACH_ENTRY_VALUE, "" for
; those it lacked; and the record's lists this install writes.
Var OldEntry
Var NewFiles
Var NewTops
; The size the entry gives.
Var EntrySize

; Writes a value of the entry, or removes it when VALUE is "" (a value it may not have had).
!macro SET_ENTRY_VALUE TYPE NAME VALUE
  StrCpy $EntryChanged 1
  ${If} `${VALUE}` == ""
    DeleteRegValue HKLM "${UNINSTALL_KEY}" "${NAME}"
  ${Else}
    ClearErrors
    WriteReg${TYPE} HKLM "${UNINSTALL_KEY}" "${NAME}" `${VALUE}`
    ${IfThen} ${Errors} ${|} StrCpy $EntryFailed 1 ${|}
  ${EndIf}
!macroend

; Every value of the entry but the record, with the value this install gives it.
!macro FOR_EACH_ENTRY_VALUE MACRO
  !insertmacro ${MACRO} Str DisplayName "${PRODUCT}"
  !insertmacro ${MACRO} Str DisplayVersion "${VERSION}"
  !insertmacro ${MACRO} Str Publisher "${PUBLISHER}"
  !insertmacro ${MACRO} Str InstallLocation "$INSTDIR"
  !insertmacro ${MACRO} Str UninstallString '"$INSTDIR\${UNINSTALLER}"'
  !insertmacro ${MACRO} Str QuietUninstallString '"$INSTDIR\${UNINSTALLER}" /S'
  !insertmacro ${MACRO} Str DisplayIcon "$INSTDIR\${UNINSTALLER},0"
  !insertmacro ${MACRO} DWORD NoModify 1
  !insertmacro ${MACRO} DWORD NoRepair 1
  !insertmacro ${MACRO} Str MadeProgramFolder $ProgramTop
  !insertmacro ${MACRO} DWORD EstimatedSize $EntrySize
!macroend

!macro SAVE_ENTRY_VALUE TYPE NAME VALUE
  ReadReg${TYPE} $0 HKLM "${UNINSTALL_KEY}" "${NAME}"
  StrCpy $OldEntry "$OldEntry$0|"
!macroend

!macro WRITE_ENTRY_VALUE TYPE NAME VALUE
  !insertmacro SET_ENTRY_VALUE ${TYPE} ${NAME} `${VALUE}`
!macroend

!macro RESTORE_ENTRY_VALUE TYPE NAME VALUE
  !insertmacro POP_ITEM $1 $0
  !insertmacro SET_ENTRY_VALUE ${TYPE} ${NAME} $0
!macroend

; Writes a record, as File1, MadeFolder1, File2, ... and removes what is left of a longer one:
; Push FILES, Push TOPS (lists), Call WriteRecordList.
Function WriteRecordList
  Exch $1 ; tops
  Exch
  Exch $0 ; files
  Push $2
  Push $3
  Push $4
  StrCpy $2 1 ; the next number
  ${Do}
    ${IfThen} $0 == "" ${|} ${ExitDo} ${|}
    !insertmacro POP_ITEM $0 $3
    !insertmacro POP_ITEM $1 $4
    !insertmacro SET_ENTRY_VALUE Str "File$2" $3
    !insertmacro SET_ENTRY_VALUE Str "MadeFolder$2" $4
    IntOp $2 $2 + 1
  ${Loop}
  ${Do}
    ReadRegStr $3 HKLM "${UNINSTALL_KEY}" "File$2"
    ${IfThen} $3 == "" ${|} ${ExitDo} ${|}
    DeleteRegValue HKLM "${UNINSTALL_KEY}" "File$2"
    DeleteRegValue HKLM "${UNINSTALL_KEY}" "MadeFolder$2"
    IntOp $2 $2 + 1
  ${Loop}
  Pop $4
  Pop $3
  Pop $2
  Pop $0
  Pop $1
FunctionEnd

; The record this install writes: its files, each with the folder made for it, and those of an
; earlier install that this one did not write again, with theirs; into $NewFiles and $NewTops.
Function MakeRecord
  StrCpy $NewFiles ""
  StrCpy $NewTops ""
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
    StrCpy $NewFiles "$NewFiles$3|"
    StrCpy $NewTops "$NewTops$4|"
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
      StrCpy $NewFiles "$NewFiles$7|"
      StrCpy $NewTops "$NewTops$8|"
    ${EndIf}
  ${Loop}
FunctionEnd

!define /math PLUGIN_KB ${PLUGIN_SIZE} / 1024

; Writes the entry; $EntryFailed is 1 when a write failed.
Function WriteEntry
  StrCpy $OldEntry ""
  !insertmacro FOR_EACH_ENTRY_VALUE SAVE_ENTRY_VALUE
  ; A folder made by an earlier install is still the one to remove.
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "MadeProgramFolder"
  ${IfThen} $0 != "" ${|} StrCpy $ProgramTop $0 ${|}
  Call MakeRecord
  ; The size: the folder of the uninstaller and one plug-in per file recorded.
  ${GetSize} "$INSTDIR" "/S=0K" $EntrySize $1 $2
  StrCpy $1 $NewFiles
  ${Do}
    ${IfThen} $1 == "" ${|} ${ExitDo} ${|}
    !insertmacro POP_ITEM $1 $2
    IntOp $EntrySize $EntrySize + ${PLUGIN_KB}
  ${Loop}
  StrCpy $EntryFailed 0
  !insertmacro FOR_EACH_ENTRY_VALUE WRITE_ENTRY_VALUE
  Push $NewFiles
  Push $NewTops
  Call WriteRecordList
FunctionEnd

; Puts the entry back as it was before this install: its old values and record, or no entry.
Function RestoreEntry
  ${IfThen} $EntryChanged != 1 ${|} Return ${|}
  StrCpy $1 $OldEntry
  StrCpy $0 ""
  ${IfThen} $1 != "" ${|} StrCpy $0 $1 1 ${|}
  ${If} $0 == "|" ; no DisplayName: there was no entry
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ${Else}
    !insertmacro FOR_EACH_ENTRY_VALUE RESTORE_ENTRY_VALUE
    Push $OldFiles
    Push $OldTops
    Call WriteRecordList
  ${EndIf}
  StrCpy $EntryChanged 0
FunctionEnd

; --- Installing --------------------------------------------------------------------------------

Section "-Install"
  SetRegView 64
  InitPluginsDir
  StrCpy $ExitCode ""
  StrCpy $Written 0
  StrCpy $EntryChanged 0
  Call CheckTargets
  Call ReadRecord

  Call Prepare
  Pop $0
  ${If} $0 != 1
    MessageBox MB_OK|MB_ICONSTOP "$(NoTempSpace)" /SD IDOK
    !insertmacro FAIL ${EXIT_PART_WAY}
  ${EndIf}

  ; The first write: from here a failure puts back everything written before it.
  StrCpy $R0 $PlanFrom
  StrCpy $R1 $PlanTo
  ${Do}
    ${IfThen} $R0 == "" ${|} ${ExitDo} ${|}
    !insertmacro POP_ITEM $R0 $R3
    !insertmacro POP_ITEM $R1 $R2
    ${GetParent} $R2 $R4
    CreateDirectory $R4
    ; Counted before the copy: a failed copy may have left part of a file.
    IntOp $Written $Written + 1
    !insertmacro COPY_WHOLE $R3 $R2 $R5
    ${If} $R5 != 1
      DetailPrint "$(NotWritten)"
      Call RollBack
      MessageBox MB_OK|MB_ICONSTOP "$(NotWritten)" /SD IDOK
      !insertmacro FAIL ${EXIT_PART_WAY}
    ${EndIf}
    ${If} $R3 == "$Unpacked\${PLUGIN_FILE}"
      StrCpy $R2 $R4
      DetailPrint "$(Installed)"
    ${EndIf}
  ${Loop}

  Call WriteEntry
  ${If} $EntryFailed == 1
    StrCpy $R2 "HKLM\${UNINSTALL_KEY}"
    DetailPrint "$(NotWritten)"
    Call RollBack
    MessageBox MB_OK|MB_ICONSTOP "$(NotWritten)" /SD IDOK
    !insertmacro FAIL ${EXIT_PART_WAY}
  ${EndIf}
SectionEnd

; The install stopped without an exit code of ours: NSIS itself stopped it, as when a file could
; not be unpacked into a full temporary folder. Whatever was written goes back.
Function .onInstFailed
  ${If} $ExitCode == ""
    Call RollBack
    MessageBox MB_OK|MB_ICONSTOP "$(NoTempSpace)" /SD IDOK
    SetErrorLevel ${EXIT_PART_WAY}
  ${EndIf}
FunctionEnd


; --- Uninstalling ------------------------------------------------------------------------------

!macro REMOVE_GUIDE NAME SIZE
  Delete "$INSTDIR\${NAME}"
!macroend

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
