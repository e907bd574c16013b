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
    <name>DisplayWidget</name>
    <message>
        <source>Fail</source>
        <translation>Échec</translation>
    </message>
    <message>
        <source>This book cannot be opened. It is downloaded again.</source>
        <translation>Impossible d&apos;ouvrir ce livre. Il est de nouveau téléchargé.</translation>
    </message>
    <message>
        <source>This book cannot be opened.</source>
        <translation>Impossible d&apos;ouvrir ce livre.</translation>
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
