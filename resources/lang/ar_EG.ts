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
    <name>ChatWidget</name>
    <message>
        <source>Teacher</source>
        <translation>المعلم</translation>
    </message>
    <message>
        <source>Me</source>
        <translation>أنا</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>إرسال</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>إغلاق</translation>
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
    <name>VoteWidget</name>
    <message>
        <source>Send</source>
        <translation>إرسال</translation>
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
