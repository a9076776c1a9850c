; --- Lists -----------------------------------------------------------------------------------
; A list is a string of items each followed by "|", a character no Windows path holds. An item
; may be empty.

; Takes the first item off a list: Push LIST, Call PopItem, Pop ITEM, Pop REST.
!macro POP_ITEM_FUNCTION PREFIX
Function ${PREFIX}PopItem
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
!macroend
!insertmacro POP_ITEM_FUNCTION ""
!insertmacro POP_ITEM_FUNCTION "un."

!macro POP_ITEM LIST ITEM
  Push ${LIST}
  !ifdef __UNINSTALL__
    Call un.PopItem
  !else
    Call PopItem
  !endif
  Pop ${ITEM}
  Pop ${LIST}
!macroend
