#ifndef BENCHLESSON_H
#define BENCHLESSON_H

#include "common/LoopbackPeer.h"

#include <QSize>
#include <QString>

#include <memory>

class MainWidget;

// The real main window, joined to a teacher played on loopback: a class server that only
// listens, the teacher's data connection and its page-image connection.
class BenchLesson
{
public:
    BenchLesson();
    ~BenchLesson();

    // Shows the main window full screen and lets the teacher accept the student.
    bool start();
    // The teacher's status "enote" with one page of that size, synchronised and shown.
    bool followNote(const QSize &page = QSize(1280, 800));
    // The teacher's status "ebook" with a book of the local book folder, page 0 shown.
    bool followBook(const QString &bookName);

    MainWidget *window() const { return m_window.get(); }
    LoopbackPeer &teacher() { return m_teacher; }

private:
    // Sends a frame and waits for the student's answer, both given as "word@args".
    bool answer(const QByteArray &wanted, const QByteArray &message);

    LoopbackPeer m_server;
    LoopbackPeer m_teacher;
    LoopbackPeer m_images;
    std::unique_ptr<MainWidget> m_window;
};

#endif // BENCHLESSON_H
