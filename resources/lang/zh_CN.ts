<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CRMessageBox</name>
    <message>
        <source>Confirm Delete</source>
        <translation>确认删除</translation>
    </message>
    <message>
        <source>Sure to delete this file?</source>
        <translation>确定要删除此文件吗？</translation>
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
        <translation>失败</translation>
    </message>
    <message>
        <source>This book cannot be opened. It is downloaded again.</source>
        <translation>无法打开这本书，正在重新下载。</translation>
    </message>
    <message>
        <source>This book cannot be opened.</source>
        <translation>无法打开这本书。</translation>
    </message>
</context>
<context>
    <name>LocalBooksWidget</name>
    <message>
        <source>Fail</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>The file could not be deleted.</source>
        <translation>无法删除该文件。</translation>
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
        <translation>确定要退出吗？</translation>
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
        <translation>确定要退出吗？</translation>
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
        <translation>输入文件名</translation>
    </message>
    <message>
        <source>Save Path:  </source>
        <translation>保存路径：  </translation>
    </message>
    <message>
        <source>File Name:</source>
        <translation>文件名：</translation>
    </message>
    <message>
        <source>Invalid file name.</source>
        <translation>文件名无效。</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Replace File</source>
        <translation>替换文件</translation>
    </message>
    <message>
        <source>This file already exists. Replace it?</source>
        <translation>此文件已存在。是否替换？</translation>
    </message>
</context>
<context>
    <name>serverbooswidget</name>
    <message>
        <source>Fail</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>Download failed.</source>
        <translation>下载失败。</translation>
    </message>
</context>
</TS>
