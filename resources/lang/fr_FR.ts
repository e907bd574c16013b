<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>CRMessageBox</name>
    <message>
        <source>Confirm Delete</source>
        <translation>Confirmer la suppression</translation>
    </message>
    <message>
        <source>Sure to delete this file?</source>
        <translation>Voulez-vous vraiment supprimer ce fichier ?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Oui</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Non</translation>
    </message>
</context>
<context>
    <name>ChatWidget</name>
    <message>
        <source>Teacher</source>
        <translation>Enseignant</translation>
    </message>
    <message>
        <source>Me</source>
        <translation>Moi</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Envoyer</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
</context>
<context>
    <name>DisplayWidget</name>
    <message>
        <source>Fail</source>
        <translation>Échec</translation>
    </message>
    <message>
        <source>This book cannot be opened.</source>
        <translation>Impossible d&apos;ouvrir ce livre.</translation>
    </message>
    <message>
        <source>The teacher is on page %1, but this book has only %2 pages.</source>
        <translation>L&apos;enseignant est à la page %1, mais ce livre n&apos;a que %2 pages.</translation>
    </message>
</context>
<context>
    <name>LocalBooksWidget</name>
    <message>
        <source>Fail</source>
        <translation>Échec</translation>
    </message>
    <message>
        <source>The file could not be deleted.</source>
        <translation>Le fichier n&apos;a pas pu être supprimé.</translation>
    </message>
</context>
<context>
    <name>LoginWidget</name>
    <message>
        <source>Student Name:</source>
        <translation>Nom de l&apos;élève :</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Mot de passe :</translation>
    </message>
    <message>
        <source>Teacher:</source>
        <translation>Enseignant :</translation>
    </message>
    <message>
        <source>Login</source>
        <translation>Connexion</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Logout</source>
        <translation>Déconnexion</translation>
    </message>
    <message>
        <source>Sure to Logout?</source>
        <translation>Voulez-vous vraiment vous déconnecter ?</translation>
    </message>
    <message>
        <source>The name and the teacher must not contain &quot;,&quot;.</source>
        <translation>Le nom et l&apos;enseignant ne doivent pas contenir « , ».</translation>
    </message>
    <message>
        <source>Login failed. Check the name, the password and the teacher.</source>
        <translation>Échec de la connexion. Vérifiez le nom, le mot de passe et l&apos;enseignant.</translation>
    </message>
    <message>
        <source>The class server did not answer. Try again.</source>
        <translation>Le serveur de la classe n&apos;a pas répondu. Réessayez.</translation>
    </message>
</context>
<context>
    <name>MainWidget</name>
    <message>
        <source>Exit?</source>
        <translation>Quitter ?</translation>
    </message>
    <message>
        <source>Are you sure to exit?</source>
        <translation>Voulez-vous vraiment quitter ?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Oui</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Non</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>The pages could not be saved as a PDF file.</source>
        <translation>Les pages n&apos;ont pas pu être enregistrées dans un fichier PDF.</translation>
    </message>
    <message>
        <source>The PDF file was saved, but these pages could not be read and were saved blank: %1</source>
        <translation>Le fichier PDF a été enregistré, mais ces pages n&apos;ont pas pu être lues et ont été enregistrées vierges : %1</translation>
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
        <translation>Voulez-vous vraiment quitter ?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Oui</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Non</translation>
    </message>
</context>
<context>
    <name>SavePdfDialog</name>
    <message>
        <source>Enter File Name</source>
        <translation>Saisir le nom du fichier</translation>
    </message>
    <message>
        <source>Save Path:  </source>
        <translation>Chemin d&apos;enregistrement :  </translation>
    </message>
    <message>
        <source>File Name:</source>
        <translation>Nom du fichier :</translation>
    </message>
    <message>
        <source>Invalid file name.</source>
        <translation>Nom de fichier non valide.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Replace File</source>
        <translation>Remplacer le fichier</translation>
    </message>
    <message>
        <source>This file already exists. Replace it?</source>
        <translation>Ce fichier existe déjà. Le remplacer ?</translation>
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
        <translation>IP du serveur :</translation>
    </message>
    <message>
        <source>Server Port:</source>
        <translation>Port du serveur :</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>Langue :</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Paramètres</translation>
    </message>
    <message>
        <source>Enter a valid server address.</source>
        <translation>Saisissez une adresse de serveur valide.</translation>
    </message>
    <message>
        <source>Enter a server port from 1 to 65535.</source>
        <translation>Saisissez un port de serveur entre 1 et 65535.</translation>
    </message>
    <message>
        <source>Change Language</source>
        <translation>Changer de langue</translation>
    </message>
    <message>
        <source>Change language will take effect restart software.</source>
        <translation>Le changement de langue prendra effet au redémarrage du logiciel.</translation>
    </message>
</context>
<context>
    <name>VoteWidget</name>
    <message>
        <source>Send</source>
        <translation>Envoyer</translation>
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
        <translation>Échec</translation>
    </message>
    <message>
        <source>Download failed.</source>
        <translation>Échec du téléchargement.</translation>
    </message>
</context>
</TS>
