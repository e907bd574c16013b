<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>CRMessageBox</name>
    <message>
        <source>Confirm Delete</source>
        <translation>Löschen bestätigen</translation>
    </message>
    <message>
        <source>Sure to delete this file?</source>
        <translation>Diese Datei wirklich löschen?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nein</translation>
    </message>
</context>
<context>
    <name>ChatWidget</name>
    <message>
        <source>Teacher</source>
        <translation>Lehrer</translation>
    </message>
    <message>
        <source>Me</source>
        <translation>Ich</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Senden</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>DisplayWidget</name>
    <message>
        <source>Fail</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>This book cannot be opened.</source>
        <translation>Dieses Buch kann nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>The teacher is on page %1, but this book has only %2 pages.</source>
        <translation>Der Lehrer ist auf Seite %1, dieses Buch hat aber nur %2 Seiten.</translation>
    </message>
</context>
<context>
    <name>LocalBooksWidget</name>
    <message>
        <source>Fail</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>The file could not be deleted.</source>
        <translation>Die Datei konnte nicht gelöscht werden.</translation>
    </message>
</context>
<context>
    <name>LoginWidget</name>
    <message>
        <source>Student Name:</source>
        <translation>Name des Schülers:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Passwort:</translation>
    </message>
    <message>
        <source>Teacher:</source>
        <translation>Lehrer:</translation>
    </message>
    <message>
        <source>Login</source>
        <translation>Anmelden</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Logout</source>
        <translation>Abmelden</translation>
    </message>
    <message>
        <source>Sure to Logout?</source>
        <translation>Wirklich abmelden?</translation>
    </message>
    <message>
        <source>The name and the teacher must not contain &quot;,&quot;.</source>
        <translation>Name und Lehrer dürfen kein &quot;,&quot; enthalten.</translation>
    </message>
    <message>
        <source>Login failed. Check the name, the password and the teacher.</source>
        <translation>Anmeldung fehlgeschlagen. Prüfen Sie Name, Passwort und Lehrer.</translation>
    </message>
    <message>
        <source>The class server did not answer. Try again.</source>
        <translation>Der Klassenserver hat nicht geantwortet. Versuchen Sie es erneut.</translation>
    </message>
</context>
<context>
    <name>MainWidget</name>
    <message>
        <source>Exit?</source>
        <translation>Beenden?</translation>
    </message>
    <message>
        <source>Are you sure to exit?</source>
        <translation>Möchten Sie das Programm wirklich beenden?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nein</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>The pages could not be saved as a PDF file.</source>
        <translation>Die Seiten konnten nicht als PDF-Datei gespeichert werden.</translation>
    </message>
    <message>
        <source>The PDF file was saved, but these pages could not be read and were saved blank: %1</source>
        <translation>Die PDF-Datei wurde gespeichert, aber diese Seiten konnten nicht gelesen werden und wurden leer gespeichert: %1</translation>
    </message>
</context>
<context>
    <name>NoticeBox</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>QuestionDlg</name>
    <message>
        <source>Are you sure to exit?</source>
        <translation>Möchten Sie das Programm wirklich beenden?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nein</translation>
    </message>
</context>
<context>
    <name>SavePdfDialog</name>
    <message>
        <source>Enter File Name</source>
        <translation>Dateinamen eingeben</translation>
    </message>
    <message>
        <source>Save Path:  </source>
        <translation>Speicherpfad:  </translation>
    </message>
    <message>
        <source>File Name:</source>
        <translation>Dateiname:</translation>
    </message>
    <message>
        <source>Invalid file name.</source>
        <translation>Ungültiger Dateiname.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Replace File</source>
        <translation>Datei ersetzen</translation>
    </message>
    <message>
        <source>This file already exists. Replace it?</source>
        <translation>Diese Datei existiert bereits. Ersetzen?</translation>
    </message>
</context>
<context>
    <name>SettingWidget</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Server IP:</source>
        <translation>Server-IP:</translation>
    </message>
    <message>
        <source>Server Port:</source>
        <translation>Server-Port:</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>Sprache:</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Enter a valid server address.</source>
        <translation>Geben Sie eine gültige Serveradresse ein.</translation>
    </message>
    <message>
        <source>Enter a server port from 1 to 65535.</source>
        <translation>Geben Sie einen Server-Port von 1 bis 65535 ein.</translation>
    </message>
    <message>
        <source>Change Language</source>
        <translation>Sprache ändern</translation>
    </message>
    <message>
        <source>Change language will take effect restart software.</source>
        <translation>Die Sprachänderung wird nach einem Neustart der Software wirksam.</translation>
    </message>
</context>
<context>
    <name>VoteWidget</name>
    <message>
        <source>Send</source>
        <translation>Senden</translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>2</source>
        <translation>2</translation>
    </message>
    <message>
        <source>3</source>
        <translation>3</translation>
    </message>
    <message>
        <source>4</source>
        <translation>4</translation>
    </message>
    <message>
        <source>5</source>
        <translation>5</translation>
    </message>
    <message>
        <source>6</source>
        <translation>6</translation>
    </message>
</context>
<context>
    <name>serverbooswidget</name>
    <message>
        <source>Fail</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Download failed.</source>
        <translation>Download fehlgeschlagen.</translation>
    </message>
</context>
</TS>
