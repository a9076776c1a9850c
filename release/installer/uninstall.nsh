; --- Uninstalling ------------------------------------------------------------------------------
; The uninstaller removes all or nothing: every file it is to remove is first found removable
; (the user may retry or cancel, as setup asks), and the uninstaller itself and the entry go last,
; only when everything else has gone. Run by Windows as NSIS runs every uninstaller, from a copy
; of itself in the temporary folder, it returns at once; run as "uninstall.exe _?=FOLDER", it
; does the work itself and exits with its code, and, since Windows does not let a running
; program be deleted (nor renamed, as NSIS holds its own file), leaves itself and its folder to
; be removed at the next restart.

; Files the uninstaller could not remove although they had been found removable, each followed
; by "|".
Var Left
; 1 when the uninstaller runs from the file it is to remove.
Var InPlace

!macro UN_EACH_GUIDE NAME SIZE
  Push "$INSTDIR\${NAME}"
  Call $R9
!macroend

; Calls the function at $R9 on each file the uninstaller removes, with the file's path on the
; stack: each recorded file, each guide, and the uninstaller last. The function may change $0 to
; $9 and $R0 to $R6.
Function un.ForEachFile
  StrCpy $R8 1
  ${Do}
    ReadRegStr $R7 HKLM "${UNINSTALL_KEY}" "File$R8"
    ${IfThen} $R7 == "" ${|} ${ExitDo} ${|}
    Push $R7
    Call $R9
    IntOp $R8 $R8 + 1
  ${Loop}
  !insertmacro FOR_EACH_GUIDE UN_EACH_GUIDE
  Push "$INSTDIR\${UNINSTALLER}"
  Call $R9
FunctionEnd

; Waits until a file can be removed, as CheckTargets does in setup. Push FILE, Call un.WaitFile.
Function un.WaitFile
  Pop $2
  ${Do}
    Push $2
    Call un.CanReplace
    Pop $3
    ${IfThen} $3 == 1 ${|} ${ExitDo} ${|}
    ${un.GetParent} $2 $1
    DetailPrint "$(InUse)"
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(InUse)" /SD IDCANCEL IDRETRY retry
    SetErrorLevel ${EXIT_NOT_WRITTEN}
    Abort
    retry:
  ${Loop}
FunctionEnd

; A file and those moved aside beside it, each waited for. The uninstaller that runs in place
; cannot be opened to write: it removes itself last and its own way.
Function un.CheckFile
  Pop $R0
  StrCpy $R1 0
  ${If} $R0 == "$INSTDIR\${UNINSTALLER}"
    Push $R0
    Call un.FileId
    Pop $R1
    Push $EXEPATH
    Call un.FileId
    Pop $R2
    ${If} $R1 != ""
    ${AndIf} $R1 == $R2
      StrCpy $InPlace 1
    ${EndIf}
    StrCpy $R1 $InPlace
  ${EndIf}
  ${If} $R1 != 1
    Push $R0
    Call un.WaitFile
  ${EndIf}
  Push $R0
  GetFunctionAddress $0 un.WaitFile
  Push $0
  Call un.ForEachAside
FunctionEnd

; Removes a file, noting it in $Left when it stays.
Function un.Remove
  Pop $1
  ${If} ${FileExists} $1
    Delete $1
    ${If} ${FileExists} $1
      StrCpy $Left "$Left$1|"
    ${Else}
      DetailPrint "$(Removed)"
    ${EndIf}
  ${EndIf}
FunctionEnd

; A file and those moved aside beside it; the uninstaller itself goes last, after the others.
Function un.RemoveFile
  Pop $R0
  ${If} $R0 != "$INSTDIR\${UNINSTALLER}"
    Push $R0
    Call un.Remove
  ${EndIf}
  Push $R0
  GetFunctionAddress $0 un.Remove
  Push $0
  Call un.ForEachAside
FunctionEnd

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
  StrCpy $Left ""
  StrCpy $InPlace 0
  GetFunctionAddress $R9 un.CheckFile
  Call un.ForEachFile

  ; From here every file can be removed: the first removal.
  GetFunctionAddress $R9 un.RemoveFile
  Call un.ForEachFile
  StrCpy $0 1
  ${Do}
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "File$0"
    ${IfThen} $1 == "" ${|} ${ExitDo} ${|}
    ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "MadeFolder$0"
    ${If} $2 != ""
      ${un.GetParent} $1 $1
      Push $1
      Push $2
      Call un.RemoveMadeFolders
    ${EndIf}
    IntOp $0 $0 + 1
  ${Loop}

  ${If} $Left == ""
    ${If} $InPlace == 1
      ; A setup run before the restart takes this file off Windows' list as it replaces it.
      Delete /REBOOTOK "$INSTDIR\${UNINSTALLER}"
    ${Else}
      Push "$INSTDIR\${UNINSTALLER}"
      Call un.Remove
    ${EndIf}
  ${EndIf}
  ${If} $Left == ""
    ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "MadeProgramFolder"
    ${If} $2 != ""
      Push $INSTDIR
      Push $2
      ${If} $InPlace == 1
        ; The folder still holds the uninstaller: it goes at the restart, and so do the folders
        ; above it made with it, each only when empty then. A setup run before takes them as
        ; made for its files.
        Call un.RemoveMadeFoldersAtRestart
      ${Else}
        Call un.RemoveMadeFolders
      ${EndIf}
    ${EndIf}
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ${Else}
    ; What stays is still recorded, with the uninstaller: uninstalling again removes it.
    ${Do}
      ${IfThen} $Left == "" ${|} ${ExitDo} ${|}
      !insertmacro POP_ITEM $Left $1
      DetailPrint "$(NotRemoved)"
      Push "$(NotRemoved)"
      Call un.LogError
      MessageBox MB_OK|MB_ICONSTOP "$(NotRemoved)" /SD IDOK
    ${Loop}
    SetErrorLevel ${EXIT_NOT_PUT_BACK}
  ${EndIf}
SectionEnd
