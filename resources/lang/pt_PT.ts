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
    <name>ChatWidget</name>
    <message>
        <source>Teacher</source>
        <translation>Professor</translation>
    </message>
    <message>
        <source>Me</source>
        <translation>Eu</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Enviar</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fechar</translation>
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
</TS>
