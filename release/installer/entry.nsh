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
