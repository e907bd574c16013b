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
    <name>DisplayWidget</name>
    <message>
        <source>Fail</source>
        <translation>失敗</translation>
    </message>
    <message>
        <source>This book cannot be opened. It is downloaded again.</source>
        <translation>この本を開けません。もう一度ダウンロードします。</translation>
    </message>
    <message>
        <source>This book cannot be opened.</source>
        <translation>この本を開けません。</translation>
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
