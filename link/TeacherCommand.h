#ifndef TEACHERCOMMAND_H
#define TEACHERCOMMAND_H

#include <QString>
#include <QStringList>

// The argument forms of the teacher's commands, each read strictly. A parse that fails leaves
// nothing to act on: the caller drops the command (a debug line names what was wrong).
class TeacherCommand
{
public:
    enum Target
    {
        NoTarget,
        EBook, // "ebook"
        ENote  // "enote"
    };

    // Page rows and indices are decimal digits only, at most this value.
    static constexpr int MaxRow = 999999;
    static constexpr int MaxPageCount = 1000;
    static constexpr int MaxPageSide = 16384;

    // "line@": target "&" row "&" item text; only the first two "&" separate, so an item text
    // holding "&" arrives whole.
    struct PageMessage
    {
        Target target = NoTarget;
        int page = -1;
        QString itemText;
    };
    static bool parseLine(const QString &argument, PageMessage &out);

    // "moveimage@": target "#" row "#" item id "#" x,y.
    struct MoveItem
    {
        Target target = NoTarget;
        int page = -1;
        QString itemId;
        QString pos;
    };
    static bool parseMove(const QString &argument, MoveItem &out);

    // "clear@" and "rotate@": target "#" row.
    struct PageRef
    {
        Target target = NoTarget;
        int page = -1;
    };
    static bool parsePageRef(const QString &argument, PageRef &out);

    // "sharevote@": target and seven more fields, handed on whole.
    struct ShareVote
    {
        Target target = NoTarget;
        QStringList fields;
    };
    static bool parseShareVote(const QString &argument, ShareVote &out);

    // "lockscreen@": "1#" text locks (the text keeps any further "#"), "0" unlocks; anything
    // else changes nothing.
    enum LockAction
    {
        LockNone,
        Lock,
        Unlock
    };
    static LockAction parseLock(const QString &argument, QString &text);

    // "browser@": first field "#" address; the address keeps any further "#" and gets
    // "http://" unless it names http or https.
    static bool parseBrowser(const QString &argument, QString &address);

    // The teacher's new e-note page: four fields, the third "width,height", the fourth "1"
    // when an image follows.
    struct AddPage
    {
        int width = 0;
        int height = 0;
        bool withImage = false;
    };
    static bool parseAddPage(const QStringList &fields, AddPage &out);

    // Answers to "query@ebook#..." and "query@enote#...".
    enum AnswerKind
    {
        NoAnswer,
        BookPath,  // bookpath: a ".pdf" book whose file name is safe to use locally
        PageIndex, // pageindex: a row
        PageCount  // pagecount: 0..MaxPageCount
    };
    struct Answer
    {
        AnswerKind kind = NoAnswer;
        int number = -1;
        QString path;     // the teacher's path (bookpath)
        QString fileName; // its local file name (bookpath)
    };
    static bool parseBookAnswer(const QStringList &fields, Answer &out);
    static bool parseENoteAnswer(const QStringList &fields, Answer &out);

    // Digits only, within 0..max; -1 otherwise.
    static int readNumber(const QString &text, int max);
    static Target readTarget(const QString &word);
};

#endif // TEACHERCOMMAND_H
