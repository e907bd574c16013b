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
    <name>ChatWidget</name>
    <message>
        <source>Teacher</source>
        <translation>Profesor</translation>
    </message>
    <message>
        <source>Me</source>
        <translation>Yo</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Enviar</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
</context>
<context>
    <name>DisplayWidget</name>
    <message>
        <source>Fail</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>This book cannot be opened.</source>
        <translation>No se puede abrir este libro.</translation>
    </message>
    <message>
        <source>The teacher is on page %1, but this book has only %2 pages.</source>
        <translation>El profesor está en la página %1, pero este libro solo tiene %2 páginas.</translation>
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
    <name>LoginWidget</name>
    <message>
        <source>Student Name:</source>
        <translation>Nombre del alumno:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Contraseña:</translation>
    </message>
    <message>
        <source>Teacher:</source>
        <translation>Profesor:</translation>
    </message>
    <message>
        <source>Login</source>
        <translation>Iniciar sesión</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Salir</translation>
    </message>
    <message>
        <source>Logout</source>
        <translation>Cerrar sesión</translation>
    </message>
    <message>
        <source>Sure to Logout?</source>
        <translation>¿Seguro que desea cerrar sesión?</translation>
    </message>
    <message>
        <source>The name and the teacher must not contain &quot;,&quot;.</source>
        <translation>El nombre y el profesor no pueden contener &quot;,&quot;.</translation>
    </message>
    <message>
        <source>Login failed. Check the name, the password and the teacher.</source>
        <translation>Error al iniciar sesión. Compruebe el nombre, la contraseña y el profesor.</translation>
    </message>
    <message>
        <source>The class server did not answer. Try again.</source>
        <translation>El servidor de la clase no respondió. Inténtelo de nuevo.</translation>
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
    <message>
        <source>Save</source>
        <translation>Guardar</translation>
    </message>
    <message>
        <source>The pages could not be saved as a PDF file.</source>
        <translation>No se han podido guardar las páginas como archivo PDF.</translation>
    </message>
    <message>
        <source>The PDF file was saved, but these pages could not be read and were saved blank: %1</source>
        <translation>El archivo PDF se ha guardado, pero estas páginas no se han podido leer y se han guardado en blanco: %1</translation>
    </message>
</context>
<context>
    <name>NoticeBox</name>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
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
    <name>SettingWidget</name>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>Server IP:</source>
        <translation>IP del servidor:</translation>
    </message>
    <message>
        <source>Server Port:</source>
        <translation>Puerto del servidor:</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>Idioma:</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Configuración</translation>
    </message>
    <message>
        <source>Enter a valid server address.</source>
        <translation>Introduzca una dirección de servidor válida.</translation>
    </message>
    <message>
        <source>Enter a server port from 1 to 65535.</source>
        <translation>Introduzca un puerto de servidor entre 1 y 65535.</translation>
    </message>
    <message>
        <source>Change Language</source>
        <translation>Cambiar idioma</translation>
    </message>
    <message>
        <source>Change language will take effect restart software.</source>
        <translation>El cambio de idioma se aplicará al reiniciar el programa.</translation>
    </message>
</context>
<context>
    <name>VoteWidget</name>
    <message>
        <source>Send</source>
        <translation>Enviar</translation>
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
        <translation>Error</translation>
    </message>
    <message>
        <source>Download failed.</source>
        <translation>Error en la descarga.</translation>
    </message>
</context>
</TS>
