<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ar_EG">
<context>
    <name>CRMessageBox</name>
    <message>
        <source>Confirm Delete</source>
        <translation>تأكيد الحذف</translation>
    </message>
    <message>
        <source>Sure to delete this file?</source>
        <translation>هل أنت متأكد من حذف هذا الملف؟</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>نعم</translation>
    </message>
    <message>
        <source>No</source>
        <translation>لا</translation>
    </message>
</context>
<context>
    <name>DisplayWidget</name>
    <message>
        <source>Fail</source>
        <translation>فشل</translation>
    </message>
    <message>
        <source>This book cannot be opened. It is downloaded again.</source>
        <translation>لا يمكن فتح هذا الكتاب. يجري تنزيله مرة أخرى.</translation>
    </message>
    <message>
        <source>This book cannot be opened.</source>
        <translation>لا يمكن فتح هذا الكتاب.</translation>
    </message>
</context>
<context>
    <name>LocalBooksWidget</name>
    <message>
        <source>Fail</source>
        <translation>فشل</translation>
    </message>
    <message>
        <source>The file could not be deleted.</source>
        <translation>تعذر حذف الملف.</translation>
    </message>
</context>
<context>
    <name>MainWidget</name>
    <message>
        <source>Exit?</source>
        <translation>خروج؟</translation>
    </message>
    <message>
        <source>Are you sure to exit?</source>
        <translation>هل أنت متأكد من الخروج؟</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>نعم</translation>
    </message>
    <message>
        <source>No</source>
        <translation>لا</translation>
    </message>
</context>
<context>
    <name>QuestionDlg</name>
    <message>
        <source>Are you sure to exit?</source>
        <translation>هل أنت متأكد من الخروج؟</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>نعم</translation>
    </message>
    <message>
        <source>No</source>
        <translation>لا</translation>
    </message>
</context>
<context>
    <name>SavePdfDialog</name>
    <message>
        <source>Enter File Name</source>
        <translation>أدخل اسم الملف</translation>
    </message>
    <message>
        <source>Save Path:  </source>
        <translation>مسار الحفظ:  </translation>
    </message>
    <message>
        <source>File Name:</source>
        <translation>اسم الملف:</translation>
    </message>
    <message>
        <source>Invalid file name.</source>
        <translation>اسم الملف غير صالح.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>موافق</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>إلغاء</translation>
    </message>
    <message>
        <source>Replace File</source>
        <translation>استبدال الملف</translation>
    </message>
    <message>
        <source>This file already exists. Replace it?</source>
        <translation>هذا الملف موجود بالفعل. هل تريد استبداله؟</translation>
    </message>
</context>
<context>
    <name>serverbooswidget</name>
    <message>
        <source>Fail</source>
        <translation>فشل</translation>
    </message>
    <message>
        <source>Download failed.</source>
        <translation>فشل التنزيل.</translation>
    </message>
</context>
</TS>
