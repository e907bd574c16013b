<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>CRMessageBox</name>
    <message>
        <source>Confirm Delete</source>
        <translation>削除の確認</translation>
    </message>
    <message>
        <source>Sure to delete this file?</source>
        <translation>このファイルを削除してもよろしいですか？</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>はい</translation>
    </message>
    <message>
        <source>No</source>
        <translation>いいえ</translation>
    </message>
</context>
<context>
    <name>ChatWidget</name>
    <message>
        <source>Teacher</source>
        <translation>先生</translation>
    </message>
    <message>
        <source>Me</source>
        <translation>自分</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>送信</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
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
        <translation>この本を開けません。</translation>
    </message>
    <message>
        <source>The teacher is on page %1, but this book has only %2 pages.</source>
        <translation>先生は %1 ページを開いていますが、この本は %2 ページしかありません。</translation>
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
        <translation>ファイルを削除できませんでした。</translation>
    </message>
</context>
<context>
    <name>LoginWidget</name>
    <message>
        <source>Student Name:</source>
        <translation>生徒名：</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>パスワード：</translation>
    </message>
    <message>
        <source>Teacher:</source>
        <translation>先生：</translation>
    </message>
    <message>
        <source>Login</source>
        <translation>ログイン</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>Logout</source>
        <translation>ログアウト</translation>
    </message>
    <message>
        <source>Sure to Logout?</source>
        <translation>ログアウトしてもよろしいですか？</translation>
    </message>
    <message>
        <source>The name and the teacher must not contain &quot;,&quot;.</source>
        <translation>名前と先生に「,」を含めることはできません。</translation>
    </message>
    <message>
        <source>Login failed. Check the name, the password and the teacher.</source>
        <translation>ログインに失敗しました。名前、パスワード、先生を確認してください。</translation>
    </message>
    <message>
        <source>The class server did not answer. Try again.</source>
        <translation>クラスサーバーが応答しませんでした。もう一度お試しください。</translation>
    </message>
</context>
<context>
    <name>MainWidget</name>
    <message>
        <source>Exit?</source>
        <translation>終了しますか？</translation>
    </message>
    <message>
        <source>Are you sure to exit?</source>
        <translation>終了してもよろしいですか？</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>はい</translation>
    </message>
    <message>
        <source>No</source>
        <translation>いいえ</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>The pages could not be saved as a PDF file.</source>
        <translation>ページを PDF ファイルとして保存できませんでした。</translation>
    </message>
    <message>
        <source>The PDF file was saved, but these pages could not be read and were saved blank: %1</source>
        <translation>PDF ファイルを保存しましたが、次のページは読み込めなかったため白紙で保存されました：%1</translation>
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
        <translation>終了してもよろしいですか？</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>はい</translation>
    </message>
    <message>
        <source>No</source>
        <translation>いいえ</translation>
    </message>
</context>
<context>
    <name>SavePdfDialog</name>
    <message>
        <source>Enter File Name</source>
        <translation>ファイル名を入力</translation>
    </message>
    <message>
        <source>Save Path:  </source>
        <translation>保存先：  </translation>
    </message>
    <message>
        <source>File Name:</source>
        <translation>ファイル名：</translation>
    </message>
    <message>
        <source>Invalid file name.</source>
        <translation>無効なファイル名です。</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Replace File</source>
        <translation>ファイルの置換</translation>
    </message>
    <message>
        <source>This file already exists. Replace it?</source>
        <translation>このファイルは既に存在します。置き換えますか？</translation>
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
        <translation>サーバー IP：</translation>
    </message>
    <message>
        <source>Server Port:</source>
        <translation>サーバーポート：</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>言語：</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>Enter a valid server address.</source>
        <translation>有効なサーバーアドレスを入力してください。</translation>
    </message>
    <message>
        <source>Enter a server port from 1 to 65535.</source>
        <translation>1 から 65535 までのサーバーポートを入力してください。</translation>
    </message>
    <message>
        <source>Change Language</source>
        <translation>言語の変更</translation>
    </message>
    <message>
        <source>Change language will take effect restart software.</source>
        <translation>言語の変更はソフトウェアの再起動後に有効になります。</translation>
    </message>
</context>
<context>
    <name>VoteWidget</name>
    <message>
        <source>Send</source>
        <translation>送信</translation>
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
        <translation>ダウンロードに失敗しました。</translation>
    </message>
</context>
</TS>
