#ifndef FAKETEACHER_H
#define FAKETEACHER_H

#include "support/FakePeer.h"

#include <QList>
#include <QPair>

// The teacher's application on 127.0.0.1: decodes the student's "word@<length>_args"
// frames and sends frames or raw bytes back.
class FakeTeacher : public FakePeer
{
    Q_OBJECT
public:
    using Frame = QPair<QByteArray, QByteArray>; // command word with "@", arguments

    explicit FakeTeacher(QObject *parent = nullptr);

    // "word@" + byte length + "_" + args; word may be given with or without its "@".
    static QByteArray frame(const QByteArray &word, const QByteArray &args);
    bool sendFrame(const QByteArray &word, const QByteArray &args);

    QList<Frame> frames() const { return m_frames; }
    QList<QByteArray> frameTexts() const; // each frame as "word@args"
    void clearFrames();
    // Takes the first frame of that text ("word@args") out of the frames kept.
    bool removeFrame(const QByteArray &text);
    bool waitForFrames(int count, int timeoutMs = kWaitMs);

signals:
    void frameReceived(QByteArray word, QByteArray args);

protected:
    void onBytes(const QByteArray &bytes) override;

private:
    QByteArray m_pending;
    QList<Frame> m_frames;
};

#endif // FAKETEACHER_H
