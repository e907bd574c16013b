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
    <name>DisplayWidget</name>
    <message>
        <source>Fail</source>
        <translation>失敗</translation>
    </message>
    <message>
        <source>This book cannot be opened. It is downloaded again.</source>
        <translation>無法開啟這本書，正在重新下載。</translation>
    </message>
    <message>
        <source>This book cannot be opened.</source>
        <translation>無法開啟這本書。</translation>
    </message>
</context>
<context>
    <name>LocalBooksWidget</name>
    <message>
        <source>Fail</source>
        <translation>失敗</translation>
    </message>
    <message>
        <source>The file could not be deleted.</source>
        <translation>無法刪除該檔案。</translation>
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
    <name>serverbooswidget</name>
    <message>
        <source>Fail</source>
        <translation>失敗</translation>
    </message>
    <message>
        <source>Download failed.</source>
        <translation>下載失敗。</translation>
    </message>
</context>
</TS>
