<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_HK">
<context>
    <name>CRMessageBox</name>
    <message>
        <source>Confirm Delete</source>
        <translation>確認刪除</translation>
    </message>
    <message>
        <source>Sure to delete this file?</source>
        <translation>確定要刪除此檔案嗎？</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>是</translation>
    </message>
    <message>
        <source>No</source>
        <translation>否</translation>
    </message>
</context>
<context>
    <name>ChatWidget</name>
    <message>
        <source>Teacher</source>
        <translation>教師</translation>
    </message>
    <message>
        <source>Me</source>
        <translation>我</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>傳送</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>關閉</translation>
    </message>
</context>
<context>
    <name>MainWidget</name>
    <message>
        <source>Exit?</source>
        <translation>退出？</translation>
    </message>
    <message>
        <source>Are you sure to exit?</source>
        <translation>確定要退出嗎？</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>是</translation>
    </message>
    <message>
        <source>No</source>
        <translation>否</translation>
    </message>
</context>
<context>
    <name>QuestionDlg</name>
    <message>
        <source>Are you sure to exit?</source>
        <translation>確定要退出嗎？</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>是</translation>
    </message>
    <message>
        <source>No</source>
        <translation>否</translation>
    </message>
</context>
<context>
    <name>SavePdfDialog</name>
    <message>
        <source>Enter File Name</source>
        <translation>輸入檔案名稱</translation>
    </message>
    <message>
        <source>Save Path:  </source>
        <translation>儲存路徑：  </translation>
    </message>
    <message>
        <source>File Name:</source>
        <translation>檔案名稱：</translation>
    </message>
    <message>
        <source>Invalid file name.</source>
        <translation>檔案名稱無效。</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>確定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Replace File</source>
        <translation>取代檔案</translation>
    </message>
    <message>
        <source>This file already exists. Replace it?</source>
        <translation>此檔案已存在。是否取代？</translation>
    </message>
</context>
<context>
    <name>VoteWidget</name>
    <message>
        <source>Send</source>
        <translation>傳送</translation>
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
