#ifndef TEACHERFRAMEDECODER_H
#define TEACHERFRAMEDECODER_H

#include <QByteArray>
#include <QString>
#include <QStringList>

// Cuts "word@<length>_arguments" frames out of the teacher data stream.
// Bytes are appended per read; next() hands out complete frames one at a time.
class TeacherFrameDecoder
{
public:
    static constexpr qint64 MaxLength = 64 * 1024 * 1024;
    static constexpr int MaxWordLength = 32;
    static constexpr int MaxDigits = 10;

    enum class Result
    {
        Frame,       // a complete frame was taken out
        NeedMore,    // the buffer ends inside a frame
        Undecodable, // the buffer does not start with a command word; it has been dropped
        TooLong      // the length field passes MaxLength; the buffer has been dropped
    };

    struct Frame
    {
        QByteArray word; // command word with its "@"
        QByteArray args;
    };

    // Argument bytes as text: UTF-8 up to the first NUL; fields split at separator.
    static QString argumentText(const QByteArray &bytes);
    static QStringList argumentFields(const QByteArray &bytes, char separator);

    void append(const QByteArray &data);
    Result next(Frame &frame);
    // True when the buffer holds just word (with its "@"): the start of a frame, or that
    // command sent unframed.
    bool holdsBareWord(const QByteArray &word) const;
    // Hands out a lone word as an unframed command with no argument.
    bool takeBareWord(const QByteArray &word, Frame &frame);
    void clear();
    qint64 buffered() const { return m_buffer.size() - m_pos; }

private:
    QByteArray m_buffer;
    int m_pos = 0;
};

#endif // TEACHERFRAMEDECODER_H
