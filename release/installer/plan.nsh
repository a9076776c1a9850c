; --- The plan: every file to write, from the temporary folder to its place ---------------------
; Two lists, one item per file: where it goes, and the topmost folder to be made for it ("" for
; none). Each file is unpacked into $Unpacked under the name it is installed with.
Var Unpacked
Var PlanTo
Var PlanTop
; The topmost folder made for each target, in the order of $Targets.
Var Tops
; The topmost folder made for the uninstaller and the guides ("" for none), or taken as made.
Var ProgramTop

; What has been written, newest first, to be put back: one item per name setup wrote to (a file's
; copy beside its place, then its place) in each of four lists: where it went, the topmost
; folder made for it, where the file it replaced waits ("" for none), and 1 when setup made a
; file at that name (perhaps a part of one), 0 when not.
Var DoneTo
Var DoneTop
Var DoneAside
Var DoneMade
; What RollBack could not put back: the files, where the earlier version of each waits (""
; for a file setup wrote where there was none, and could not remove), 1 when the file at its
; name is setup's, and the topmost folder made for it.
Var NotBackTo
Var NotBackAside
Var NotBackMade
Var NotBackTop

!macro PLAN TO TOP
  StrCpy $PlanTo "$PlanTo${TO}|"
  StrCpy $PlanTop "$PlanTop${TOP}|"
!macroend

!macro PLAN_GUIDE NAME SIZE
  !insertmacro PLAN "$INSTDIR\${NAME}" $ProgramTop
!macroend

; Plans where each file goes: the plug-in into each target, the guides and the uninstaller into
; $INSTDIR.
Function MakePlan
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
    !insertmacro PLAN "$R2\${PLUGIN_FILE}" $R4
  ${Loop}
  ; The folders to make for the uninstaller and the guides; or those that Windows is to remove at
  ; the next restart, left by the uninstaller run in place.
  Push $INSTDIR
  Call TopmostMissing
  Pop $ProgramTop
  ${If} $ProgramTop == ""
    Push $INSTDIR
    Call QueuedTop
    Pop $ProgramTop
  ${EndIf}
  !insertmacro FOR_EACH_GUIDE PLAN_GUIDE
  !insertmacro PLAN "$INSTDIR\${UNINSTALLER}" $ProgramTop
FunctionEnd

; Ends the install section with an exit code of ours: it tells .onInstFailed that the script
; stopped on purpose, after putting back what it had to.
Var ExitCode
!macro FAIL CODE
  StrCpy $ExitCode ${CODE}
  SetErrorLevel ${CODE}
  Abort
!macroend

; Waits until every file of the plan that is there can be replaced; the user may retry or
; cancel. Cancelled (always so when silent), setup ends with nothing changed.
Function CheckTargets
  StrCpy $0 $PlanTo
  ${Do}
    ${IfThen} $0 == "" ${|} ${ExitDo} ${|}
    !insertmacro POP_ITEM $0 $2
    ${Do}
      Push $2
      Call CanReplace
      Pop $3
      ${IfThen} $3 == 1 ${|} ${ExitDo} ${|}
      ${GetParent} $2 $1
      DetailPrint "$(InUse)"
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(InUse)" /SD IDCANCEL IDRETRY retry
      !insertmacro FAIL ${EXIT_NOT_WRITTEN}
      retry:
    ${Loop}
  ${Loop}
FunctionEnd

!macro UNPACK_GUIDE NAME SIZE
  File "/oname=$Unpacked\${NAME}" "${STAGE}\${NAME}"
  Push "$Unpacked\${NAME}"
  Call FileSize
  Pop $0
  ${IfThen} $0 != ${SIZE} ${|} StrCpy $R9 0 ${|}
!macroend

; Unpacks every file to write into the temporary folder and checks it is whole; nothing outside
; the temporary folder is written. Pop RESULT, 1 when all is ready, 0 when the temporary folder
; could not take it.
Function Prepare
  StrCpy $R9 1
  ; Each file named whole: the current folder stays out of $PLUGINSDIR, which NSIS could not
  ; remove at the end, whatever the end, while it was the current folder.
  StrCpy $Unpacked "$PLUGINSDIR\files"
  CreateDirectory $Unpacked
  File "/oname=$Unpacked\${PLUGIN_FILE}" "${STAGE}\${PLUGIN_FILE}"
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
  ; The System plug-in, which copies and moves, is unpacked by its first call: made here, while a
  ; full temporary folder still stops setup before it has written anything.
  System::Call 'kernel32::GetLastError() i .r0'
  Push $R9
FunctionEnd

; Notes a file that WriteFile tried, for RollBack: the four items of $DoneTo, $DoneTop,
; $DoneAside and $DoneMade.
!macro NOTE_DONE TO TOP ASIDE MADE
  StrCpy $DoneTo "${TO}|$DoneTo"
  StrCpy $DoneTop "${TOP}|$DoneTop"
  StrCpy $DoneAside "${ASIDE}|$DoneAside"
  StrCpy $DoneMade "${MADE}|$DoneMade"
!macroend

; Writes one file of the plan: copies the unpacked one beside its place under a free name of a
; file moved aside, and checks it is whole; moves the file there aside; then renames the copy to
; its place. Its name never holds a part of a file, even when setup is stopped. Each step is
; noted for RollBack. Push TO, Push TOP, Call WriteFile, Pop RESULT, 1 when the file was written
; whole.
Function WriteFile
  Exch $1 ; the topmost folder made for it
  Exch
  Exch $0 ; where it goes
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  ${GetParent} $0 $2
  CreateDirectory $2
  StrCpy $3 "" ; where the file replaced waits
  StrCpy $4 0 ; 1 once a file is made at its name
  StrCpy $5 0 ; the result
  Push $0
  Call AsideName
  Pop $6 ; the copy
  ${If} $6 != ""
    ${GetFileName} $0 $2
    !insertmacro COPY_WHOLE "$Unpacked\$2" $6 $5 $2
    ; Noted first, so put back after the file at its name: then the folder made goes too.
    !insertmacro NOTE_DONE $6 $1 "" $2
  ${EndIf}
  ${If} $5 == 1
  ${AndIf} ${FileExists} $0
    Push $0
    Call AsideName
    Pop $3
    ${If} $3 != ""
      ClearErrors
      Rename $0 $3
      ${IfThen} ${Errors} ${|} StrCpy $3 "" ${|}
    ${EndIf}
    ${IfThen} $3 == "" ${|} StrCpy $5 0 ${|}
  ${EndIf}
  ${If} $5 == 1
    ; Never over a file that took the name meanwhile.
    System::Call 'kernel32::MoveFileW(w r6, w r0) i .r2'
    ${If} $2 == 0
      StrCpy $5 0
    ${Else}
      StrCpy $4 1
    ${EndIf}
  ${EndIf}
  !insertmacro NOTE_DONE $0 $1 $3 $4
  StrCpy $0 $5
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  ; The stack: the callers' $1, $0; they get RESULT.
  Exch $0
  Exch
  Pop $1
FunctionEnd

; Puts back what the files written so far replaced, newest first, and removes those that were
; new and the folders made for them, and the entry's changes. A file that was not written is
; not touched; an earlier file goes back over what setup wrote in one step, so that its name is
; never left empty. What cannot be put back goes to the $NotBack lists, the earlier version
; staying where it waits.
!macro NOT_BACK TO ASIDE MADE TOP
  StrCpy $NotBackTo "$NotBackTo${TO}|"
  StrCpy $NotBackAside "$NotBackAside${ASIDE}|"
  StrCpy $NotBackMade "$NotBackMade${MADE}|"
  StrCpy $NotBackTop "$NotBackTop${TOP}|"
!macroend

Function RollBack
  StrCpy $NotBackTo ""
  StrCpy $NotBackAside ""
  StrCpy $NotBackMade ""
  StrCpy $NotBackTop ""
  ${Do}
    ${IfThen} $DoneTo == "" ${|} ${ExitDo} ${|}
    !insertmacro POP_ITEM $DoneTo $0
    !insertmacro POP_ITEM $DoneTop $1
    !insertmacro POP_ITEM $DoneAside $2
    !insertmacro POP_ITEM $DoneMade $3
    ${If} $2 != ""
      ${If} $3 == 1
        ; MOVEFILE_REPLACE_EXISTING
        System::Call 'kernel32::MoveFileExW(w r2, w r0, i 1) i .r4'
      ${Else}
        ; The name was taken by a file that is not setup's: it stays.
        System::Call 'kernel32::MoveFileW(w r2, w r0) i .r4'
      ${EndIf}
      ${If} $4 == 0
        !insertmacro NOT_BACK $0 $2 $3 $1
      ${EndIf}
    ${ElseIf} $3 == 1
      Delete $0
      ${If} ${FileExists} $0
        !insertmacro NOT_BACK $0 "" 1 $1
      ${EndIf}
    ${EndIf}
    ${If} $1 != ""
      ${GetParent} $0 $0
      Push $0
      Push $1
      Call RemoveMadeFolders
    ${EndIf}
  ${Loop}
  StrCpy $DoneTop ""
  StrCpy $DoneAside ""
  StrCpy $DoneMade ""
  Call RestoreEntry
FunctionEnd

; Once setup has finished: removes the files moved aside beside each file of the plan, its own and
; any an earlier setup left. One that cannot be removed now is not loaded by Finale, and the next
; setup or the uninstaller removes it.
Function RemoveAsides
  StrCpy $R3 $PlanTo
  ${Do}
    ${IfThen} $R3 == "" ${|} ${ExitDo} ${|}
    !insertmacro POP_ITEM $R3 $R4
    Push $R4
    GetFunctionAddress $R5 RemoveAside
    Push $R5
    Call ForEachAside
  ${Loop}
FunctionEnd

Function RemoveAside
  Pop $1
  Delete $1
  ${If} ${FileExists} $1
    DetailPrint "$(AsideLeft)"
  ${EndIf}
FunctionEnd
