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
    <name>DisplayWidget</name>
    <message>
        <source>Fail</source>
        <translation>失敗</translation>
    </message>
    <message>
        <source>This book cannot be opened.</source>
        <translation>無法開啟這本書。</translation>
    </message>
    <message>
        <source>The teacher is on page %1, but this book has only %2 pages.</source>
        <translation>老師在第 %1 頁，但這本書只有 %2 頁。</translation>
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
    <name>LoginWidget</name>
    <message>
        <source>Student Name:</source>
        <translation>學生姓名：</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>密碼：</translation>
    </message>
    <message>
        <source>Teacher:</source>
        <translation>教師：</translation>
    </message>
    <message>
        <source>Login</source>
        <translation>登入</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Logout</source>
        <translation>登出</translation>
    </message>
    <message>
        <source>Sure to Logout?</source>
        <translation>確定要登出嗎？</translation>
    </message>
    <message>
        <source>The name and the teacher must not contain &quot;,&quot;.</source>
        <translation>姓名和教師中不能包含「,」。</translation>
    </message>
    <message>
        <source>Login failed. Check the name, the password and the teacher.</source>
        <translation>登入失敗。請檢查姓名、密碼和教師。</translation>
    </message>
    <message>
        <source>The class server did not answer. Try again.</source>
        <translation>課堂伺服器沒有回應。請重試。</translation>
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
    <message>
        <source>Save</source>
        <translation>儲存</translation>
    </message>
    <message>
        <source>The pages could not be saved as a PDF file.</source>
        <translation>無法將頁面儲存為 PDF 檔案。</translation>
    </message>
    <message>
        <source>The PDF file was saved, but these pages could not be read and were saved blank: %1</source>
        <translation>PDF 檔案已儲存，但以下頁面無法讀取，已儲存為空白頁：%1</translation>
    </message>
</context>
<context>
    <name>NoticeBox</name>
    <message>
        <source>OK</source>
        <translation>確定</translation>
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
    <name>SettingWidget</name>
    <message>
        <source>OK</source>
        <translation>確定</translation>
    </message>
    <message>
        <source>Server IP:</source>
        <translation>伺服器 IP：</translation>
    </message>
    <message>
        <source>Server Port:</source>
        <translation>伺服器連接埠：</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>語言：</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>Enter a valid server address.</source>
        <translation>請輸入有效的伺服器位址。</translation>
    </message>
    <message>
        <source>Enter a server port from 1 to 65535.</source>
        <translation>請輸入 1 到 65535 之間的伺服器連接埠。</translation>
    </message>
    <message>
        <source>Change Language</source>
        <translation>更改語言</translation>
    </message>
    <message>
        <source>Change language will take effect restart software.</source>
        <translation>更改語言將在重新啟動軟體後生效。</translation>
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
