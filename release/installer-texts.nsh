; The setup program's own texts in each of its languages (NSIS's language files give the rest).
; UTF-8. Variables in a text are those set where it is shown: $0 the folder searched for Finale,
; $1 the folder named or holding the file in use, $R2 the folder or file being written.

LangString NeedAdmin ${LANG_ENGLISH} "Setup needs administrator rights: it installs the plug-in for every user of this computer."
LangString NeedAdmin ${LANG_GERMAN} "Das Setup-Programm benötigt Administratorrechte: Es installiert das Plug-in für alle Benutzer dieses Computers."
LangString NeedAdmin ${LANG_FRENCH} "Le programme d’installation nécessite les droits d’administrateur : il installe le plug-in pour tous les utilisateurs de cet ordinateur."
LangString NeedAdmin ${LANG_JAPANESE} "このコンピューターのすべてのユーザーにプラグインをインストールするため、管理者の権限が必要です。"

LangString FinaleDirWithoutFinale ${LANG_ENGLISH} "/FINALEDIR= must name the folder of a Finale installation, but $1 holds no Finale.exe."
LangString FinaleDirWithoutFinale ${LANG_GERMAN} "/FINALEDIR= muss den Ordner einer Finale-Installation nennen, doch $1 enthält keine Finale.exe."
LangString FinaleDirWithoutFinale ${LANG_FRENCH} "/FINALEDIR= doit nommer le dossier d’une installation de Finale, mais $1 ne contient pas de Finale.exe."
LangString FinaleDirWithoutFinale ${LANG_JAPANESE} "/FINALEDIR=にはFinaleのインストール先フォルダーを指定してください。$1にはFinale.exeがありません。"

LangString FinaleDirNotFull ${LANG_ENGLISH} "/FINALEDIR= must give the full path of the folder, from its drive or network share (such as C:\Program Files\MakeMusic\Finale\27), but it gives $1."
LangString FinaleDirNotFull ${LANG_GERMAN} "/FINALEDIR= muss den vollständigen Pfad des Ordners mit Laufwerk oder Netzwerkfreigabe angeben (etwa C:\Program Files\MakeMusic\Finale\27), angegeben ist jedoch $1."
LangString FinaleDirNotFull ${LANG_FRENCH} "/FINALEDIR= doit indiquer le chemin complet du dossier, lecteur ou partage réseau compris (par exemple C:\Program Files\MakeMusic\Finale\27), mais il indique $1."
LangString FinaleDirNotFull ${LANG_JAPANESE} "/FINALEDIR=には、ドライブまたはネットワーク共有から始まるフォルダーの完全なパス（例：C:\Program Files\MakeMusic\Finale\27）を指定してください。指定された値は「$1」です。"

LangString FinaleDirRoot ${LANG_ENGLISH} "/FINALEDIR= must name the folder of a Finale installation, but $1 is the root of a drive."
LangString FinaleDirRoot ${LANG_GERMAN} "/FINALEDIR= muss den Ordner einer Finale-Installation nennen, doch $1 ist das Stammverzeichnis eines Laufwerks."
LangString FinaleDirRoot ${LANG_FRENCH} "/FINALEDIR= doit nommer le dossier d’une installation de Finale, mais $1 est la racine d’un lecteur."
LangString FinaleDirRoot ${LANG_JAPANESE} "/FINALEDIR=にはFinaleのインストール先フォルダーを指定してください。$1はドライブのルートです。"

LangString FinalePageTitle ${LANG_ENGLISH} "Finale installations"
LangString FinalePageTitle ${LANG_GERMAN} "Finale-Installationen"
LangString FinalePageTitle ${LANG_FRENCH} "Installations de Finale"
LangString FinalePageTitle ${LANG_JAPANESE} "Finaleのインストール先"

LangString FinalePageSubtitle ${LANG_ENGLISH} "Choose where the plug-in goes."
LangString FinalePageSubtitle ${LANG_GERMAN} "Wählen Sie aus, wo das Plug-in installiert werden soll."
LangString FinalePageSubtitle ${LANG_FRENCH} "Choisissez où installer le plug-in."
LangString FinalePageSubtitle ${LANG_JAPANESE} "プラグインのインストール先を選んでください。"

LangString FoundText ${LANG_ENGLISH} "Setup found these installations of the 64-bit Finale. The plug-in is installed into the Plug-ins folder of each one checked."
LangString FoundText ${LANG_GERMAN} "Das Setup-Programm hat diese Installationen des 64-Bit-Finale gefunden. Das Plug-in wird in den Ordner „Plug-ins“ jeder ausgewählten Installation installiert."
LangString FoundText ${LANG_FRENCH} "Le programme d’installation a trouvé ces installations de Finale 64 bits. Le plug-in est installé dans le dossier « Plug-ins » de chaque installation cochée."
LangString FoundText ${LANG_JAPANESE} "64ビット版Finaleのインストール先が次のとおり見つかりました。チェックした各インストール先の「Plug-ins」フォルダーにプラグインをインストールします。"

LangString NoneFoundText ${LANG_ENGLISH} "Setup found no 64-bit Finale 25, 26 or 27 in $0.$\r$\n$\r$\nYou may choose a folder for the plug-in anyway. Finale loads plug-ins only from its own plug-in folder (usually the folder Plug-ins in Finale's folder): installed anywhere else, the plug-in does not appear in Finale."
LangString NoneFoundText ${LANG_GERMAN} "Das Setup-Programm hat in $0 kein 64-Bit-Finale 25, 26 oder 27 gefunden.$\r$\n$\r$\nSie können trotzdem einen Ordner für das Plug-in wählen. Finale lädt Plug-ins nur aus seinem eigenen Plug-in-Ordner (meist dem Ordner „Plug-ins“ im Finale-Ordner); an anderer Stelle installiert, erscheint das Plug-in nicht in Finale."
LangString NoneFoundText ${LANG_FRENCH} "Aucun Finale 25, 26 ou 27 en 64 bits n’a été trouvé dans $0.$\r$\n$\r$\nVous pouvez tout de même choisir un dossier pour le plug-in. Finale ne charge les plug-ins que depuis son propre dossier de plug-ins (en général le dossier « Plug-ins » du dossier de Finale) : installé ailleurs, le plug-in n’apparaît pas dans Finale."
LangString NoneFoundText ${LANG_JAPANESE} "$0に64ビット版のFinale 25、26、27が見つかりませんでした。$\r$\n$\r$\nそれでもプラグインのフォルダーを選ぶことはできます。Finaleはプラグインを自身のプラグインフォルダー（通常はFinaleのフォルダー内の「Plug-ins」）からしか読み込みません。ほかの場所にインストールしたプラグインはFinaleに表示されません。"

LangString PickFolder ${LANG_ENGLISH} "Choose the folder for the plug-in"
LangString PickFolder ${LANG_GERMAN} "Ordner für das Plug-in wählen"
LangString PickFolder ${LANG_FRENCH} "Choisissez le dossier du plug-in"
LangString PickFolder ${LANG_JAPANESE} "プラグインのフォルダーを選んでください"

LangString NoneChecked ${LANG_ENGLISH} "Check at least one installation of Finale."
LangString NoneChecked ${LANG_GERMAN} "Wählen Sie mindestens eine Finale-Installation aus."
LangString NoneChecked ${LANG_FRENCH} "Cochez au moins une installation de Finale."
LangString NoneChecked ${LANG_JAPANESE} "Finaleのインストール先を1つ以上チェックしてください。"

LangString NoFolder ${LANG_ENGLISH} "Choose a folder with its drive, such as C:\Program Files\MakeMusic\Finale\27\Plug-ins."
LangString NoFolder ${LANG_GERMAN} "Wählen Sie einen vollständigen Pfad mit Laufwerk, etwa C:\Program Files\MakeMusic\Finale\27\Plug-ins."
LangString NoFolder ${LANG_FRENCH} "Choisissez un chemin complet, lecteur compris, par exemple C:\Program Files\MakeMusic\Finale\27\Plug-ins."
LangString NoFolder ${LANG_JAPANESE} "C:\Program Files\MakeMusic\Finale\27\Plug-insのように、ドライブを含むフォルダーを選んでください。"

LangString FolderRoot ${LANG_ENGLISH} "The plug-in cannot go into the root of a drive. Choose a folder such as C:\Program Files\MakeMusic\Finale\27\Plug-ins."
LangString FolderRoot ${LANG_GERMAN} "Das Plug-in kann nicht im Stammverzeichnis eines Laufwerks installiert werden. Wählen Sie einen Ordner wie C:\Program Files\MakeMusic\Finale\27\Plug-ins."
LangString FolderRoot ${LANG_FRENCH} "Le plug-in ne peut pas être installé à la racine d’un lecteur. Choisissez un dossier, par exemple C:\Program Files\MakeMusic\Finale\27\Plug-ins."
LangString FolderRoot ${LANG_JAPANESE} "ドライブのルートにはプラグインをインストールできません。C:\Program Files\MakeMusic\Finale\27\Plug-insのようなフォルダーを選んでください。"

LangString InUse ${LANG_ENGLISH} "A file in $1 cannot be replaced or removed now, most likely because Finale is running.$\r$\n$\r$\nQuit Finale and choose Retry, or choose Cancel to leave everything as it was."
LangString InUse ${LANG_GERMAN} "Eine Datei in $1 kann jetzt nicht ersetzt oder entfernt werden, wahrscheinlich weil Finale läuft.$\r$\n$\r$\nBeenden Sie Finale und wählen Sie „Wiederholen“, oder wählen Sie „Abbrechen“, um alles zu lassen, wie es war."
LangString InUse ${LANG_FRENCH} "Un fichier de $1 ne peut pas être remplacé ni supprimé pour l’instant, sans doute parce que Finale est ouvert.$\r$\n$\r$\nQuittez Finale et choisissez « Réessayer », ou choisissez « Annuler » pour tout laisser en l’état."
LangString InUse ${LANG_JAPANESE} "$1のファイルを置き換えることも削除することもできません。Finaleが起動している可能性があります。$\r$\n$\r$\nFinaleを終了して「再試行」を選ぶか、「キャンセル」を選んで何も変更せずに終了してください。"

LangString NotWritten ${LANG_ENGLISH} "Setup could not write $R2, perhaps because the disk is full. It put back everything it had changed: nothing was installed."
LangString NotWritten ${LANG_GERMAN} "Das Setup-Programm konnte $R2 nicht schreiben, vielleicht weil der Datenträger voll ist. Alle Änderungen wurden rückgängig gemacht; es wurde nichts installiert."
LangString NotWritten ${LANG_FRENCH} "Le programme d’installation n’a pas pu écrire $R2, peut-être parce que le disque est plein. Toutes ses modifications ont été annulées : rien n’a été installé."
LangString NotWritten ${LANG_JAPANESE} "$R2に書き込めませんでした。ディスクがいっぱいになっている可能性があります。変更した内容はすべて元に戻したため、何もインストールされていません。"

LangString NoTempSpace ${LANG_ENGLISH} "Setup could not unpack its files into the temporary folder $TEMP, perhaps because its disk is full. Nothing was changed."
LangString NoTempSpace ${LANG_GERMAN} "Das Setup-Programm konnte seine Dateien nicht in den temporären Ordner $TEMP entpacken, vielleicht weil dessen Datenträger voll ist. Es wurde nichts geändert."
LangString NoTempSpace ${LANG_FRENCH} "Le programme d’installation n’a pas pu décompresser ses fichiers dans le dossier temporaire $TEMP, peut-être parce que son disque est plein. Rien n’a été modifié."
LangString NoTempSpace ${LANG_JAPANESE} "一時フォルダー$TEMPにファイルを展開できませんでした。ディスクがいっぱいになっている可能性があります。何も変更していません。"

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

; Texts of files that setup could not put back or remove, and of folders too long for it. $1 is
; the file, $2 where its earlier version is kept, $R2 the file whose write failed.

LangString FinaleDirTooLong ${LANG_ENGLISH} "/FINALEDIR= cannot be used: setup takes a folder of at most ${MAX_FOLDER} characters, in a command line of at most 1,023 characters."
LangString FinaleDirTooLong ${LANG_GERMAN} "/FINALEDIR= kann nicht verwendet werden: Das Setup-Programm nimmt einen Ordner mit höchstens ${MAX_FOLDER} Zeichen an, in einer Befehlszeile mit höchstens 1.023 Zeichen."
LangString FinaleDirTooLong ${LANG_FRENCH} "/FINALEDIR= ne peut pas être utilisé : le programme d’installation accepte un dossier de ${MAX_FOLDER} caractères au plus, dans une ligne de commande de 1 023 caractères au plus."
LangString FinaleDirTooLong ${LANG_JAPANESE} "/FINALEDIR=の指定は使えません。フォルダーは${MAX_FOLDER}文字以内、コマンドライン全体は1,023文字以内で指定してください。"

LangString FolderTooLong ${LANG_ENGLISH} "Choose a folder of at most ${MAX_FOLDER} characters: setup cannot write into a longer one."
LangString FolderTooLong ${LANG_GERMAN} "Wählen Sie einen Ordner mit höchstens ${MAX_FOLDER} Zeichen: In einen längeren kann das Setup-Programm nicht schreiben."
LangString FolderTooLong ${LANG_FRENCH} "Choisissez un dossier de ${MAX_FOLDER} caractères au plus : le programme d’installation ne peut pas écrire dans un dossier plus long."
LangString FolderTooLong ${LANG_JAPANESE} "${MAX_FOLDER}文字以内のフォルダーを選んでください。これより長いフォルダーには書き込めません。"

LangString KeptAside ${LANG_ENGLISH} "Setup could not write $R2, perhaps because the disk is full. It undid its changes, but could not put back $1: the earlier version of that file is kept as $2."
LangString KeptAside ${LANG_GERMAN} "Das Setup-Programm konnte $R2 nicht schreiben, vielleicht weil der Datenträger voll ist. Es hat seine Änderungen rückgängig gemacht, konnte aber $1 nicht wiederherstellen: Die frühere Version dieser Datei ist als $2 erhalten."
LangString KeptAside ${LANG_FRENCH} "Le programme d’installation n’a pas pu écrire $R2, peut-être parce que le disque est plein. Il a annulé ses modifications, mais n’a pas pu remettre en place $1 : la version précédente de ce fichier est conservée sous le nom $2."
LangString KeptAside ${LANG_JAPANESE} "$R2に書き込めませんでした。ディスクがいっぱいになっている可能性があります。変更した内容は元に戻しましたが、$1は元に戻せませんでした。このファイルの以前のバージョンは$2として残してあります。"

LangString LeftWritten ${LANG_ENGLISH} "Setup could not write $R2, perhaps because the disk is full. It undid its changes, but could not remove $1, which it had written."
LangString LeftWritten ${LANG_GERMAN} "Das Setup-Programm konnte $R2 nicht schreiben, vielleicht weil der Datenträger voll ist. Es hat seine Änderungen rückgängig gemacht, konnte aber die von ihm geschriebene Datei $1 nicht entfernen."
LangString LeftWritten ${LANG_FRENCH} "Le programme d’installation n’a pas pu écrire $R2, peut-être parce que le disque est plein. Il a annulé ses modifications, mais n’a pas pu supprimer $1, qu’il avait écrit."
LangString LeftWritten ${LANG_JAPANESE} "$R2に書き込めませんでした。ディスクがいっぱいになっている可能性があります。変更した内容は元に戻しましたが、書き込んだ$1を削除できませんでした。"

LangString AsideLeft ${LANG_ENGLISH} "Could not remove $1 yet. Finale does not load it; the next install or the uninstall removes it."
LangString AsideLeft ${LANG_GERMAN} "$1 konnte noch nicht entfernt werden. Finale lädt diese Datei nicht; sie wird bei der nächsten Installation oder beim Deinstallieren entfernt."
LangString AsideLeft ${LANG_FRENCH} "$1 n’a pas encore pu être supprimé. Finale ne charge pas ce fichier ; il sera supprimé lors de la prochaine installation ou de la désinstallation."
LangString AsideLeft ${LANG_JAPANESE} "$1はまだ削除できていません。Finaleはこのファイルを読み込みません。次回のセットアップまたはアンインストールの際に削除されます。"

LangString NotRemoved ${LANG_ENGLISH} "The uninstaller could not remove $1, perhaps because Finale is running. It removed the other files; Vorlan Brisane stays in the list of installed apps, so that you can quit Finale and uninstall it again."
LangString NotRemoved ${LANG_GERMAN} "Das Deinstallationsprogramm konnte $1 nicht entfernen, vielleicht weil Finale läuft. Die übrigen Dateien hat es entfernt; Vorlan Brisane bleibt in der Liste der installierten Apps, damit Sie Finale beenden und es erneut deinstallieren können."
LangString NotRemoved ${LANG_FRENCH} "Le programme de désinstallation n’a pas pu supprimer $1, peut-être parce que Finale est ouvert. Il a supprimé les autres fichiers ; Vorlan Brisane reste dans la liste des applications installées, pour que vous puissiez quitter Finale et le désinstaller à nouveau."
LangString NotRemoved ${LANG_JAPANESE} "$1を削除できませんでした。Finaleが起動している可能性があります。ほかのファイルは削除しました。Finaleを終了してもう一度アンインストールできるよう、Vorlan Brisaneはインストール済みアプリの一覧に残してあります。"
