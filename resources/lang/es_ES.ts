<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>CRMessageBox</name>
    <message>
        <source>Confirm Delete</source>
        <translation>Confirmar eliminación</translation>
    </message>
    <message>
        <source>Sure to delete this file?</source>
        <translation>¿Seguro que desea eliminar este archivo?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Sí</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
</context>
<context>
    <name>DisplayWidget</name>
    <message>
        <source>Fail</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>This book cannot be opened. It is downloaded again.</source>
        <translation>No se puede abrir este libro. Se descarga de nuevo.</translation>
    </message>
    <message>
        <source>This book cannot be opened.</source>
        <translation>No se puede abrir este libro.</translation>
    </message>
</context>
<context>
    <name>LocalBooksWidget</name>
    <message>
        <source>Fail</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>The file could not be deleted.</source>
        <translation>No se pudo eliminar el archivo.</translation>
    </message>
</context>
<context>
    <name>MainWidget</name>
    <message>
        <source>Exit?</source>
        <translation>¿Salir?</translation>
    </message>
    <message>
        <source>Are you sure to exit?</source>
        <translation>¿Seguro que desea salir?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Sí</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
</context>
<context>
    <name>QuestionDlg</name>
    <message>
        <source>Are you sure to exit?</source>
        <translation>¿Seguro que desea salir?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Sí</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
</context>
<context>
    <name>SavePdfDialog</name>
    <message>
        <source>Enter File Name</source>
        <translation>Introducir nombre de archivo</translation>
    </message>
    <message>
        <source>Save Path:  </source>
        <translation>Ruta de guardado:  </translation>
    </message>
    <message>
        <source>File Name:</source>
        <translation>Nombre de archivo:</translation>
    </message>
    <message>
        <source>Invalid file name.</source>
        <translation>Nombre de archivo no válido.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Replace File</source>
        <translation>Reemplazar archivo</translation>
    </message>
    <message>
        <source>This file already exists. Replace it?</source>
        <translation>Este archivo ya existe. ¿Desea reemplazarlo?</translation>
    </message>
</context>
<context>
    <name>serverbooswidget</name>
    <message>
        <source>Fail</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Download failed.</source>
        <translation>Error en la descarga.</translation>
    </message>
</context>
</TS>
