; --- The installed-apps entry ------------------------------------------------------------------

; The record of an earlier install, read from the entry: its files, and the topmost folder made
; for each ("" for none).
Var OldFiles
Var OldTops

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
; The size the entry gives; the values that name the uninstaller, "" for none.
Var EntrySize
Var EntryUninstall
Var EntryQuietUninstall
Var EntryIcon

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
  !insertmacro ${MACRO} Str UninstallString $EntryUninstall
  !insertmacro ${MACRO} Str QuietUninstallString $EntryQuietUninstall
  !insertmacro ${MACRO} Str DisplayIcon $EntryIcon
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

; Sets the values that name the uninstaller: Push 1 for "$INSTDIR\uninstall.exe", 0 for none,
; Call NameUninstaller.
Function NameUninstaller
  Exch $0
  ${If} $0 == 1
    StrCpy $EntryUninstall '"$INSTDIR\${UNINSTALLER}"'
    StrCpy $EntryQuietUninstall '"$INSTDIR\${UNINSTALLER}" /S'
    StrCpy $EntryIcon "$INSTDIR\${UNINSTALLER},0"
  ${Else}
    StrCpy $EntryUninstall ""
    StrCpy $EntryQuietUninstall ""
    StrCpy $EntryIcon ""
  ${EndIf}
  Pop $0
FunctionEnd

; Adds the size of a file that is there to $EntrySize, in bytes: Push FILE, Call AddFileSize.
Function AddFileSize
  Exch $0
  Push $0
  Call FileSize
  Pop $0
  ${IfThen} $0 != "" ${|} IntOp $EntrySize $EntrySize + $0 ${|}
  Pop $0
FunctionEnd

!macro ADD_GUIDE_SIZE NAME SIZE
  Push "$INSTDIR\${NAME}"
  Call AddFileSize
!macroend

; The size the entry gives into $EntrySize, in KB: that of the files the uninstaller removes, as
; they are now, the files of $NewFiles, the guides and the uninstaller; none moved aside.
Function MeasureEntry
  StrCpy $EntrySize 0
  StrCpy $1 $NewFiles
  ${Do}
    ${IfThen} $1 == "" ${|} ${ExitDo} ${|}
    !insertmacro POP_ITEM $1 $2
    Push $2
    Call AddFileSize
  ${Loop}
  !insertmacro FOR_EACH_GUIDE ADD_GUIDE_SIZE
  Push "$INSTDIR\${UNINSTALLER}"
  Call AddFileSize
  IntOp $EntrySize $EntrySize + 1023
  IntOp $EntrySize $EntrySize / 1024
FunctionEnd

; Writes the entry; $EntryFailed is 1 when a write failed.
Function WriteEntry
  StrCpy $OldEntry ""
  !insertmacro FOR_EACH_ENTRY_VALUE SAVE_ENTRY_VALUE
  ; A folder made by an earlier install is still the one to remove.
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "MadeProgramFolder"
  ${IfThen} $0 != "" ${|} StrCpy $ProgramTop $0 ${|}
  Call MakeRecord
  Call MeasureEntry
  Push 1
  Call NameUninstaller
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

; After a rollback that could not take back every file setup wrote: the entry, as it was before
; setup, records those too, so that the uninstaller, or the next setup, removes them. Without an
; earlier entry the entry is new, and names the uninstaller, which is written now if it is not
; there; or, where it cannot be, none, and the next setup records the files again.
Function RecordLeft
  StrCpy $NewFiles $OldFiles
  StrCpy $NewTops $OldTops
  StrCpy $1 $NotBackTo
  StrCpy $2 $NotBackMade
  StrCpy $3 $NotBackTop
  StrCpy $9 0 ; 1 once a file is added
  ${Do}
    ${IfThen} $1 == "" ${|} ${ExitDo} ${|}
    !insertmacro POP_ITEM $1 $4
    !insertmacro POP_ITEM $2 $5
    !insertmacro POP_ITEM $3 $6
    ; Setup's file, unless a file not setup's has its name.
    ${IfThen} $5 != 1 ${|} ${Continue} ${|}
    ; A copy left beside its place (NAME.N.setup-old): NAME is recorded, and the uninstaller
    ; removes the copy with it, as every file moved aside beside a file it removes.
    StrLen $0 "${ASIDE_SUFFIX}"
    StrCpy $7 $4 "" -$0
    ${If} $7 == "${ASIDE_SUFFIX}"
      StrCpy $4 $4 -$0
      ${Do}
        StrCpy $7 $4 1 -1
        StrCpy $4 $4 -1
        ${IfThen} $7 == "." ${|} ${ExitDo} ${|}
      ${LoopUntil} $4 == ""
    ${EndIf}
    StrCpy $7 $NewFiles
    StrCpy $8 0 ; 1 when recorded already
    ${Do}
      ${IfThen} $7 == "" ${|} ${ExitDo} ${|}
      !insertmacro POP_ITEM $7 $0
      ${IfThen} $0 == $4 ${|} StrCpy $8 1 ${|}
    ${Loop}
    ${If} $8 == 0
      StrCpy $NewFiles "$NewFiles$4|"
      StrCpy $NewTops "$NewTops$6|"
      StrCpy $9 1
    ${EndIf}
  ${Loop}
  ${IfThen} $9 == 0 ${|} Return ${|}

  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "DisplayName"
  ${If} $0 == ""
    ; $ProgramTop is the plan's: the folders made then, or made again now.
    StrCpy $0 1 ; 1 when the uninstaller is there
    ${IfNot} ${FileExists} "$INSTDIR\${UNINSTALLER}"
      CreateDirectory $INSTDIR
      !insertmacro COPY_WHOLE "$Unpacked\${UNINSTALLER}" "$INSTDIR\${UNINSTALLER}" $0 $1
      ${If} $0 != 1
        ${IfThen} $1 == 1 ${|} Delete "$INSTDIR\${UNINSTALLER}" ${|}
        Push $INSTDIR
        Push $ProgramTop
        Call RemoveMadeFolders
      ${EndIf}
    ${EndIf}
    ${If} $0 == 1
      Push 1
    ${Else}
      StrCpy $ProgramTop ""
      Push 0
    ${EndIf}
    Call NameUninstaller
    Call MeasureEntry
    !insertmacro FOR_EACH_ENTRY_VALUE WRITE_ENTRY_VALUE
  ${EndIf}
  Push $NewFiles
  Push $NewTops
  Call WriteRecordList
  ; What the entry names stays, although an uninstaller run in place left itself for Windows to
  ; remove at the next restart.
  Push "$NewFiles$INSTDIR\${UNINSTALLER}|"
  Call KeepFromRemoval
  Pop $0
FunctionEnd
