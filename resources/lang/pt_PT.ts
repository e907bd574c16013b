<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_PT">
<context>
    <name>CRMessageBox</name>
    <message>
        <source>Confirm Delete</source>
        <translation>Confirmar eliminação</translation>
    </message>
    <message>
        <source>Sure to delete this file?</source>
        <translation>Tem a certeza de que pretende eliminar este ficheiro?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Sim</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Não</translation>
    </message>
</context>
<context>
    <name>DisplayWidget</name>
    <message>
        <source>Fail</source>
        <translation>Falha</translation>
    </message>
    <message>
        <source>This book cannot be opened. It is downloaded again.</source>
        <translation>Não é possível abrir este livro. Vai ser transferido novamente.</translation>
    </message>
    <message>
        <source>This book cannot be opened.</source>
        <translation>Não é possível abrir este livro.</translation>
    </message>
</context>
<context>
    <name>LocalBooksWidget</name>
    <message>
        <source>Fail</source>
        <translation>Falha</translation>
    </message>
    <message>
        <source>The file could not be deleted.</source>
        <translation>Não foi possível eliminar o ficheiro.</translation>
    </message>
</context>
<context>
    <name>MainWidget</name>
    <message>
        <source>Exit?</source>
        <translation>Sair?</translation>
    </message>
    <message>
        <source>Are you sure to exit?</source>
        <translation>Tem a certeza de que pretende sair?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Sim</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Não</translation>
    </message>
</context>
<context>
    <name>QuestionDlg</name>
    <message>
        <source>Are you sure to exit?</source>
        <translation>Tem a certeza de que pretende sair?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Sim</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Não</translation>
    </message>
</context>
<context>
    <name>SavePdfDialog</name>
    <message>
        <source>Enter File Name</source>
        <translation>Introduzir nome do ficheiro</translation>
    </message>
    <message>
        <source>Save Path:  </source>
        <translation>Caminho para guardar:  </translation>
    </message>
    <message>
        <source>File Name:</source>
        <translation>Nome do ficheiro:</translation>
    </message>
    <message>
        <source>Invalid file name.</source>
        <translation>Nome de ficheiro inválido.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Replace File</source>
        <translation>Substituir ficheiro</translation>
    </message>
    <message>
        <source>This file already exists. Replace it?</source>
        <translation>Este ficheiro já existe. Pretende substituí-lo?</translation>
    </message>
</context>
<context>
    <name>serverbooswidget</name>
    <message>
        <source>Fail</source>
        <translation>Falha</translation>
    </message>
    <message>
        <source>Download failed.</source>
        <translation>A transferência falhou.</translation>
    </message>
</context>
</TS>
