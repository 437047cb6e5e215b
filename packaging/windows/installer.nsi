; The setup program of the Windows build: installs the files of the portable zip for
; the current user (no administrator rights) or, elevated, for all users; registers
; the design file type, the shortcuts and the entry under installed apps, and writes
; the uninstaller that takes all of that away again.
;
; makensis /INPUTCHARSET UTF8 with
;   VERSION     the program's version ("1.0.0")        OUTFILE    the setup program to write
;   FILES       the .nsh that installs the files      UNFILES    the .nsh that removes them
;   ICONS       the folder of plumbrook.ico           PUBLISHER  the name under installed apps
;   SITE        the maker's home page                COMPRESSOR (optional) instead of solid LZMA

Unicode true
Target amd64-unicode
!ifdef COMPRESSOR
    SetCompressor ${COMPRESSOR}
!else
    SetCompressor /SOLID lzma
!endif
ManifestDPIAware true
; Elevation is asked for only when the user chooses to install for all users.
RequestExecutionLevel user

!define PRODUCT "Plumbrook自由布局"
!define DIR_NAME "Plumbrook"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Plumbrook"
!define FILE_CLASS "Plumbrook.Design"
!define EXTENSION ".plbd"
!define PROGRAM "plumbrook.exe"
!define UNINSTALLER "uninstall.exe"
; Windows' answer when a program needs the rights the user did not give it.
!define ERROR_ELEVATION_REQUIRED 740

Name "${PRODUCT}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=2052 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "${PUBLISHER}"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh
!include TextFunc.nsh
!include StrFunc.nsh
${UnStrStr}

Var AllUsers        ; 1 when installing for all users of the computer
Var ChosenDir       ; the folder given with /D=, which no default replaces
Var RadioCurrentUser
Var RadioAllUsers

!define MUI_ICON "${ICONS}\plumbrook.ico"
!define MUI_UNICON "${ICONS}\plumbrook.ico"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\${PROGRAM}"
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_WELCOME
Page custom InstallModePage InstallModeLeave
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The language file carries its texts for the install-mode page only when asked to.
!define MULTIUSER_INSTALLMODEPAGE
!insertmacro MUI_LANGUAGE "SimpChinese"

; Installs for the current user, into the folder an earlier installation used.
!macro UseCurrentUser
    SetShellVarContext current
    StrCpy $AllUsers 0
    ${If} $ChosenDir == ""
        ReadRegStr $INSTDIR HKCU "${UNINSTALL_KEY}" "InstallLocation"
        ${If} $INSTDIR == ""
            StrCpy $INSTDIR "$LOCALAPPDATA\Programs\${DIR_NAME}"
        ${EndIf}
    ${EndIf}
!macroend

!macro UseAllUsers
    SetShellVarContext all
    StrCpy $AllUsers 1
    ${If} $ChosenDir == ""
        ReadRegStr $INSTDIR HKLM "${UNINSTALL_KEY}" "InstallLocation"
        ${If} $INSTDIR == ""
            StrCpy $INSTDIR "$PROGRAMFILES64\${DIR_NAME}"
        ${EndIf}
    ${EndIf}
!macroend

; Leaves 1 or 0 on the stack: whether this process holds administrator rights.
!macro PushIsAdmin
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 == "Admin"
        Push 1
    ${Else}
        Push 0
    ${EndIf}
!macroend

; A running designer holds its files, which Windows then neither replaces nor deletes:
; the user ends it first, or the setup stops (a silent one with error level 5).
!macro EnsureClosed DIR
    ${If} ${FileExists} "${DIR}\${PROGRAM}"
        ${Do}
            ClearErrors
            FileOpen $1 "${DIR}\${PROGRAM}" a
            ${IfNot} ${Errors}
                FileClose $1
                ${Break}
            ${EndIf}
            ${If} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} 正在运行，请先用“设置”菜单中的“退出软件”退出，然后点击“重试”。" /SD IDCANCEL IDCANCEL`
                SetErrorLevel 5
                Abort
            ${EndIf}
        ${Loop}
    ${EndIf}
!macroend

Section "${PRODUCT}" SectionProgram
    SectionIn RO
    ; An earlier installation of this kind goes first, wherever it is, so that files
    ; the new version no longer has do not stay behind. Its uninstaller runs in place
    ; (_?=) so that this waits for it.
    !insertmacro EnsureClosed "$INSTDIR"
    ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
        !insertmacro EnsureClosed "$0"
    ${EndIf}
    ${If} $0 != ""
    ${AndIf} ${FileExists} "$0\${UNINSTALLER}"
        DetailPrint "正在移除旧版本：$0"
        ExecWait '"$0\${UNINSTALLER}" /S _?=$0'
        Delete "$0\${UNINSTALLER}"
        RMDir "$0"
    ${EndIf}

    !include "${FILES}"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"

    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${PROGRAM}" "" "$INSTDIR\${PROGRAM}" 0

    ; The design file type: its own icon (the program's second), "打开" starts the program.
    WriteRegStr SHCTX "Software\Classes\${EXTENSION}" "" "${FILE_CLASS}"
    WriteRegStr SHCTX "Software\Classes\${FILE_CLASS}" "" "${PRODUCT} 设计文件"
    WriteRegStr SHCTX "Software\Classes\${FILE_CLASS}\DefaultIcon" "" '"$INSTDIR\${PROGRAM}",1'
    WriteRegStr SHCTX "Software\Classes\${FILE_CLASS}\shell" "" "open"
    WriteRegStr SHCTX "Software\Classes\${FILE_CLASS}\shell\open" "" "打开"
    WriteRegStr SHCTX "Software\Classes\${FILE_CLASS}\shell\open\command" "" '"$INSTDIR\${PROGRAM}" "%1"'

    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "URLInfoAbout" "${SITE}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\${PROGRAM}",0'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    IntFmt $0 "0x%08X" $0
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" "$0"

    ; Explorer shows the new file type's icon at once.
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section /o "桌面快捷方式" SectionDesktop
    CreateShortcut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\${PROGRAM}" "" "$INSTDIR\${PROGRAM}" 0
SectionEnd

; Options: /AllUsers (needs administrator rights; the current user is the default),
; /Desktop (the desktop shortcut in a silent install), /S and /D=folder as with every
; setup program.
Function .onInit
    ; $INSTDIR holds something here only when /D= gave it.
    StrCpy $ChosenDir $INSTDIR
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/AllUsers" $R1
    ${If} ${Errors}
        !insertmacro UseCurrentUser
    ${Else}
        !insertmacro PushIsAdmin
        Pop $R2
        ${If} $R2 != 1
            ${IfNot} ${Silent}
                MessageBox MB_OK|MB_ICONSTOP "为所有用户安装需要管理员权限。"
            ${EndIf}
            SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
            Quit
        ${EndIf}
        !insertmacro UseAllUsers
    ${EndIf}

    ; A desktop shortcut stays when it was there, and comes when asked for.
    ClearErrors
    ${GetOptions} $R0 "/Desktop" $R1
    ${IfNot} ${Errors}
    ${OrIf} ${FileExists} "$DESKTOP\${PRODUCT}.lnk"
        SectionSetFlags ${SectionDesktop} ${SF_SELECTED}
    ${EndIf}
FunctionEnd

Function InstallModePage
    ; A copy started elevated for all users has made its choice already.
    ${If} $AllUsers == 1
        Abort
    ${EndIf}
    !insertmacro MUI_HEADER_TEXT "$(MULTIUSER_TEXT_INSTALLMODE_TITLE)" "$(MULTIUSER_TEXT_INSTALLMODE_SUBTITLE)"
    nsDialogs::Create 1018
    Pop $0
    ${NSD_CreateLabel} 0 0 100% 30u "$(MULTIUSER_INNERTEXT_INSTALLMODE_TOP)"
    Pop $0
    ${NSD_CreateRadioButton} 10u 40u 100% 12u "$(MULTIUSER_INNERTEXT_INSTALLMODE_CURRENTUSER)"
    Pop $RadioCurrentUser
    ${NSD_CreateRadioButton} 10u 58u 100% 12u "$(MULTIUSER_INNERTEXT_INSTALLMODE_ALLUSERS)（需要管理员权限）"
    Pop $RadioAllUsers
    ${NSD_Check} $RadioCurrentUser
    nsDialogs::Show
FunctionEnd

Function InstallModeLeave
    ${NSD_GetState} $RadioAllUsers $0
    ${If} $0 <> ${BST_CHECKED}
        Return
    ${EndIf}
    !insertmacro PushIsAdmin
    Pop $0
    ${If} $0 == 1
        !insertmacro UseAllUsers
        Return
    ${EndIf}
    ; The elevated copy carries on from here; when the user refuses, this one stays.
    ClearErrors
    ExecShell "runas" "$EXEPATH" "/AllUsers"
    ${If} ${Errors}
        Abort
    ${EndIf}
    Quit
FunctionEnd

Function un.onInit
    ; The uninstaller serves the kind of installation that registered its folder.
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 == $INSTDIR
        SetShellVarContext all
        !insertmacro PushIsAdmin
        Pop $0
        ${If} $0 != 1
            ${IfNot} ${Silent}
                MessageBox MB_OK|MB_ICONSTOP "卸载为所有用户安装的程序需要管理员权限。"
            ${EndIf}
            SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
            Quit
        ${EndIf}
    ${Else}
        SetShellVarContext current
    ${EndIf}
FunctionEnd

; The files the updater placed, which this uninstaller's own list may not name: each line
; of its list a path inside the folder, with what it set aside, then its folder when empty.
Function un.RemoveUpdatedFiles
    ClearErrors
    FileOpen $0 "$INSTDIR\update-files.txt" r
    ${If} ${Errors}
        Return
    ${EndIf}
    ${Do}
        ClearErrors
        FileRead $0 $1
        ${If} ${Errors}
            ${ExitDo}
        ${EndIf}
        ${TrimNewLines} $1 $1
        ${UnStrStr} $2 $1 ".."
        ${UnStrStr} $3 $1 ":"
        StrCpy $4 $1 1
        ${If} $1 != ""
        ${AndIf} $2 == ""
        ${AndIf} $3 == ""
        ${AndIf} $4 != "\"
        ${AndIf} $4 != "/"
            Delete "$INSTDIR\$1"
            Delete "$INSTDIR\$1.*.old"
            ${GetParent} "$INSTDIR\$1" $5
            RMDir $5
        ${EndIf}
    ${Loop}
    FileClose $0
    Delete "$INSTDIR\update-files.txt"
FunctionEnd

Section "Uninstall"
    !insertmacro EnsureClosed "$INSTDIR"
    !include "${UNFILES}"
    Call un.RemoveUpdatedFiles
    ; What the program writes beside itself when its folder is writable: the updater,
    ; its settings and archive, the preview page, and what an update set aside.
    ; (An update's own unpacking folder and download go when it ends.)
    Delete "$INSTDIR\xz.exe"
    Delete "$INSTDIR\xz.zip"
    Delete "$INSTDIR\gx.ini"
    Delete "$INSTDIR\yl.html"
    Delete "$INSTDIR\*.old"
    ; The carousels' settings are written again from the designs that hold them.
    Delete "$INSTDIR\data\code\Carousel*.ini"
    RMDir "$INSTDIR\data\code"
    RMDir "$INSTDIR\data"
    Delete "$INSTDIR\${UNINSTALLER}"
    ; Only when empty: a folder the user chose may hold files of their own.
    RMDir "$INSTDIR"

    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    Delete "$DESKTOP\${PRODUCT}.lnk"

    DeleteRegKey SHCTX "Software\Classes\${FILE_CLASS}"
    ; The extension stays with whatever program took it over since.
    ReadRegStr $0 SHCTX "Software\Classes\${EXTENSION}" ""
    ${If} $0 == "${FILE_CLASS}"
        DeleteRegValue SHCTX "Software\Classes\${EXTENSION}" ""
        DeleteRegKey /IfEmpty SHCTX "Software\Classes\${EXTENSION}"
    ${EndIf}
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
