; The setup program's own texts in each of its languages (NSIS's language files give the rest).
; UTF-8. Variables in a text are those set where it is shown: $0 the folder searched for Finale,
; $1 the folder named or holding the file in use, $R2 the folder being written.

LangString NeedAdmin ${LANG_ENGLISH} "Setup needs administrator rights: it installs the plug-in for every user of this computer."
LangString NeedAdmin ${LANG_GERMAN} "Das Setup braucht Administratorrechte: Es installiert das Plug-in für alle Benutzer dieses Computers."
LangString NeedAdmin ${LANG_FRENCH} "L’installation demande les droits d’administrateur : elle installe le plug-in pour tous les utilisateurs de cet ordinateur."
LangString NeedAdmin ${LANG_JAPANESE} "このコンピューターのすべてのユーザーにプラグインをインストールするため、管理者の権限が必要です。"

LangString FinaleDirWithoutFinale ${LANG_ENGLISH} "/FINALEDIR= must name the folder of a Finale installation, but $1 holds no Finale.exe."
LangString FinaleDirWithoutFinale ${LANG_GERMAN} "/FINALEDIR= muss den Ordner einer Finale-Installation nennen, doch $1 enthält keine Finale.exe."
LangString FinaleDirWithoutFinale ${LANG_FRENCH} "/FINALEDIR= doit nommer le dossier d’une installation de Finale, mais $1 ne contient pas de Finale.exe."
LangString FinaleDirWithoutFinale ${LANG_JAPANESE} "/FINALEDIR=にはFinaleのインストール先フォルダーを指定してください。$1にはFinale.exeがありません。"

LangString FinalePageTitle ${LANG_ENGLISH} "Finale installations"
LangString FinalePageTitle ${LANG_GERMAN} "Finale-Installationen"
LangString FinalePageTitle ${LANG_FRENCH} "Installations de Finale"
LangString FinalePageTitle ${LANG_JAPANESE} "Finaleのインストール先"

LangString FinalePageSubtitle ${LANG_ENGLISH} "Choose where the plug-in goes."
LangString FinalePageSubtitle ${LANG_GERMAN} "Wählen Sie, wohin das Plug-in kommt."
LangString FinalePageSubtitle ${LANG_FRENCH} "Choisissez où installer le plug-in."
LangString FinalePageSubtitle ${LANG_JAPANESE} "プラグインのインストール先を選んでください。"

LangString FoundText ${LANG_ENGLISH} "Setup found these installations of the 64-bit Finale. The plug-in is installed into the Plug-ins folder of each one checked."
LangString FoundText ${LANG_GERMAN} "Das Setup hat diese Installationen des 64-Bit-Finale gefunden. Das Plug-in wird in den Ordner „Plug-ins“ jeder angekreuzten Installation installiert."
LangString FoundText ${LANG_FRENCH} "Le programme d’installation a trouvé ces installations de Finale 64 bits. Le plug-in est installé dans le dossier « Plug-ins » de chaque installation cochée."
LangString FoundText ${LANG_JAPANESE} "64ビット版Finaleの次のインストールが見つかりました。チェックしたそれぞれの「Plug-ins」フォルダーにプラグインをインストールします。"

LangString NoneFoundText ${LANG_ENGLISH} "Setup found no 64-bit Finale 25, 26 or 27 in $0.$\r$\n$\r$\nYou may choose a folder for the plug-in anyway. Finale loads plug-ins only from its own plug-in folder (usually the folder Plug-ins in Finale's folder): installed anywhere else, the plug-in does not appear in Finale."
LangString NoneFoundText ${LANG_GERMAN} "Das Setup hat in $0 kein 64-Bit-Finale 25, 26 oder 27 gefunden.$\r$\n$\r$\nSie können trotzdem einen Ordner für das Plug-in wählen. Finale lädt Plug-ins nur aus seinem eigenen Plug-in-Ordner (meist dem Ordner „Plug-ins“ im Finale-Ordner); an anderer Stelle installiert, erscheint das Plug-in nicht in Finale."
LangString NoneFoundText ${LANG_FRENCH} "Aucun Finale 25, 26 ou 27 en 64 bits n’a été trouvé dans $0.$\r$\n$\r$\nVous pouvez tout de même choisir un dossier pour le plug-in. Finale ne charge les plug-ins que depuis son propre dossier de plug-ins (en général le dossier « Plug-ins » du dossier de Finale) : installé ailleurs, le plug-in n’apparaît pas dans Finale."
LangString NoneFoundText ${LANG_JAPANESE} "$0に64ビット版のFinale 25、26、27が見つかりませんでした。$\r$\n$\r$\nそれでもプラグインのフォルダーを選ぶことはできます。Finaleはプラグインを自身のプラグインフォルダー（通常はFinaleのフォルダー内の「Plug-ins」）からしか読み込みません。ほかの場所にインストールしたプラグインはFinaleに表示されません。"

LangString PickFolder ${LANG_ENGLISH} "Choose the folder for the plug-in"
LangString PickFolder ${LANG_GERMAN} "Ordner für das Plug-in wählen"
LangString PickFolder ${LANG_FRENCH} "Choisissez le dossier du plug-in"
LangString PickFolder ${LANG_JAPANESE} "プラグインのフォルダーを選んでください"

LangString NoneChecked ${LANG_ENGLISH} "Check at least one installation of Finale."
LangString NoneChecked ${LANG_GERMAN} "Kreuzen Sie mindestens eine Finale-Installation an."
LangString NoneChecked ${LANG_FRENCH} "Cochez au moins une installation de Finale."
LangString NoneChecked ${LANG_JAPANESE} "Finaleのインストール先を1つ以上チェックしてください。"

LangString NoFolder ${LANG_ENGLISH} "Choose a folder with its drive, such as C:\Program Files\MakeMusic\Finale\27\Plug-ins."
LangString NoFolder ${LANG_GERMAN} "Wählen Sie einen Ordner mit Laufwerk, etwa C:\Program Files\MakeMusic\Finale\27\Plug-ins."
LangString NoFolder ${LANG_FRENCH} "Choisissez un dossier avec son lecteur, par exemple C:\Program Files\MakeMusic\Finale\27\Plug-ins."
LangString NoFolder ${LANG_JAPANESE} "C:\Program Files\MakeMusic\Finale\27\Plug-insのように、ドライブを含むフォルダーを選んでください。"

LangString InUse ${LANG_ENGLISH} "A file in $1 cannot be replaced or removed now, most likely because Finale is running.$\r$\n$\r$\nQuit Finale and choose Retry, or choose Cancel to leave everything as it was."
LangString InUse ${LANG_GERMAN} "Eine Datei in $1 kann jetzt nicht ersetzt oder entfernt werden, wahrscheinlich weil Finale läuft.$\r$\n$\r$\nBeenden Sie Finale und wählen Sie „Wiederholen“, oder wählen Sie „Abbrechen“, um alles zu lassen, wie es war."
LangString InUse ${LANG_FRENCH} "Un fichier de $1 ne peut pas être remplacé ni supprimé pour l’instant, sans doute parce que Finale est ouvert.$\r$\n$\r$\nQuittez Finale et choisissez « Réessayer », ou choisissez « Annuler » pour tout laisser en l’état."
LangString InUse ${LANG_JAPANESE} "$1のファイルを置き換えることも削除することもできません。Finaleが起動している可能性があります。$\r$\n$\r$\nFinaleを終了して「再試行」を選ぶか、「キャンセル」を選んで何も変更せずに終了してください。"

LangString NotWritten ${LANG_ENGLISH} "The plug-in could not be written to $R2. Setup put back everything it had changed."
LangString NotWritten ${LANG_GERMAN} "Das Plug-in konnte nicht nach $R2 geschrieben werden. Das Setup hat alles zurückgesetzt, was es geändert hatte."
LangString NotWritten ${LANG_FRENCH} "Le plug-in n’a pas pu être écrit dans $R2. Tout ce que l’installation avait modifié a été rétabli."
LangString NotWritten ${LANG_JAPANESE} "$R2にプラグインを書き込めませんでした。変更した内容はすべて元に戻しました。"

LangString Installed ${LANG_ENGLISH} "Plug-in installed in $R2"
LangString Installed ${LANG_GERMAN} "Plug-in installiert in $R2"
LangString Installed ${LANG_FRENCH} "Plug-in installé dans $R2"
LangString Installed ${LANG_JAPANESE} "プラグインをインストールしました：$R2"

LangString Removed ${LANG_ENGLISH} "Removed: $1"
LangString Removed ${LANG_GERMAN} "Entfernt: $1"
LangString Removed ${LANG_FRENCH} "Supprimé : $1"
LangString Removed ${LANG_JAPANESE} "削除しました：$1"

LangString ShowGuide ${LANG_ENGLISH} "Show the guide to Vorlan Brisane"
LangString ShowGuide ${LANG_GERMAN} "Die Anleitung zu Vorlan Brisane anzeigen"
LangString ShowGuide ${LANG_FRENCH} "Afficher le guide de Vorlan Brisane"
LangString ShowGuide ${LANG_JAPANESE} "Vorlan Brisaneのガイドを表示する"

; The guide in the setup program's language, installed beside the uninstaller.
LangString GuideFile ${LANG_ENGLISH} "GUIDE.html"
LangString GuideFile ${LANG_GERMAN} "GUIDE.de.html"
LangString GuideFile ${LANG_FRENCH} "GUIDE.fr.html"
LangString GuideFile ${LANG_JAPANESE} "GUIDE.ja.html"
