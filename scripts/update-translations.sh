#!/usr/bin/env bash
# Collects the visible texts of app/, screens/ and pages/ into resources/lang/*.ts (translations
# already made are kept), then fills in the known translations of texts still untranslated.
# The build compiles the .ts files with lrelease.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

lupdate -silent -no-obsolete -locations none -no-ui-lines -extensions cpp,h -I "$root" \
    app screens pages -ts resources/lang/*.ts

python3 - resources/lang/*.ts <<'PY'
import html, os, re, sys

LANGS = ["zh_CN", "zh_HK", "es_ES", "pt_PT", "fr_FR", "de_DE", "ar_EG", "ja_JP"]
# Source text -> translations in the order of LANGS.
KNOWN = {
    "Yes": ["是", "是", "Sí", "Sim", "Oui", "Ja", "نعم", "はい"],
    "No": ["否", "否", "No", "Não", "Non", "Nein", "لا", "いいえ"],
    "OK": ["确定", "確定", "Aceptar", "OK", "OK", "OK", "موافق", "OK"],
    "Cancel": ["取消", "取消", "Cancelar", "Cancelar", "Annuler", "Abbrechen", "إلغاء",
               "キャンセル"],
    "Exit?": ["退出？", "退出？", "¿Salir?", "Sair?", "Quitter ?", "Beenden?", "خروج؟",
              "終了しますか？"],
    "Are you sure to exit?": ["确定要退出吗？", "確定要退出嗎？", "¿Seguro que desea salir?",
                              "Tem a certeza de que pretende sair?",
                              "Voulez-vous vraiment quitter ?",
                              "Möchten Sie das Programm wirklich beenden?",
                              "هل أنت متأكد من الخروج؟", "終了してもよろしいですか？"],
    "Exit": ["退出", "退出", "Salir", "Sair", "Quitter", "Beenden", "خروج", "終了"],
    "Confirm Delete": ["确认删除", "確認刪除", "Confirmar eliminación", "Confirmar eliminação",
                       "Confirmer la suppression", "Löschen bestätigen", "تأكيد الحذف",
                       "削除の確認"],
    "Sure to delete this file?": ["确定要删除此文件吗？", "確定要刪除此檔案嗎？",
                                  "¿Seguro que desea eliminar este archivo?",
                                  "Tem a certeza de que pretende eliminar este ficheiro?",
                                  "Voulez-vous vraiment supprimer ce fichier ?",
                                  "Diese Datei wirklich löschen?",
                                  "هل أنت متأكد من حذف هذا الملف؟",
                                  "このファイルを削除してもよろしいですか？"],
    "Logout": ["注销", "登出", "Cerrar sesión", "Terminar sessão", "Déconnexion", "Abmelden",
               "تسجيل الخروج", "ログアウト"],
    "Sure to Logout?": ["确定要注销吗？", "確定要登出嗎？", "¿Seguro que desea cerrar sesión?",
                        "Tem a certeza de que pretende terminar a sessão?",
                        "Voulez-vous vraiment vous déconnecter ?", "Wirklich abmelden?",
                        "هل أنت متأكد من تسجيل الخروج؟", "ログアウトしてもよろしいですか？"],
    "Login": ["登录", "登入", "Iniciar sesión", "Iniciar sessão", "Connexion", "Anmelden",
              "تسجيل الدخول", "ログイン"],
    "Change Language": ["更改语言", "更改語言", "Cambiar idioma", "Alterar idioma",
                        "Changer de langue", "Sprache ändern", "تغيير اللغة", "言語の変更"],
    "Change language will take effect restart software.": [
        "更改语言将在重新启动软件后生效。", "更改語言將在重新啟動軟體後生效。",
        "El cambio de idioma se aplicará al reiniciar el programa.",
        "A alteração do idioma terá efeito após reiniciar o programa.",
        "Le changement de langue prendra effet au redémarrage du logiciel.",
        "Die Sprachänderung wird nach einem Neustart der Software wirksam.",
        "سيصبح تغيير اللغة ساريًا بعد إعادة تشغيل البرنامج.",
        "言語の変更はソフトウェアの再起動後に有効になります。"],
    "Student Name:": ["学生姓名：", "學生姓名：", "Nombre del alumno:", "Nome do aluno:",
                      "Nom de l'élève :", "Name des Schülers:", "اسم الطالب:", "生徒名："],
    "Password:": ["密码：", "密碼：", "Contraseña:", "Palavra-passe:", "Mot de passe :",
                  "Passwort:", "كلمة المرور:", "パスワード："],
    "Teacher:": ["教师：", "教師：", "Profesor:", "Professor:", "Enseignant :", "Lehrer:",
                 "المعلم:", "先生："],
    "Server IP:": ["服务器 IP：", "伺服器 IP：", "IP del servidor:", "IP do servidor:",
                   "IP du serveur :", "Server-IP:", "عنوان IP للخادم:", "サーバー IP："],
    "Server Port:": ["服务器端口：", "伺服器連接埠：", "Puerto del servidor:", "Porta do servidor:",
                     "Port du serveur :", "Server-Port:", "منفذ الخادم:", "サーバーポート："],
    "Language:": ["语言：", "語言：", "Idioma:", "Idioma:", "Langue :", "Sprache:", "اللغة:",
                  "言語："],
    "The name and the teacher must not contain \",\".": [
        "姓名和教师中不能包含“,”。", "姓名和教師中不能包含「,」。",
        "El nombre y el profesor no pueden contener \",\".",
        "O nome e o professor não podem conter \",\".",
        "Le nom et l'enseignant ne doivent pas contenir « , ».",
        "Name und Lehrer dürfen kein \",\" enthalten.",
        "يجب ألا يحتوي الاسم واسم المعلم على \",\".",
        "名前と先生に「,」を含めることはできません。"],
    "Login failed. Check the name, the password and the teacher.": [
        "登录失败。请检查姓名、密码和教师。", "登入失敗。請檢查姓名、密碼和教師。",
        "Error al iniciar sesión. Compruebe el nombre, la contraseña y el profesor.",
        "Falha ao iniciar sessão. Verifique o nome, a palavra-passe e o professor.",
        "Échec de la connexion. Vérifiez le nom, le mot de passe et l'enseignant.",
        "Anmeldung fehlgeschlagen. Prüfen Sie Name, Passwort und Lehrer.",
        "فشل تسجيل الدخول. تحقق من الاسم وكلمة المرور والمعلم.",
        "ログインに失敗しました。名前、パスワード、先生を確認してください。"],
    "The class server did not answer. Try again.": [
        "课堂服务器没有响应。请重试。", "課堂伺服器沒有回應。請重試。",
        "El servidor de la clase no respondió. Inténtelo de nuevo.",
        "O servidor da turma não respondeu. Tente novamente.",
        "Le serveur de la classe n'a pas répondu. Réessayez.",
        "Der Klassenserver hat nicht geantwortet. Versuchen Sie es erneut.",
        "لم يستجب خادم الفصل. حاول مرة أخرى.",
        "クラスサーバーが応答しませんでした。もう一度お試しください。"],
    "Settings": ["设置", "設定", "Configuración", "Definições", "Paramètres", "Einstellungen",
                 "الإعدادات", "設定"],
    "Enter a valid server address.": [
        "请输入有效的服务器地址。", "請輸入有效的伺服器位址。",
        "Introduzca una dirección de servidor válida.",
        "Introduza um endereço de servidor válido.",
        "Saisissez une adresse de serveur valide.",
        "Geben Sie eine gültige Serveradresse ein.",
        "أدخل عنوان خادم صالحًا.", "有効なサーバーアドレスを入力してください。"],
    "Enter a server port from 1 to 65535.": [
        "请输入 1 到 65535 之间的服务器端口。", "請輸入 1 到 65535 之間的伺服器連接埠。",
        "Introduzca un puerto de servidor entre 1 y 65535.",
        "Introduza uma porta de servidor entre 1 e 65535.",
        "Saisissez un port de serveur entre 1 et 65535.",
        "Geben Sie einen Server-Port von 1 bis 65535 ein.",
        "أدخل منفذ خادم من 1 إلى 65535.",
        "1 から 65535 までのサーバーポートを入力してください。"],
    "Fail": ["失败", "失敗", "Error", "Falha", "Échec", "Fehler", "فشل", "失敗"],
    "Download failed.": ["下载失败。", "下載失敗。", "Error en la descarga.",
                         "A transferência falhou.", "Échec du téléchargement.",
                         "Download fehlgeschlagen.", "فشل التنزيل.",
                         "ダウンロードに失敗しました。"],
    "The file could not be deleted.": [
        "无法删除该文件。", "無法刪除該檔案。", "No se pudo eliminar el archivo.",
        "Não foi possível eliminar o ficheiro.", "Le fichier n'a pas pu être supprimé.",
        "Die Datei konnte nicht gelöscht werden.", "تعذر حذف الملف.",
        "ファイルを削除できませんでした。"],
    "This book cannot be opened.": [
        "无法打开这本书。", "無法開啟這本書。", "No se puede abrir este libro.",
        "Não é possível abrir este livro.", "Impossible d'ouvrir ce livre.",
        "Dieses Buch kann nicht geöffnet werden.", "لا يمكن فتح هذا الكتاب.",
        "この本を開けません。"],
    "This book cannot be opened. It is downloaded again.": [
        "无法打开这本书，正在重新下载。", "無法開啟這本書，正在重新下載。",
        "No se puede abrir este libro. Se descarga de nuevo.",
        "Não é possível abrir este livro. Vai ser transferido novamente.",
        "Impossible d'ouvrir ce livre. Il est de nouveau téléchargé.",
        "Dieses Buch kann nicht geöffnet werden. Es wird erneut heruntergeladen.",
        "لا يمكن فتح هذا الكتاب. يجري تنزيله مرة أخرى.",
        "この本を開けません。もう一度ダウンロードします。"],
    "Rotate": ["旋转", "旋轉", "Girar", "Rodar", "Pivoter", "Drehen", "تدوير", "回転"],
    "Teacher": ["教师", "教師", "Profesor", "Professor", "Enseignant", "Lehrer", "المعلم",
                "先生"],
    "Me": ["我", "我", "Yo", "Eu", "Moi", "Ich", "أنا", "自分"],
    "Send": ["发送", "傳送", "Enviar", "Enviar", "Envoyer", "Senden", "إرسال", "送信"],
    "Close": ["关闭", "關閉", "Cerrar", "Fechar", "Fermer", "Schließen", "إغلاق", "閉じる"],
    "Enter File Name": ["输入文件名", "輸入檔案名稱", "Introducir nombre de archivo",
                        "Introduzir nome do ficheiro", "Saisir le nom du fichier",
                        "Dateinamen eingeben", "أدخل اسم الملف", "ファイル名を入力"],
    "Save Path:  ": ["保存路径：  ", "儲存路徑：  ", "Ruta de guardado:  ",
                     "Caminho para guardar:  ", "Chemin d'enregistrement :  ", "Speicherpfad:  ",
                     "مسار الحفظ:  ", "保存先：  "],
    "File Name:": ["文件名：", "檔案名稱：", "Nombre de archivo:", "Nome do ficheiro:",
                   "Nom du fichier :", "Dateiname:", "اسم الملف:", "ファイル名："],
    "Invalid file name.": ["文件名无效。", "檔案名稱無效。", "Nombre de archivo no válido.",
                           "Nome de ficheiro inválido.", "Nom de fichier non valide.",
                           "Ungültiger Dateiname.", "اسم الملف غير صالح.",
                           "無効なファイル名です。"],
    "Replace File": ["替换文件", "取代檔案", "Reemplazar archivo", "Substituir ficheiro",
                     "Remplacer le fichier", "Datei ersetzen", "استبدال الملف", "ファイルの置換"],
    "This file already exists. Replace it?": [
        "此文件已存在。是否替换？", "此檔案已存在。是否取代？",
        "Este archivo ya existe. ¿Desea reemplazarlo?",
        "Este ficheiro já existe. Pretende substituí-lo?", "Ce fichier existe déjà. Le remplacer ?",
        "Diese Datei existiert bereits. Ersetzen?", "هذا الملف موجود بالفعل. هل تريد استبداله؟",
        "このファイルは既に存在します。置き換えますか？"],
    # Main window
    "Save": ["保存", "儲存", "Guardar", "Guardar", "Enregistrer", "Speichern", "حفظ", "保存"],
    "The pages could not be saved as a PDF file.": [
        "无法将页面保存为 PDF 文件。", "無法將頁面儲存為 PDF 檔案。",
        "No se han podido guardar las páginas como archivo PDF.",
        "Não foi possível guardar as páginas como ficheiro PDF.",
        "Les pages n'ont pas pu être enregistrées dans un fichier PDF.",
        "Die Seiten konnten nicht als PDF-Datei gespeichert werden.",
        "تعذّر حفظ الصفحات كملف PDF.", "ページを PDF ファイルとして保存できませんでした。"],
}
# The vote panel shows its answers as digits in every language.
for digit in "123456":
    KNOWN[digit] = [digit] * len(LANGS)

# One message at a time: escaped texts hold no "<". lupdate may have put a guess from another
# context into an unfinished translation; a known translation replaces it.
UNFINISHED = re.compile(
    r'(<source>([^<]*)</source>\s*(?:<(extracomment|comment|translatorcomment)>[^<]*</\3>\s*)*)'
    r'<translation type="unfinished">[^<]*</translation>')


def escape(text):
    return (text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
            .replace("'", "&apos;").replace('"', "&quot;"))


for path in sys.argv[1:]:
    lang = os.path.splitext(os.path.basename(path))[0]
    with open(path, encoding="utf-8") as f:
        text = f.read()
    missing = set()

    def fill(match):
        source = html.unescape(match.group(2))
        if lang == "en_US":
            translated = source
        elif lang in LANGS and source in KNOWN:
            translated = KNOWN[source][LANGS.index(lang)]
        else:
            missing.add(source)
            return match.group(0)
        return match.group(1) + "<translation>" + escape(translated) + "</translation>"

    text = UNFINISHED.sub(fill, text)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)
    for source in sorted(missing):
        print(f"{os.path.basename(path)}: no translation for {source!r}")
PY
