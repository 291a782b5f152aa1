; The program folder on the user's PATH (HKCU\Environment, value Path) and off
; it again. The value keeps its type (REG_EXPAND_SZ as Windows makes it, or
; REG_SZ) and every other entry as it stands: the folder is added as
; ";FOLDER" at the end and exactly that is taken away. Whether the value was
; created or the folder added is kept in the uninstall key, so that the
; uninstaller removes only what the installer put there. A value too long for
; the installer's strings is left alone.
!include "LogicLib.nsh"
!include "WinMessages.nsh"

!define ENV_KEY "Environment"
; HKEY_CURRENT_USER as a 64-bit handle (sign-extended).
!define HKCU_HANDLE "-2147483647"

; $R9 = 1 when ";$R8;" (case ignored) occurs in $R7; else 0. Keeps $R7, $R8.
!macro PamiroFindEntry UN
Function ${UN}PamiroFindEntry
    Push $0
    Push $1
    Push $2
    Push $3
    StrCpy $R9 0
    StrCpy $0 ";$R8;"
    StrLen $1 $0
    StrLen $2 $R7
    IntOp $2 $2 - $1
    ${For} $3 0 $2
        StrCpy $R6 $R7 $1 $3
        ${If} $R6 == $0
            StrCpy $R9 1
            StrCpy $R5 $3
            ${Break}
        ${EndIf}
    ${Next}
    Pop $3
    Pop $2
    Pop $1
    Pop $0
FunctionEnd
!macroend
!insertmacro PamiroFindEntry ""
!insertmacro PamiroFindEntry "un."

; $R4 = the type of HKCU\Environment\Path (2 REG_EXPAND_SZ, 1 REG_SZ), 0 when
; there is no such value.
!macro PamiroPathType UN
Function ${UN}PamiroPathType
    System::Call 'advapi32::RegGetValueW(p ${HKCU_HANDLE}, w "${ENV_KEY}", w "Path", \
        i 0x1000ffff, *i .r4, p 0, p 0) i .r5'
    ${If} $5 != 0
        StrCpy $4 0
    ${EndIf}
    StrCpy $R4 $4
FunctionEnd
!macroend
!insertmacro PamiroPathType ""
!insertmacro PamiroPathType "un."

!macro PamiroWritePath VALUE TYPE
    ${If} ${TYPE} == 1
        WriteRegStr HKCU "${ENV_KEY}" "Path" "${VALUE}"
    ${Else}
        WriteRegExpandStr HKCU "${ENV_KEY}" "Path" "${VALUE}"
    ${EndIf}
    SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
!macroend

Function PamiroAddToPath
    Call PamiroPathType
    ${If} $R4 == 0
        StrCpy $R7 ""
    ${Else}
        ClearErrors
        ReadRegStr $R7 HKCU "${ENV_KEY}" "Path"
        StrLen $0 $R7
        StrLen $1 $INSTDIR
        IntOp $0 $0 + $1
        IntOp $0 $0 + 3
        ${If} ${Errors}
        ${OrIf} $0 >= ${NSIS_MAX_STRLEN}
            DetailPrint "PATH demasiado largo: no se modifica"
            Return
        ${EndIf}
    ${EndIf}
    StrCpy $R8 "$INSTDIR"
    StrCpy $R7 ";$R7;"
    Call PamiroFindEntry
    ${If} $R9 == 1
        Return  ; already there: the user's own entry, which stays
    ${EndIf}
    ${If} $R4 == 0
        !insertmacro PamiroWritePath "$INSTDIR" 2
        WriteRegDWORD HKLM "${UNINSTALL_KEY}" "PathCreated" 1
    ${Else}
        ReadRegStr $R7 HKCU "${ENV_KEY}" "Path"
        ${If} $R7 == ""
            !insertmacro PamiroWritePath "$INSTDIR" $R4
        ${Else}
            !insertmacro PamiroWritePath "$R7;$INSTDIR" $R4
        ${EndIf}
    ${EndIf}
    WriteRegStr HKLM "${UNINSTALL_KEY}" "PathEntry" "$INSTDIR"
FunctionEnd

; Takes away the ";FOLDER" the installer added (or FOLDER alone), nothing else.
Function un.PamiroRemoveFromPath
    ReadRegStr $R8 HKLM "${UNINSTALL_KEY}" "PathEntry"
    ReadRegDWORD $R3 HKLM "${UNINSTALL_KEY}" "PathCreated"
    ${If} $R8 == ""
        Return
    ${EndIf}
    Call un.PamiroPathType
    ${If} $R4 == 0
        Return
    ${EndIf}
    ClearErrors
    ReadRegStr $R7 HKCU "${ENV_KEY}" "Path"
    StrLen $0 $R7
    IntOp $0 $0 + 2
    ${If} ${Errors}
    ${OrIf} $0 >= ${NSIS_MAX_STRLEN}
        Return
    ${EndIf}
    StrCpy $R7 ";$R7;"
    Call un.PamiroFindEntry
    ${If} $R9 == 0
        Return  ; taken away by hand already
    ${EndIf}
    ; $R5: where ";FOLDER;" starts; drop ";FOLDER", keep the ";" after it.
    StrLen $0 $R8
    IntOp $0 $0 + 1
    StrCpy $1 $R7 $R5
    IntOp $2 $R5 + $0
    StrCpy $2 $R7 "" $2
    StrCpy $R7 "$1$2"
    ; Without the ";" put around it for the search.
    StrLen $0 $R7
    ${If} $0 <= 2
        StrCpy $R7 ""
    ${Else}
        IntOp $0 $0 - 2
        StrCpy $R7 $R7 $0 1
    ${EndIf}
    ${If} $R7 == ""
    ${AndIf} $R3 == 1
        DeleteRegValue HKCU "${ENV_KEY}" "Path"
        SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
    ${Else}
        !insertmacro PamiroWritePath "$R7" $R4
    ${EndIf}
FunctionEnd
