#ifndef TEACHERFRAMEDECODER_H
#define TEACHERFRAMEDECODER_H

#include <QByteArray>
#include <QString>
#include <QStringList>

// Cuts "word@<length>_arguments" frames out of the teacher data stream. Each read is
// appended whole; next() hands out the frames it completes, one at a time.
//
// A read may end inside a header ("cha", "chat@", "chat@1"). The decoder then holds that
// tail: the next read continues it only when it carries on the same header (letters that
// still spell a command word, the "@" after the word, the digits and "_" of the length);
// otherwise, or when finish() is called because no read came in time, the held bytes are
// decoded on their own: a word with nothing or only its digits after it is a command sent
// unframed, and letters alone are dropped. So bytes that start no command word never spoil
// the frames of the next read.
class TeacherFrameDecoder
{
public:
    static constexpr qint64 MaxLength = 64 * 1024 * 1024;
    static constexpr int MaxWordLength = 32;
    static constexpr int MaxDigits = 64;

    enum class Result
    {
        Frame,       // a complete frame was taken out
        NeedMore,    // the data ends inside a frame, or has all been used
        Undecodable, // the data does not start with a command word; dropped to its end
        TooLong      // the length field passes MaxLength; everything has been dropped
    };

    struct Frame
    {
        QByteArray word; // command word with its "@"
        QByteArray args;
    };

    // Argument bytes as text: UTF-8 up to the first NUL; fields split at separator.
    static QString argumentText(const QByteArray &bytes);
    static QStringList argumentFields(const QByteArray &bytes, char separator);

    // The words of the teacher's commands, each with its "@".
    static const QList<QByteArray> &commandWords();
    static bool isCommandWord(const char *letters, int size);
    static bool isCommandPrefix(const char *letters, int size);

    // Appends one read.
    void append(const QByteArray &data);
    Result next(Frame &frame);
    // The data ended inside a header; call finish() when no read follows in time.
    bool holdsHeader() const;
    // Decodes the held header as complete data: true with the frame of an unframed
    // command, false when the held bytes were dropped (or nothing was held).
    bool finish(Frame &frame);
    void clear();
    qint64 buffered() const { return m_buffer.size() - m_pos; }
    // Argument bytes still to come of a frame whose header is all here; 0 when none waits.
    qint64 missing() const;
    // At most limit bytes from where the next frame starts.
    QByteArray peek(int limit) const { return m_buffer.mid(m_pos, limit); }
    // At most limit bytes of the frame next() handed out last, header included.
    QByteArray lastFrame(int limit) const;

private:
    enum class Tail
    {
        None,
        Letters,     // the start of a word
        Word,        // "word@"
        Digits,      // "word@123"
        NextLetters, // "word@" and the start of a command word right after it
    };

    Result decode(Frame &frame, int end, bool final);
    Result unframed(Frame &frame, int wordEnd, int end);
    bool continuesTail() const;
    Result hold(Tail tail);
    void take(Frame &frame, int wordEnd, int argStart, int argEnd, int next);

    QByteArray m_buffer;
    int m_pos = 0;
    int m_nFrameStart = 0; // of the frame handed out last
    Tail m_tail = Tail::None;
    int m_nTailEnd = 0; // where the read holding the tail ended
};

#endif // TEACHERFRAMEDECODER_H
