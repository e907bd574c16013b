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
    <name>ChatWidget</name>
    <message>
        <source>Teacher</source>
        <translation>教师</translation>
    </message>
    <message>
        <source>Me</source>
        <translation>我</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>发送</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
</context>
<context>
    <name>DisplayWidget</name>
    <message>
        <source>Fail</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>This book cannot be opened.</source>
        <translation>无法打开这本书。</translation>
    </message>
    <message>
        <source>The teacher is on page %1, but this book has only %2 pages.</source>
        <translation>老师在第 %1 页，但这本书只有 %2 页。</translation>
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
    <name>LoginWidget</name>
    <message>
        <source>Student Name:</source>
        <translation>学生姓名：</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>密码：</translation>
    </message>
    <message>
        <source>Teacher:</source>
        <translation>教师：</translation>
    </message>
    <message>
        <source>Login</source>
        <translation>登录</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Logout</source>
        <translation>注销</translation>
    </message>
    <message>
        <source>Sure to Logout?</source>
        <translation>确定要注销吗？</translation>
    </message>
    <message>
        <source>The name and the teacher must not contain &quot;,&quot;.</source>
        <translation>姓名和教师中不能包含“,”。</translation>
    </message>
    <message>
        <source>Login failed. Check the name, the password and the teacher.</source>
        <translation>登录失败。请检查姓名、密码和教师。</translation>
    </message>
    <message>
        <source>The class server did not answer. Try again.</source>
        <translation>课堂服务器没有响应。请重试。</translation>
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
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>The pages could not be saved as a PDF file.</source>
        <translation>无法将页面保存为 PDF 文件。</translation>
    </message>
    <message>
        <source>The PDF file was saved, but these pages could not be read and were saved blank: %1</source>
        <translation>PDF 文件已保存，但以下页面无法读取，已保存为空白页：%1</translation>
    </message>
</context>
<context>
    <name>NoticeBox</name>
    <message>
        <source>OK</source>
        <translation>确定</translation>
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
    <name>SettingWidget</name>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Server IP:</source>
        <translation>服务器 IP：</translation>
    </message>
    <message>
        <source>Server Port:</source>
        <translation>服务器端口：</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>语言：</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Enter a valid server address.</source>
        <translation>请输入有效的服务器地址。</translation>
    </message>
    <message>
        <source>Enter a server port from 1 to 65535.</source>
        <translation>请输入 1 到 65535 之间的服务器端口。</translation>
    </message>
    <message>
        <source>Change Language</source>
        <translation>更改语言</translation>
    </message>
    <message>
        <source>Change language will take effect restart software.</source>
        <translation>更改语言将在重新启动软件后生效。</translation>
    </message>
</context>
<context>
    <name>VoteWidget</name>
    <message>
        <source>Send</source>
        <translation>发送</translation>
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
        <translation>失败</translation>
    </message>
    <message>
        <source>Download failed.</source>
        <translation>下载失败。</translation>
    </message>
</context>
</TS>
