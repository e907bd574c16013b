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
    <name>DisplayWidget</name>
    <message>
        <source>Fail</source>
        <translation>Falha</translation>
    </message>
    <message>
        <source>This book cannot be opened.</source>
        <translation>Não é possível abrir este livro.</translation>
    </message>
    <message>
        <source>The teacher is on page %1, but this book has only %2 pages.</source>
        <translation>O professor está na página %1, mas este livro só tem %2 páginas.</translation>
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
    <name>LoginWidget</name>
    <message>
        <source>Student Name:</source>
        <translation>Nome do aluno:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Palavra-passe:</translation>
    </message>
    <message>
        <source>Teacher:</source>
        <translation>Professor:</translation>
    </message>
    <message>
        <source>Login</source>
        <translation>Iniciar sessão</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Sair</translation>
    </message>
    <message>
        <source>Logout</source>
        <translation>Terminar sessão</translation>
    </message>
    <message>
        <source>Sure to Logout?</source>
        <translation>Tem a certeza de que pretende terminar a sessão?</translation>
    </message>
    <message>
        <source>The name and the teacher must not contain &quot;,&quot;.</source>
        <translation>O nome e o professor não podem conter &quot;,&quot;.</translation>
    </message>
    <message>
        <source>Login failed. Check the name, the password and the teacher.</source>
        <translation>Falha ao iniciar sessão. Verifique o nome, a palavra-passe e o professor.</translation>
    </message>
    <message>
        <source>The class server did not answer. Try again.</source>
        <translation>O servidor da turma não respondeu. Tente novamente.</translation>
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
    <message>
        <source>Save</source>
        <translation>Guardar</translation>
    </message>
    <message>
        <source>The pages could not be saved as a PDF file.</source>
        <translation>Não foi possível guardar as páginas como ficheiro PDF.</translation>
    </message>
    <message>
        <source>The PDF file was saved, but these pages could not be read and were saved blank: %1</source>
        <translation>O ficheiro PDF foi guardado, mas estas páginas não puderam ser lidas e foram guardadas em branco: %1</translation>
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
    <name>SettingWidget</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Server IP:</source>
        <translation>IP do servidor:</translation>
    </message>
    <message>
        <source>Server Port:</source>
        <translation>Porta do servidor:</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>Idioma:</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Definições</translation>
    </message>
    <message>
        <source>Enter a valid server address.</source>
        <translation>Introduza um endereço de servidor válido.</translation>
    </message>
    <message>
        <source>Enter a server port from 1 to 65535.</source>
        <translation>Introduza uma porta de servidor entre 1 e 65535.</translation>
    </message>
    <message>
        <source>Change Language</source>
        <translation>Alterar idioma</translation>
    </message>
    <message>
        <source>Change language will take effect restart software.</source>
        <translation>A alteração do idioma terá efeito após reiniciar o programa.</translation>
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
        <translation>Falha</translation>
    </message>
    <message>
        <source>Download failed.</source>
        <translation>A transferência falhou.</translation>
    </message>
</context>
</TS>
