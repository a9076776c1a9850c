; --- Installing --------------------------------------------------------------------------------

; Has the entry record the files of setup's that RollBack could not take back; says, for each
; file it could not put back, which it is and where its earlier version waits: in a box, in the
; details, and in Windows' event log, which a silent run leaves as its only words; then ends
; with EXIT_NOT_PUT_BACK. $R2 is the file whose write failed.
Function ReportNotPutBack
  Call RecordLeft
  ${Do}
    ${IfThen} $NotBackTo == "" ${|} ${ExitDo} ${|}
    !insertmacro POP_ITEM $NotBackTo $1
    !insertmacro POP_ITEM $NotBackAside $2
    ${If} $2 == ""
      StrCpy $3 "$(LeftWritten)"
    ${Else}
      StrCpy $3 "$(KeptAside)"
    ${EndIf}
    DetailPrint $3
    Push $3
    Call LogError
    MessageBox MB_OK|MB_ICONSTOP $3 /SD IDOK
  ${Loop}
  StrCpy $ExitCode ${EXIT_NOT_PUT_BACK}
  SetErrorLevel ${EXIT_NOT_PUT_BACK}
FunctionEnd

; A write failed ($R2 the file or the entry): everything goes back, and setup says how it went.
!macro FAIL_PART_WAY
  Call RollBack
  ${If} $NotBackTo == ""
    DetailPrint "$(NotWritten)"
    MessageBox MB_OK|MB_ICONSTOP "$(NotWritten)" /SD IDOK
    !insertmacro FAIL ${EXIT_PART_WAY}
  ${EndIf}
  Call ReportNotPutBack
  Abort
!macroend

Section "-Install"
  SetRegView 64
  InitPluginsDir
  StrCpy $ExitCode ""
  StrCpy $DoneTo ""
  StrCpy $DoneTop ""
  StrCpy $DoneAside ""
  StrCpy $DoneMade ""
  StrCpy $EntryChanged 0
  Call MakePlan
  Call CheckTargets
  Call ReadRecord

  Call Prepare
  Pop $0
  ${If} $0 != 1
    MessageBox MB_OK|MB_ICONSTOP "$(NoTempSpace)" /SD IDOK
    !insertmacro FAIL ${EXIT_PART_WAY}
  ${EndIf}

  ; The first write: from here a failure puts back everything written before it.
  StrCpy $R0 $PlanTo
  StrCpy $R1 $PlanTop
  ${Do}
    ${IfThen} $R0 == "" ${|} ${ExitDo} ${|}
    !insertmacro POP_ITEM $R0 $R2
    !insertmacro POP_ITEM $R1 $R3
    Push $R2
    Push $R3
    Call WriteFile
    Pop $R4
    ${If} $R4 != 1
      !insertmacro FAIL_PART_WAY
    ${EndIf}
    ${GetFileName} $R2 $R4
    ${If} $R4 == "${PLUGIN_FILE}"
      ${GetParent} $R2 $R2
      DetailPrint "$(Installed)"
    ${EndIf}
  ${Loop}

  Call WriteEntry
  ${If} $EntryFailed == 1
    StrCpy $R2 "HKLM\${UNINSTALL_KEY}"
    !insertmacro FAIL_PART_WAY
  ${EndIf}
  ; The uninstaller run in place before a restart left itself for Windows to remove then: not
  ; the uninstaller that replaced it.
  Push $PlanTo
  Call KeepFromRemoval
  Pop $0
  ${If} $0 != 1
    StrCpy $R2 "HKLM\${SESSION_MANAGER}"
    !insertmacro FAIL_PART_WAY
  ${EndIf}
  Call RemoveAsides
SectionEnd

; The install stopped without an exit code of ours: NSIS itself stopped it, as when a file could
; not be unpacked into a full temporary folder. Whatever was written goes back.
Function .onInstFailed
  ${If} $ExitCode == ""
    Call RollBack
    ${If} $NotBackTo == ""
      MessageBox MB_OK|MB_ICONSTOP "$(NoTempSpace)" /SD IDOK
      SetErrorLevel ${EXIT_PART_WAY}
    ${Else}
      Call ReportNotPutBack
    ${EndIf}
  ${EndIf}
FunctionEnd
