<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>CRMessageBox</name>
    <message>
        <source>Confirm Delete</source>
        <translation>Confirm Delete</translation>
    </message>
    <message>
        <source>Sure to delete this file?</source>
        <translation>Sure to delete this file?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Yes</translation>
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
        <translation>Teacher</translation>
    </message>
    <message>
        <source>Me</source>
        <translation>Me</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>DisplayWidget</name>
    <message>
        <source>Fail</source>
        <translation>Fail</translation>
    </message>
    <message>
        <source>This book cannot be opened.</source>
        <translation>This book cannot be opened.</translation>
    </message>
    <message>
        <source>The teacher is on page %1, but this book has only %2 pages.</source>
        <translation>The teacher is on page %1, but this book has only %2 pages.</translation>
    </message>
</context>
<context>
    <name>LocalBooksWidget</name>
    <message>
        <source>Fail</source>
        <translation>Fail</translation>
    </message>
    <message>
        <source>The file could not be deleted.</source>
        <translation>The file could not be deleted.</translation>
    </message>
</context>
<context>
    <name>LoginWidget</name>
    <message>
        <source>Student Name:</source>
        <translation>Student Name:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>Teacher:</source>
        <translation>Teacher:</translation>
    </message>
    <message>
        <source>Login</source>
        <translation>Login</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Logout</source>
        <translation>Logout</translation>
    </message>
    <message>
        <source>Sure to Logout?</source>
        <translation>Sure to Logout?</translation>
    </message>
    <message>
        <source>The name and the teacher must not contain &quot;,&quot;.</source>
        <translation>The name and the teacher must not contain &quot;,&quot;.</translation>
    </message>
    <message>
        <source>Login failed. Check the name, the password and the teacher.</source>
        <translation>Login failed. Check the name, the password and the teacher.</translation>
    </message>
    <message>
        <source>The class server did not answer. Try again.</source>
        <translation>The class server did not answer. Try again.</translation>
    </message>
</context>
<context>
    <name>MainWidget</name>
    <message>
        <source>Exit?</source>
        <translation>Exit?</translation>
    </message>
    <message>
        <source>Are you sure to exit?</source>
        <translation>Are you sure to exit?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>The pages could not be saved as a PDF file.</source>
        <translation>The pages could not be saved as a PDF file.</translation>
    </message>
    <message>
        <source>The PDF file was saved, but these pages could not be read and were saved blank: %1</source>
        <translation>The PDF file was saved, but these pages could not be read and were saved blank: %1</translation>
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
        <translation>Are you sure to exit?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Yes</translation>
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
        <translation>Enter File Name</translation>
    </message>
    <message>
        <source>Save Path:  </source>
        <translation>Save Path:  </translation>
    </message>
    <message>
        <source>File Name:</source>
        <translation>File Name:</translation>
    </message>
    <message>
        <source>Invalid file name.</source>
        <translation>Invalid file name.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Replace File</source>
        <translation>Replace File</translation>
    </message>
    <message>
        <source>This file already exists. Replace it?</source>
        <translation>This file already exists. Replace it?</translation>
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
        <translation>Server IP:</translation>
    </message>
    <message>
        <source>Server Port:</source>
        <translation>Server Port:</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>Language:</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Enter a valid server address.</source>
        <translation>Enter a valid server address.</translation>
    </message>
    <message>
        <source>Enter a server port from 1 to 65535.</source>
        <translation>Enter a server port from 1 to 65535.</translation>
    </message>
    <message>
        <source>Change Language</source>
        <translation>Change Language</translation>
    </message>
    <message>
        <source>Change language will take effect restart software.</source>
        <translation>Change language will take effect restart software.</translation>
    </message>
</context>
<context>
    <name>VoteWidget</name>
    <message>
        <source>Send</source>
        <translation>Send</translation>
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
        <translation>Fail</translation>
    </message>
    <message>
        <source>Download failed.</source>
        <translation>Download failed.</translation>
    </message>
</context>
</TS>
