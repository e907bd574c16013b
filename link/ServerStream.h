#ifndef SERVERSTREAM_H
#define SERVERSTREAM_H

#include "link/ServerAnswer.h"

#include <QByteArray>

// The class server's bytes as a stream of answers: "word@" + Base64, one after another with
// no framing. An answer ends where its Base64 ends: after its "=" padding, at a byte outside
// the Base64 alphabet, or where the next answer word begins. Bytes before an answer word are
// no answer and are dropped. The last answer held may go on in the next read; it is handed
// out once that is known, or by finish() when no more came. Book bytes are taken raw.
class ServerStream
{
public:
    // One answer as sent, word included; a longer one is dropped.
    static constexpr int MaxAnswerBytes = 4 * 1024 * 1024;

    enum class Tail
    {
        None, // nothing waits
        Open, // an answer whose end cannot be told: it may be whole
        Cut   // an answer or an answer word certainly incomplete
    };

    void append(const QByteArray &bytes);
    // The first answer held, when its end is known; false when none is.
    bool next(ServerAnswer *answer);
    // What the last next() left waiting.
    Tail tail() const { return m_tail; }
    // No more came: an open answer is taken as it is, a cut one is dropped.
    bool finish(ServerAnswer *answer);
    // True when the bytes held begin with an answer word, or with the start of one.
    bool startsWithAnswer() const;
    // Up to max raw bytes from the front.
    QByteArray take(qint64 max);
    qint64 buffered() const { return m_buffer.size() - m_nHead; }
    void clear();

private:
    void drop(int count, const char *why);
    void dropNoise();

    QByteArray m_buffer;
    int m_nHead = 0;    // bytes before it are taken
    int m_nScanned = 0; // of the answer at the head: Base64 bytes already looked at
    Tail m_tail = Tail::None;
};

#endif // SERVERSTREAM_H
