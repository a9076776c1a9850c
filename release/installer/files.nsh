; --- Files -------------------------------------------------------------------------------------
; Several functions serve the uninstaller too: NSIS names its copy of a function "un.NAME".

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

; Whether a file can be replaced or removed: Push FILE, Call CanReplace, Pop RESULT, 1 when the
; file is absent or can be opened to write and to delete, 0 when it cannot, as when a running
; Finale has loaded it or another program holds it without letting others write or delete it.
; Write access is asked for too, although setup only moves the file: Windows lets a loaded
; plug-in be moved, and a running Finale would keep it.
!macro CAN_REPLACE_FUNCTION PREFIX
Function ${PREFIX}CanReplace
  Exch $0
  Push $1
  ${If} ${FileExists} $0
    ; GENERIC_READ | GENERIC_WRITE | DELETE, every share, OPEN_EXISTING.
    System::Call 'kernel32::CreateFileW(w r0, i 0xC0010000, i 7, p 0, i 3, i 0, p 0) p .r1'
    ${If} $1 == -1
      StrCpy $0 0
    ${Else}
      System::Call 'kernel32::CloseHandle(p r1)'
      StrCpy $0 1
    ${EndIf}
  ${Else}
    StrCpy $0 1
  ${EndIf}
  Pop $1
  Exch $0
FunctionEnd
!macroend
!insertmacro CAN_REPLACE_FUNCTION ""
!insertmacro CAN_REPLACE_FUNCTION "un."

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

; Copies a file to a name that must be free, and checks that the copy is whole, as a copy of an
; empty file is when it is empty too: Push FROM, Push TO, Call CopyWhole, Pop RESULT, 1 when it
; is, 0 when not; Pop MADE, 1 when the copy made a file at TO (perhaps a part of one), 0 when
; another file had taken the name.
Function CopyWhole
  Exch $1 ; to
  Exch
  Exch $0 ; from
  Push $2
  Push $3
  System::Call 'kernel32::CopyFileW(w r0, w r1, i 1) i .r2 ?e'
  Pop $3 ; the error, when it failed
  ${If} $2 == 0
  ${AndIf} $3 == 80 ; ERROR_FILE_EXISTS
    StrCpy $3 0
  ${Else}
    StrCpy $3 1
  ${EndIf}
  ${If} $2 != 0
    Push $0
    Call FileSize
    Pop $2
    Push $1
    Call FileSize
    Pop $0
    ${If} $2 == ""
    ${OrIf} $2 != $0
      StrCpy $2 0
    ${Else}
      StrCpy $2 1
    ${EndIf}
  ${EndIf}
  ; The stack: the callers' $1, $0, $2, $3; they get RESULT, then MADE.
  StrCpy $0 $3
  StrCpy $1 $2
  Pop $3
  Pop $2
  Exch $0
  Exch
  Exch $1
FunctionEnd

!macro COPY_WHOLE FROM TO RESULT MADE
  Push "${FROM}"
  Push "${TO}"
  Call CopyWhole
  Pop ${RESULT}
  Pop ${MADE}
!macroend

; Removes a folder and its parents up to and including TOP, each only when empty:
; Push FOLDER, Push TOP, Call RemoveMadeFolders. Nothing happens unless TOP holds FOLDER.
; RemoveMadeFoldersAtRestart has Windows remove those it cannot remove now at the next restart,
; again each only when empty then.
!macro REMOVE_MADE_FOLDERS_FUNCTION PREFIX NAME FLAGS
Function ${PREFIX}${NAME}
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
        RMDir ${FLAGS} $0
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
!insertmacro REMOVE_MADE_FOLDERS_FUNCTION "" RemoveMadeFolders ""
!insertmacro REMOVE_MADE_FOLDERS_FUNCTION "un." RemoveMadeFolders ""
!insertmacro REMOVE_MADE_FOLDERS_FUNCTION "un." RemoveMadeFoldersAtRestart /REBOOTOK

; What tells a file or folder from every other, whatever path names it (a folder may have two
; names): Push PATH, Call FileId, Pop ID, "" when it cannot be read.
!macro FILE_ID_FUNCTION PREFIX
Function ${PREFIX}FileId
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  ; No access, every share, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS (a folder too).
  System::Call 'kernel32::CreateFileW(w r0, i 0, i 7, p 0, i 3, i 0x02000000, p 0) p .r1'
  StrCpy $0 ""
  ${If} $1 != -1
    ; BY_HANDLE_FILE_INFORMATION: 13 DWORDs; the volume's serial number is the 8th, the file's
    ; index the 12th and 13th.
    System::Call '*(i,i,i,i,i,i,i,i,i,i,i,i,i) p .r2'
    System::Call 'kernel32::GetFileInformationByHandle(p r1, p r2) i .r3'
    System::Call 'kernel32::CloseHandle(p r1)'
    ${If} $3 != 0
      System::Call '*$2(i,i,i,i,i,i,i,i .r1,i,i,i,i .r3,i .r4)'
      StrCpy $0 "$1:$3:$4"
    ${EndIf}
    System::Free $2
  ${EndIf}
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd
!macroend
!insertmacro FILE_ID_FUNCTION ""
!insertmacro FILE_ID_FUNCTION "un."

; --- What Windows removes at the next restart -------------------------------------------------
; The uninstaller run in place cannot remove itself, nor the folder that holds it: it has Windows
; remove them at the next restart, as MoveFileEx does, in the value PendingFileRenameOperations:
; pairs of names, "\??\PATH" and where to move it, "" for removed; one "" at its end. A setup
; run before that restart takes such a folder as made for its files (Windows removes a folder
; only when empty), and takes each file it writes off the list.

; Calls a function on each file or folder that Windows is to remove at the next restart, with its
; path on the stack: the function pops it and pushes 1 to take it off the list, 0 to leave it,
; and keeps every register. Push ADDRESS (GetFunctionAddress), Call ForEachQueuedRemoval, Pop
; RESULT, 0 when the list could not be written.
!define PENDING_VALUE 'p 0xFFFFFFFF80000002, w "${SESSION_MANAGER}", w "PendingFileRenameOperations"' ; HKLM
Function ForEachQueuedRemoval
  Exch $R0 ; the function
  Push $R1
  Push $R2
  Push $R3
  Push $R4
  Push $R5
  Push $R6
  Push $R7
  Push $R8
  Push $R9
  StrCpy $R9 1 ; the result
  StrCpy $R2 0 ; the list's size in bytes
  ; RRF_RT_REG_MULTI_SZ
  System::Call 'advapi32::RegGetValueW(${PENDING_VALUE}, i 0x20, p 0, p 0, *i R2R2) i .R1'
  ${If} $R1 == 0
  ${AndIf} $R2 > 0
    ; Zeros after it, so that even a list cut short ends where a name is read; and the list as
    ; it is to be, made as it is read.
    IntOp $R1 $R2 + 4
    System::Alloc $R1
    Pop $R3
    System::Alloc $R1
    Pop $R4
    System::Call 'advapi32::RegGetValueW(${PENDING_VALUE}, i 0x20, p 0, p R3, *i R2R2) i .R1'
    ${If} $R1 == 0
      StrCpy $R5 0 ; where the next pair starts, in bytes
      StrCpy $R6 0 ; the size of the list as it is to be
      StrCpy $R7 0 ; 1 once a pair is left out
      ${DoWhile} $R5 < $R2
        ; $R1 the first name, $R8 the pair's bytes, $R9 the second name.
        IntPtrOp $R1 $R3 + $R5
        System::Call 'kernel32::lstrlenW(p R1) i .R8'
        ${IfThen} $R8 == 0 ${|} ${ExitDo} ${|}
        IntOp $R8 $R8 + 1
        IntOp $R8 $R8 * 2
        IntPtrOp $R9 $R1 + $R8
        System::Call 'kernel32::lstrlenW(p R9) i .R9'
        IntOp $R9 $R9 + 1
        IntOp $R9 $R9 * 2
        IntOp $R8 $R8 + $R9
        ${If} $R9 == 2 ; "": removed
          System::Call 'kernel32::lstrcpynW(w .R9, p R1, i ${NSIS_MAX_STRLEN})'
          StrCpy $R1 $R9 4
          ${If} $R1 == "\??\"
            StrCpy $R9 $R9 "" 4
            Push $R9
            Call $R0
            Pop $R9
          ${Else}
            StrCpy $R9 0
          ${EndIf}
        ${Else}
          StrCpy $R9 0
        ${EndIf}
        ${If} $R9 == 1
          StrCpy $R7 1
        ${Else}
          IntPtrOp $R1 $R4 + $R6
          IntPtrOp $R9 $R3 + $R5
          System::Call 'kernel32::RtlMoveMemory(p R1, p R9, p R8)'
          IntOp $R6 $R6 + $R8
        ${EndIf}
        IntOp $R5 $R5 + $R8
      ${Loop}
      StrCpy $R9 1
      ${If} $R7 == 1
        ${If} $R6 == 0
          ClearErrors
          DeleteRegValue HKLM "${SESSION_MANAGER}" "PendingFileRenameOperations"
          ${IfThen} ${Errors} ${|} StrCpy $R9 0 ${|}
        ${Else}
          ; REG_MULTI_SZ, ending in an empty name: the zeros after it.
          IntOp $R6 $R6 + 2
          System::Call 'advapi32::RegSetKeyValueW(${PENDING_VALUE}, i 7, p R4, i R6) i .R1'
          ${IfThen} $R1 != 0 ${|} StrCpy $R9 0 ${|}
        ${EndIf}
      ${EndIf}
    ${EndIf}
    System::Free $R4
    System::Free $R3
  ${EndIf}
  StrCpy $R0 $R9
  Pop $R9
  Pop $R8
  Pop $R7
  Pop $R6
  Pop $R5
  Pop $R4
  Pop $R3
  Pop $R2
  Pop $R1
  Exch $R0
FunctionEnd
!undef PENDING_VALUE

; The ids of the files and folders Windows is to remove (QueuedTop), or of those that are to stay
; (KeepFromRemoval), each followed by "|".
Var Ids

; Whether Push PATH names a file of $Ids: Call IsListed, Pop RESULT, 1 or 0.
Function IsListed
  Call FileId
  Exch $0
  Push $1
  Push $2
  Push $3
  StrCpy $1 $Ids
  StrCpy $2 $0
  StrCpy $0 0
  ${If} $2 != ""
    ${Do}
      ${IfThen} $1 == "" ${|} ${ExitDo} ${|}
      !insertmacro POP_ITEM $1 $3
      ${If} $3 == $2
        StrCpy $0 1
        ${ExitDo}
      ${EndIf}
    ${Loop}
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Adds the id of Push PATH to $Ids: Call NoteId, Pop 0, as ForEachQueuedRemoval takes it (left on
; the list).
Function NoteId
  Call FileId
  Exch $0
  ${IfThen} $0 != "" ${|} StrCpy $Ids "$Ids$0|" ${|}
  StrCpy $0 0 ; left on the list
  Exch $0
FunctionEnd

; The topmost of a folder and the parents above it, one after another, that Windows is to remove
; at the next restart: Push FOLDER, Call QueuedTop, Pop TOP, "" when FOLDER is not among them.
Function QueuedTop
  Exch $0 ; the folder
  Push $1
  Push $2
  StrCpy $Ids ""
  GetFunctionAddress $1 NoteId
  Push $1
  Call ForEachQueuedRemoval
  Pop $1
  StrCpy $1 $0
  StrCpy $0 ""
  ${Do}
    Push $1
    Call IsListed
    Pop $2
    ${IfThen} $2 != 1 ${|} ${ExitDo} ${|}
    StrCpy $0 $1
    ${GetParent} $1 $1
  ${LoopUntil} $1 == ""
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Takes the files of a list, whatever the path that names them there, off what Windows is to
; remove at the next restart: Push LIST, Call KeepFromRemoval, Pop RESULT, 0 when Windows' list
; could not be written.
Function KeepFromRemoval
  Exch $0
  Push $1
  StrCpy $Ids ""
  ${Do}
    ${IfThen} $0 == "" ${|} ${ExitDo} ${|}
    !insertmacro POP_ITEM $0 $1
    Push $1
    Call NoteId
    Pop $1
  ${Loop}
  GetFunctionAddress $1 IsListed
  Push $1
  Call ForEachQueuedRemoval
  Pop $0
  Pop $1
  Exch $0
FunctionEnd

; --- Files moved aside -------------------------------------------------------------------------
; A file setup replaces waits in its own folder as NAME.N.setup-old (N from 1, the first name
; free) until setup has finished, and so does each file setup writes, as a copy, until it is
; renamed into its place; one left by a setup that was stopped, killed or could not remove it is
; removed by the next setup that writes NAME, and by the uninstaller.

; A free name to move a file aside to: Push FILE, Call AsideName, Pop NAME, "" when none is free.
Function AsideName
  Exch $0
  Push $1
  StrCpy $1 1
  ${Do}
    ${IfNotThen} ${FileExists} "$0.$1${ASIDE_SUFFIX}" ${|} ${ExitDo} ${|}
    IntOp $1 $1 + 1
  ${LoopUntil} $1 > 99
  ${If} $1 > 99
    StrCpy $0 ""
  ${Else}
    StrCpy $0 "$0.$1${ASIDE_SUFFIX}"
  ${EndIf}
  Pop $1
  Exch $0
FunctionEnd

; Calls a function on each file that waits aside for FILE (NAME.N.setup-old, N digits), with its
; path on the stack, which the function pops: Push FILE, Push ADDRESS (GetFunctionAddress),
; Call ForEachAside. The function may change $0 to $9, not $R0 to $R9.
!macro FOR_EACH_ASIDE_FUNCTION PREFIX
Function ${PREFIX}ForEachAside
  Exch $R1 ; the function
  Exch
  Exch $R0 ; the file
  Push $R2
  Push $R3
  Push $R4
  Push $R5
  Push $R6
  Push $R7
  Push $R8
  ${${PREFIX}GetParent} $R0 $R2
  ${${PREFIX}GetFileName} $R0 $R0
  StrLen $R3 $R0
  IntOp $R3 $R3 + 1 ; NAME and its "."
  ClearErrors
  FindFirst $R4 $R5 "$R2\$R0.*${ASIDE_SUFFIX}"
  ${DoUntil} ${Errors}
    ; NAME., then only digits up to the suffix: what the wildcard takes besides is not setup's.
    StrCpy $R6 $R5 "" $R3
    StrCpy $R7 0
    ${Do}
      StrCpy $R8 $R6 1 $R7
      ${If} $R8 != "0"
        IntOp $R8 $R8 + 0
        ${IfThen} $R8 == 0 ${|} ${ExitDo} ${|}
      ${EndIf}
      IntOp $R7 $R7 + 1
    ${Loop}
    StrCpy $R8 $R6 "" $R7
    StrCpy $R6 $R5 $R3
    ${If} $R6 == "$R0."
    ${AndIf} $R7 > 0
    ${AndIf} $R8 == "${ASIDE_SUFFIX}"
      Push "$R2\$R5"
      Call $R1
    ${EndIf}
    ClearErrors
    FindNext $R4 $R5
  ${Loop}
  FindClose $R4
  Pop $R8
  Pop $R7
  Pop $R6
  Pop $R5
  Pop $R4
  Pop $R3
  Pop $R2
  Pop $R0
  Pop $R1
FunctionEnd
!macroend
!insertmacro FOR_EACH_ASIDE_FUNCTION ""
!insertmacro FOR_EACH_ASIDE_FUNCTION "un."

; Puts a text in Windows' Application event log, as an error of "Vorlan Brisane": what a silent
; run cannot show in a box. Push TEXT, Call LogError.
!macro LOG_ERROR_FUNCTION PREFIX
Function ${PREFIX}LogError
  Exch $0
  Push $1
  Push $2
  System::Call 'advapi32::RegisterEventSourceW(p 0, w "${PRODUCT}") p .r1'
  ${If} $1 != 0
    ; One string: an array holding its address.
    System::Call '*(w r0) p .r2'
    ; EVENTLOG_ERROR_TYPE, category 0, event 0, no user, one string, no data.
    System::Call 'advapi32::ReportEventW(p r1, i 1, i 0, i 0, p 0, i 1, i 0, p r2, p 0)'
    System::Free $2
    System::Call 'advapi32::DeregisterEventSource(p r1)'
  ${EndIf}
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro LOG_ERROR_FUNCTION ""
!insertmacro LOG_ERROR_FUNCTION "un."
