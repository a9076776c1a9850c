; The setup program of Vorlan Brisane: finds the 64-bit Finale installations (versions 25 to 27),
; installs vorlanbrisane64.fxt into the Plug-ins folder of each one chosen, and writes an
; uninstaller, the guides beside it and an entry in Windows' list of installed apps.
;
; Built by tools/build-release: makensis -INPUTCHARSET UTF8 -DVERSION=1.2.3.4 -DSTAGE=DIR
; -DFILES=FILE -DLICENSE=FILE -DOUTFILE=FILE [-DSIGN=COMMAND] installer.nsi. STAGE holds the files
; to install, their times already set to the release's; FILES defines PLUGIN_SIZE and the macro
; FOR_EACH_GUIDE, which names each guide with its size in bytes; LICENSE is the text of the
; licence page; SIGN, when given, is run on the uninstaller and on the setup program with the
; file's path as its one argument.
;
; Install and uninstall are one contract. Setup records in the installed-apps entry every file it
; wrote and the topmost folder it made for it; the uninstaller removes exactly those and then the
; entry, or, when one of them is in use, nothing. Nothing is written until every file to be
; replaced has been found replaceable and every file to write has been unpacked whole into the
; temporary folder, so that a full temporary folder stops setup before it changes anything. Each
; file is copied beside its place, under a name Finale does not load, and renamed into it once
; the file replaced has been moved aside under such a name; a write that fails after that moves
; each one back and removes what setup wrote, the entry's changes included, and says which file,
; if any, it could not put back; the entry then records the files of setup's that stay. Silent
; use never guesses: where a person would be asked, it exits with a code other than 0 and
; changes nothing.
;
; The parts, in the order they are used: installer/lists.nsh (lists in one string),
; installer/finding-finale.nsh (the installations, /FINALEDIR= and the page that chooses),
; installer/files.nsh (file operations shared with the uninstaller), installer/plan.nsh (what
; to write where, and putting it back), installer/entry.nsh (the installed-apps entry),
; installer/install.nsh and installer/uninstall.nsh (the two programs' sections).

Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
RequestExecutionLevel admin
; Installed files keep the times of the staged ones: the release's time, the same in every build.
SetDateSave on

!ifndef VERSION | STAGE | FILES | LICENSE | OUTFILE
  !error "VERSION, STAGE, FILES, LICENSE and OUTFILE must be defined (-DNAME=VALUE)"
!endif
!include "${FILES}"

!define PRODUCT "Vorlan Brisane"
!define PUBLISHER "The Vorlan Brisane authors"
!define PLUGIN_FILE "vorlanbrisane64.fxt"
!define UNINSTALLER "uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VorlanBrisane"
!define FINALE_ROOT "$PROGRAMFILES64\MakeMusic\Finale"
!define PLUGIN_FOLDER "Plug-ins"
; A file replaced waits beside its place as NAME.N.setup-old until setup has finished, and a new
; one is copied there under such a name before it takes its place: a name Finale does not load as
; a plug-in, and that no file of setup's ends with.
!define ASIDE_SUFFIX ".setup-old"
; Where Windows keeps the files and folders to remove at the next restart, in the value
; PendingFileRenameOperations.
!define SESSION_MANAGER "SYSTEM\CurrentControlSet\Control\Session Manager"
; The longest folder setup takes, in characters: with the plug-in's name and its moved-aside name
; in it, every path setup makes stays within Windows' 259 (setup does not declare longer paths).
!define MAX_FOLDER 200
; The longest command line setup reads whole.
!define /math MAX_COMMAND_LINE ${NSIS_MAX_STRLEN} - 1
; Exit codes besides NSIS's own: 0 installed, 1 cancelled by the user, 2 the script or NSIS
; itself stopped (as when it cannot unpack its own header into the temporary folder). Ours never
; take 1 or 2, so that each code means one thing.
!define EXIT_NOT_WRITTEN 3 ; a file to replace or remove is in use; nothing was changed
!define EXIT_NO_FINALE 4   ; no Finale to install into, or /FINALEDIR= names none or too long a one
!define EXIT_PART_WAY 5    ; a write failed (a full disk or temporary folder); all was put back
!define EXIT_NOT_PUT_BACK 6 ; a file could not be put back or removed; a message names it
!define EXIT_NOT_ADMIN 740 ; ERROR_ELEVATION_REQUIRED

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"

!ifdef SIGN
  !uninstfinalize '${SIGN} "%1"' = 0
  !finalize '${SIGN} "%1"' = 0
!endif

!include MUI2.nsh
!include nsDialogs.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\$(GuideFile)"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "$(ShowGuide)"
!define MUI_FINISHPAGE_NOREBOOTSUPPORT

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
Page custom FinalePage FinalePageLeave
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one for a Windows display language without its own.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "Japanese"
!include /CHARSET=UTF8 "installer-texts.nsh"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "MIT license, ${PUBLISHER}"

!include "installer/lists.nsh"
!include "installer/finding-finale.nsh"
!include "installer/files.nsh"
!include "installer/plan.nsh"
!include "installer/entry.nsh"
!include "installer/install.nsh"
!include "installer/uninstall.nsh"
