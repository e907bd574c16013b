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
    <name>DisplayWidget</name>
    <message>
        <source>Fail</source>
        <translation>فشل</translation>
    </message>
    <message>
        <source>This book cannot be opened.</source>
        <translation>لا يمكن فتح هذا الكتاب.</translation>
    </message>
    <message>
        <source>The teacher is on page %1, but this book has only %2 pages.</source>
        <translation>المعلم في الصفحة %1، لكن هذا الكتاب يحتوي على %2 صفحة فقط.</translation>
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
    <name>LoginWidget</name>
    <message>
        <source>Student Name:</source>
        <translation>اسم الطالب:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>كلمة المرور:</translation>
    </message>
    <message>
        <source>Teacher:</source>
        <translation>المعلم:</translation>
    </message>
    <message>
        <source>Login</source>
        <translation>تسجيل الدخول</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>خروج</translation>
    </message>
    <message>
        <source>Logout</source>
        <translation>تسجيل الخروج</translation>
    </message>
    <message>
        <source>Sure to Logout?</source>
        <translation>هل أنت متأكد من تسجيل الخروج؟</translation>
    </message>
    <message>
        <source>The name and the teacher must not contain &quot;,&quot;.</source>
        <translation>يجب ألا يحتوي الاسم واسم المعلم على &quot;,&quot;.</translation>
    </message>
    <message>
        <source>Login failed. Check the name, the password and the teacher.</source>
        <translation>فشل تسجيل الدخول. تحقق من الاسم وكلمة المرور والمعلم.</translation>
    </message>
    <message>
        <source>The class server did not answer. Try again.</source>
        <translation>لم يستجب خادم الفصل. حاول مرة أخرى.</translation>
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
    <message>
        <source>Save</source>
        <translation>حفظ</translation>
    </message>
    <message>
        <source>The pages could not be saved as a PDF file.</source>
        <translation>تعذّر حفظ الصفحات كملف PDF.</translation>
    </message>
    <message>
        <source>The PDF file was saved, but these pages could not be read and were saved blank: %1</source>
        <translation>تم حفظ ملف PDF، لكن تعذّرت قراءة هذه الصفحات فحُفظت فارغة: %1</translation>
    </message>
</context>
<context>
    <name>NoticeBox</name>
    <message>
        <source>OK</source>
        <translation>موافق</translation>
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
    <name>SettingWidget</name>
    <message>
        <source>OK</source>
        <translation>موافق</translation>
    </message>
    <message>
        <source>Server IP:</source>
        <translation>عنوان IP للخادم:</translation>
    </message>
    <message>
        <source>Server Port:</source>
        <translation>منفذ الخادم:</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>اللغة:</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>الإعدادات</translation>
    </message>
    <message>
        <source>Enter a valid server address.</source>
        <translation>أدخل عنوان خادم صالحًا.</translation>
    </message>
    <message>
        <source>Enter a server port from 1 to 65535.</source>
        <translation>أدخل منفذ خادم من 1 إلى 65535.</translation>
    </message>
    <message>
        <source>Change Language</source>
        <translation>تغيير اللغة</translation>
    </message>
    <message>
        <source>Change language will take effect restart software.</source>
        <translation>سيصبح تغيير اللغة ساريًا بعد إعادة تشغيل البرنامج.</translation>
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
