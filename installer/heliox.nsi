; Heliox's Windows installer. The build runs makensis with these symbols (installer/CMakeLists.txt):
;
;   VERSION   the project's version, e.g. 0.1          ARCH      x64 or x86
;   SCR       the built heliox.scr                     DATA      the show, data.sdd
;   LICENSE   the licence file                         ICON      the program's icon
;   PICTURES  the folder of welcome.bmp and header.bmp OUTFILE   the installer to write
;
; What it does, and what the uninstaller undoes:
;   - heliox.scr, data.sdd and LICENSE.txt go into Program Files\Heliox, or, for a user who is not an
;     administrator (or who asks with /CurrentUser), into the user's own programs folder (%LOCALAPPDATA%\Programs).
;   - HKCU\Software\Corvane\Heliox "Path" names that folder: the program reads data.sdd from there whichever
;     folder the system starts it in. The program's settings, the other values of that key, are left alone.
;     An installation for all users also writes HKLM\Software\Corvane\Heliox "Path", for every other user, and
;     copies heliox.scr into the system folder, where the Screen Saver list looks for savers: a saver in
;     Program Files drops out of the list as soon as another one is chosen.
;   - A Start-menu folder, Heliox, with "Heliox settings" (the saver's own dialog) and "Use Heliox as my screen
;     saver" (the system's Install command for a saver: it chooses it and opens the Screen Saver settings).
;   - An installation in the other mode (for all users or for one) is one too many: the second offers to
;     replace the first (a silent install replaces it), and removes it with its own uninstaller.
;   - On request, HKCU\Control Panel\Desktop "SCRNSAVE.EXE" names the installed saver, in the short form the
;     system's own "Install" command writes, and the screen saver is turned on; the uninstaller turns it off
;     again only if the installer turned it on and the choice still names this installation.
;   - Folders the installer made (the installation folder, the one it lies in when that was missing, the
;     Start-menu folder) go with the uninstall when nothing else is left in them.
;   - An entry in the list of installed programs, under HKLM or HKCU as the installation was made.
;
; Switches: /S silent, /D=folder, /AllUsers or /CurrentUser, /SETSAVER (silent installs only: make Heliox the
; screen saver; an interactive install offers it on the components page). The uninstaller: /S, and
; /REMOVESETTINGS to remove the settings as well when silent (interactively it asks on its components page).

Unicode true
!if "${ARCH}" == "x64"
    Target amd64-unicode
!else if "${ARCH}" == "x86"
    Target x86-unicode
!else
    !error "ARCH must be x64 or x86"
!endif

!define PRODUCT "Heliox"
!define PUBLISHER "Corvane"
!define SETTINGS_KEY "Software\Corvane\Heliox"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Heliox"
!define DESKTOP_KEY "Control Panel\Desktop"
!define START_MENU_FOLDER "$SMPROGRAMS\${PRODUCT}"
; The program reads Path with room for 254 characters in the system's code page; a longer folder name is not
; read at all, and the show would not be found.
!define MAX_PATH_SETTING 254

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
SetCompressor /SOLID lzma
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 ProductName "${PRODUCT}"
VIAddVersionKey /LANG=1033 ProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=1033 FileDescription "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 FileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 LegalCopyright "Copyright (c) 2026 The Heliox developers, MIT License"

; An administrator installs for everyone by default (Program Files), anyone else for themselves; an earlier
; installation's mode and folder are found in its uninstall entry, so installing again updates it in place.
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "${PRODUCT}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"
!if "${ARCH}" == "x64"
    !define MULTIUSER_USE_PROGRAMFILES64
!endif
; The uninstaller finds its mode from the entry that names its own folder (un.onInit).
!define MULTIUSER_NOUNINSTALL

!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${PICTURES}\welcome.bmp"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${PICTURES}\welcome.bmp"
!define MUI_HEADERIMAGE
!define MUI_HEADERIMAGE_RIGHT
!define MUI_HEADERIMAGE_BITMAP "${PICTURES}\header.bmp"
!define MUI_HEADERIMAGE_UNBITMAP "${PICTURES}\header.bmp"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TITLE "Welcome to ${PRODUCT} ${VERSION} Setup"
!define MUI_WELCOMEPAGE_TEXT "${PRODUCT} is a screen saver: whenever the screen rests, a camera drifts past the Sun, \
the planets and their moons, with music.$\r$\n$\r$\nSetup will install ${PRODUCT} ${VERSION} on this computer and can \
make it your screen saver.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
; The MIT licence asks for nothing to be accepted: the page shows it and moves on.
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!define MUI_LICENSEPAGE_TEXT_BOTTOM "${PRODUCT} is free software under this licence. Click Next to continue."
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckFolderPage
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE "${PRODUCT} ${VERSION} is installed"
!define MUI_FINISHPAGE_TEXT "Choose ${PRODUCT} and its settings in the system's Screen Saver Settings, \
where its Settings button opens the saver's own options."
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_NOTCHECKED
!define MUI_FINISHPAGE_RUN_TEXT "Open the Screen Saver Settings"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenScreenSaverSettings
!define MUI_FINISHPAGE_NOREBOOTSUPPORT
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; The short form of a file's path, as the system names screen savers; the long form where there is none.
!macro ShortPath OUT FILE
    GetFullPathName /SHORT ${OUT} "${FILE}"
    ${If} ${OUT} == ""
        StrCpy ${OUT} "${FILE}"
    ${EndIf}
!macroend

Var FolderProblem
Var SaverMoved
Var FolderGiven
Var ParentMade
Var UnAllUsers

; Sets $FolderProblem to what is wrong with $INSTDIR as the Path setting, or to "" when nothing is: the
; program reads Path through the system's code page, so every character must exist there, and at most
; ${MAX_PATH_SETTING} bytes of it fit.
Function CheckFolder
    StrCpy $FolderProblem ""
    ; WC_NO_BEST_FIT_CHARS: a character the code page lacks counts as lacking, not as a look-alike.
    System::Call 'kernel32::WideCharToMultiByte(i 0, i 0x400, w "$INSTDIR", i -1, p 0, i 0, p 0, *i 0 r1) i .r0'
    ${If} $1 <> 0
        StrCpy $FolderProblem "The folder name has characters that Windows' code page for programs cannot \
hold, so the screen saver could not find its show there.$\r$\n$\r$\nChoose a folder whose name has none: $INSTDIR"
    ${ElseIf} $0 > 255
        StrCpy $FolderProblem "The folder name is longer than ${MAX_PATH_SETTING} characters, too long for the \
screen saver to find its show there.$\r$\n$\r$\nChoose a shorter folder: $INSTDIR"
    ${EndIf}
FunctionEnd

Function CheckFolderPage
    Call CheckFolder
    ${If} $FolderProblem != ""
        MessageBox MB_OK|MB_ICONEXCLAMATION "$FolderProblem"
        Abort
    ${EndIf}
FunctionEnd

Function MakeScreenSaver
    !insertmacro ShortPath $0 "$INSTDIR\heliox.scr"
    WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$0"
    ; Whether the screen saver was on before, so that the uninstaller turns off only what this turned on.
    ReadRegStr $1 HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
    ${If} $1 != "1"
        WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "TurnedScreenSaverOn" 1
        WriteRegStr SHCTX "${UNINSTALL_KEY}" "ScreenSaveActiveBefore" "$1"
    ${EndIf}
    ; Turns the screen saver on (it may have been "(None)") and tells the running programs:
    ; SPI_SETSCREENSAVEACTIVE, with SPIF_UPDATEINIFILE | SPIF_SENDCHANGE.
    System::Call 'user32::SystemParametersInfoW(i 17, i 1, p 0, i 3)'
FunctionEnd

; An installation in the other mode is replaced by this one: its uninstaller removes it silently (in its own
; folder, with _?=, so that this waits for it), and its saver choice moves to this one. Quits when the user
; keeps it, or when it cannot be removed (an installation for all users needs an administrator).
Function ReplaceOtherInstallation
    ${If} $MultiUser.InstallMode == "AllUsers"
        ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
        StrCpy $3 "for you alone"
    ${Else}
        ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
        StrCpy $3 "for all users"
    ${EndIf}
    ${If} $0 == ""
    ${OrIfNot} ${FileExists} "$0\uninstall.exe"
        Return
    ${EndIf}
    MessageBox MB_YESNO|MB_ICONQUESTION "${PRODUCT} is already installed $3 in $0.$\r$\n$\r$\nReplace it with \
this installation? Its settings stay." /SD IDYES IDYES replace
    Quit
replace:
    !insertmacro ShortPath $1 "$0\heliox.scr"
    ReadRegStr $2 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${If} $2 == $1
    ${OrIf} $2 == "$0\heliox.scr"
        StrCpy $SaverMoved 1
    ${EndIf}
    ExecWait '"$0\uninstall.exe" /S _?=$0' $4
    ${If} ${FileExists} "$0\heliox.scr"
        MessageBox MB_OK|MB_ICONSTOP "The ${PRODUCT} installed $3 in $0 could not be removed.$\r$\n$\r$\n\
Remove it from the list of installed programs (as an administrator if it was installed for all users), then \
run this setup again." /SD IDOK
        SetErrorLevel 3
        Quit
    ${EndIf}
    ; Run in place, the uninstaller cannot remove itself.
    Delete "$0\uninstall.exe"
    RMDir "$0"
FunctionEnd

Function OpenScreenSaverSettings
    Exec '"$SYSDIR\control.exe" desk.cpl,,@screensaver'
FunctionEnd

Section "${PRODUCT} ${VERSION}" SecProgram
    SectionIn RO
    Call ReplaceOtherInstallation
    ; An earlier installation in another folder is moved, not left behind: its files go, and a saver choice
    ; that named it names the new one.
    ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
    ${AndIf} $0 != $INSTDIR
    ${AndIf} ${FileExists} "$0\uninstall.exe"
        !insertmacro ShortPath $1 "$0\heliox.scr"
        ReadRegStr $2 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
        Delete "$0\heliox.scr"
        Delete "$0\data.sdd"
        Delete "$0\LICENSE.txt"
        Delete "$0\uninstall.exe"
        RMDir "$0"
        ${If} $2 == $1
        ${OrIf} $2 == "$0\heliox.scr"
            StrCpy $SaverMoved 1
        ${EndIf}
    ${EndIf}

    ; The folder the installation lies in, when this makes it, goes with the uninstall (when empty).
    ${GetParent} "$INSTDIR" $0
    ${IfNot} ${FileExists} "$0\*.*"
        StrCpy $ParentMade 1
    ${EndIf}
    SetOutPath "$INSTDIR"
    File "/oname=heliox.scr" "${SCR}"
    File "/oname=data.sdd" "${DATA}"
    File "/oname=LICENSE.txt" "${LICENSE}"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    WriteRegStr HKCU "${SETTINGS_KEY}" "Path" "$INSTDIR"
    ${If} $MultiUser.InstallMode == "AllUsers"
        WriteRegStr HKLM "${SETTINGS_KEY}" "Path" "$INSTDIR"
        ; The 64-bit installer runs as a 64-bit program: $SYSDIR is the 64-bit system folder.
        SetOutPath "$SYSDIR"
        File "/oname=heliox.scr" "${SCR}"
        SetOutPath "$INSTDIR"
    ${EndIf}

    CreateDirectory "${START_MENU_FOLDER}"
    CreateShortCut "${START_MENU_FOLDER}\${PRODUCT} settings.lnk" "$INSTDIR\heliox.scr" "/c" \
        "$INSTDIR\heliox.scr" 0 SW_SHOWNORMAL "" "Change how ${PRODUCT} shows the solar system"
    CreateShortCut "${START_MENU_FOLDER}\Use ${PRODUCT} as my screen saver.lnk" "$SYSDIR\rundll32.exe" \
        'desk.cpl,InstallScreenSaver "$INSTDIR\heliox.scr"' "$INSTDIR\heliox.scr" 0 SW_SHOWNORMAL "" \
        "Make ${PRODUCT} the screen saver and open the Screen Saver settings"

    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\heliox.scr"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    ${If} $ParentMade == 1
        WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "MadeParentFolder" 1
    ${EndIf}
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0

    ${If} $SaverMoved == 1
        Call MakeScreenSaver
    ${EndIf}
SectionEnd

Section "Make ${PRODUCT} my screen saver" SecSaver
    Call MakeScreenSaver
SectionEnd

; Comes after the sections: it selects them by their numbers.
Function .onInit
    ; MultiUser chooses the mode and its default folder, and would overwrite a folder given with /D=.
    StrCpy $FolderGiven $INSTDIR
    !insertmacro MULTIUSER_INIT
    ${If} $FolderGiven != ""
        StrCpy $INSTDIR $FolderGiven
    ${EndIf}
    ${If} ${Silent}
        ${GetParameters} $R0
        ClearErrors
        ${GetOptions} $R0 "/SETSAVER" $R1
        ${If} ${Errors}
            !insertmacro UnselectSection ${SecSaver}
        ${EndIf}
        ; No page checks the folder in a silent install: a folder the saver could not use fails it here.
        Call CheckFolder
        ${If} $FolderProblem != ""
            SetErrorLevel 2
            Quit
        ${EndIf}
    ${EndIf}
FunctionEnd

Section "un.${PRODUCT} ${VERSION}" UnSecProgram
    SectionIn RO
    ; The saver choice is compared before the file goes: a missing file has no short name. The screen saver
    ; goes off again only if the installer turned it on for this installation.
    !insertmacro ShortPath $1 "$INSTDIR\heliox.scr"
    !insertmacro ShortPath $2 "$SYSDIR\heliox.scr"
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ReadRegDWORD $3 SHCTX "${UNINSTALL_KEY}" "TurnedScreenSaverOn"
    ${If} $0 == $1
    ${OrIf} $0 == "$INSTDIR\heliox.scr"
    ${OrIf} $0 == $2
        DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
        ${If} $3 == 1
            ; ScreenSaveActive as it was (missing, or "0"), then SPI_SETSCREENSAVEACTIVE off with
            ; SPIF_SENDCHANGE alone, which tells the running programs without writing the value again.
            ReadRegStr $4 SHCTX "${UNINSTALL_KEY}" "ScreenSaveActiveBefore"
            ${If} $4 == ""
                DeleteRegValue HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
            ${Else}
                WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "$4"
            ${EndIf}
            System::Call 'user32::SystemParametersInfoW(i 17, i 0, p 0, i 2)'
        ${EndIf}
    ${EndIf}

    Delete "$INSTDIR\heliox.scr"
    Delete "$INSTDIR\data.sdd"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\uninstall.exe"
    ; Only when empty: whatever else the user put there stays.
    RMDir "$INSTDIR"
    ReadRegDWORD $3 SHCTX "${UNINSTALL_KEY}" "MadeParentFolder"
    ${If} $3 == 1
        ${GetParent} "$INSTDIR" $4
        RMDir "$4"
    ${EndIf}

    Delete "${START_MENU_FOLDER}\${PRODUCT} settings.lnk"
    Delete "${START_MENU_FOLDER}\Use ${PRODUCT} as my screen saver.lnk"
    RMDir "${START_MENU_FOLDER}"

    ; Path only when it names this installation; another may have been made since.
    ReadRegStr $0 HKCU "${SETTINGS_KEY}" "Path"
    ${If} $0 == $INSTDIR
        DeleteRegValue HKCU "${SETTINGS_KEY}" "Path"
    ${EndIf}
    DeleteRegKey /ifempty HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Corvane"
    ${If} $UnAllUsers == 1
        ReadRegStr $0 HKLM "${SETTINGS_KEY}" "Path"
        ${If} $0 == $INSTDIR
            DeleteRegValue HKLM "${SETTINGS_KEY}" "Path"
            Delete "$SYSDIR\heliox.scr"
        ${EndIf}
        DeleteRegKey /ifempty HKLM "${SETTINGS_KEY}"
        DeleteRegKey /ifempty HKLM "Software\Corvane"
    ${EndIf}

    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.My ${PRODUCT} settings (speed, music, brightness, clock)" UnSecSettings
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Corvane"
SectionEnd

; Comes after the sections: it selects them by their numbers.
Function un.onInit
    ; The entry for all users names this folder when the installation was made for all users.
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 == $INSTDIR
        UserInfo::GetAccountType
        Pop $1
        ${If} $1 != "Admin"
            MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} was installed for all users of this computer: \
only an administrator can remove it." /SD IDOK
            SetErrorLevel 5
            Quit
        ${EndIf}
        SetShellVarContext all
        StrCpy $UnAllUsers 1
    ${Else}
        SetShellVarContext current
    ${EndIf}
    ${If} ${Silent}
        ${GetParameters} $R0
        ClearErrors
        ${GetOptions} $R0 "/REMOVESETTINGS" $R1
        ${IfNot} ${Errors}
            !insertmacro SelectSection ${UnSecSettings}
        ${EndIf}
    ${EndIf}
FunctionEnd
