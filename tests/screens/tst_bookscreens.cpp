#include "link/Settings.h"
#include "link/TcpManager.h"
#include "screens/BookListAnswer.h"
#include "screens/DisplayWidget.h"
#include "screens/LocalBooksWidget.h"
#include "screens/ToolbarButton.h"
#include "screens/serverbooswidget.h"
#include "support/FakeClassServer.h"
#include "support/PdfFixtures.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {
QString bookDir()
{
    return Settings::instance()->localBookDir();
}

QStringList texts(QListWidget *list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

// Answers the next confirmation box with its "yes" or "no" button.
void answerConfirmation(const char *button)
{
    QTimer::singleShot(50, [button] {
        if (QWidget *box = QApplication::activeModalWidget())
            QTest::mouseClick(box->findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
    });
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestBookScreens : public QObject
{
    Q_OBJECT
private:
    FakeClassServer m_server;
    TcpManager *tcp() { return TcpManager::instance(); }

    // Sends one answer and waits until the client has read it.
    bool answer(const QByteArray &word, const QString &argument)
    {
        QSignalSpy reads(tcp()->serverSocket(), &QIODevice::readyRead);
        return m_server.sendCommand(word, argument) && reads.wait(FakePeer::kWaitMs);
    }
    bool request(const QByteArray &word, const QString &argument)
    {
        const QByteArray bytes = FakeClassServer::command(word, argument);
        const bool ok = FakePeer::waitUntil([&] { return m_server.received().contains(bytes); });
        m_server.clearReceived();
        return ok;
    }
    // Serves a book for a download the client asked for.
    bool serve(const QString &serverPath, const QByteArray &book)
    {
        if (!request("download@", serverPath) ||
            !answer("download@", serverPath + '#' + QString::number(book.size())) ||
            !request("download@", "ready#" + serverPath))
            return false;
        QSignalSpy reads(tcp()->serverSocket(), &QIODevice::readyRead);
        const int third = book.size() / 3;
        for (const QByteArray &part :
             {book.left(third), book.mid(third, third), book.mid(2 * third)}) {
            if (!m_server.write(part) || !reads.wait(FakePeer::kWaitMs))
                return false;
        }
        return true;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir(bookDir()).removeRecursively());
        QVERIFY(m_server.listen());
        tcp()->m_strIp = QStringLiteral("127.0.0.1");
        tcp()->m_strPort = QString::number(m_server.port());
        tcp()->login(QStringLiteral("T1"), QStringLiteral("Anna"), QStringLiteral("pw"));
        QVERIFY(m_server.waitForConnection());
        QVERIFY(
            request("login@",
                    "T1,Anna," + QCryptographicHash::hash("pw", QCryptographicHash::Md5).toHex()));
        QVERIFY(answer("login@", "success"));
        QVERIFY(tcp()->m_bLogin);
    }

    void bookListAnswers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("two") << "books/math#a.pdf,b.pdf@end" << true
                             << QStringList{"a.pdf", "b.pdf"};
        QTest::newRow("none") << "books#@end" << true << QStringList();
        QTest::newRow("empty names left out")
            << "f#,a.pdf,,b.pdf@end" << true << QStringList{"a.pdf", "b.pdf"};
        QTest::newRow("after a second #") << "f#a.pdf@end#x,y" << true << QStringList{"a.pdf"};
        QTest::newRow("no terminator") << "f#a.pdf,b.pd" << true << QStringList{"a.pdf", "b.pd"};
        QTest::newRow("terminator twice")
            << "f#a.pdf,b.pdf@end@end" << true << QStringList{"a.pdf", "b.pdf"};
        QTest::newRow("terminator inside the last name")
            << "f#a.pdf,b@endx.pdf@end" << true << QStringList{"a.pdf", "bx.pdf"};
        QTest::newRow("no folder") << "a.pdf@end" << false << QStringList();
        QTest::newRow("control character") << "f#a\x01.pdf@end" << true << QStringList();
        QTest::newRow("long name") << "f#" + QString(256, 'n') + "@end" << true << QStringList();
        QTest::newRow("unsafe names among others")
            << "f#a.pdf,c\td.pdf," + QString(256, 'n') + ",e.pdf@end" << true
            << QStringList{"a.pdf", "e.pdf"};
        QTest::newRow("too many") << "f#" + QString("x,").repeated(10001) + "@end" << false
                                  << QStringList();
    }
    void bookListAnswers()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(QStringList, names);
        const BookListAnswer answer = BookListAnswer::parse(text);
        QCOMPARE(answer.ok, ok);
        QCOMPARE(answer.names, names);
    }

    // A long list cut over two reads shows whole; a list that never ends shows after a wait.
    void serverBookListOverReads()
    {
        serverbooswidget server;
        server.queryBooks();
        QVERIFY(request("book@", "query"));
        QStringList names;
        for (int i = 0; i < 400; ++i)
            names << QStringLiteral("Book %1.pdf").arg(i);
        const QByteArray list =
            FakeClassServer::command("book@", "books/all#" + names.join(',') + "@end");
        QSignalSpy reads(tcp()->serverSocket(), &QIODevice::readyRead);
        QVERIFY(m_server.write(list.left(list.size() / 2 + 1)) && reads.wait(FakePeer::kWaitMs));
        QCOMPARE(server.bookList()->count(), 0);
        QVERIFY(m_server.write(list.mid(list.size() / 2 + 1)) && reads.wait(FakePeer::kWaitMs));
        QCOMPARE(texts(server.bookList()), names);
        QCOMPARE(server.bookList()->item(399)->data(serverbooswidget::ServerPathRole).toString(),
                 QStringLiteral("books/all/Book 399.pdf"));

        server.queryBooks();
        QVERIFY(request("book@", "query"));
        QVERIFY(answer("book@", "books#x.pdf,y.pdf"));
        QTRY_COMPARE_WITH_TIMEOUT(texts(server.bookList()), QStringList({"x.pdf", "y.pdf"}), 6000);
    }

    void localBooksListOpenAndDelete()
    {
        QVERIFY(PdfFixtures::book(bookDir() + "b.pdf", 3));
        QVERIFY(PdfFixtures::book(bookDir() + "A.pdf", 2));
        QVERIFY(PdfFixtures::textFile(bookDir() + "c.PDF"));
        QVERIFY(QDir(bookDir()).mkpath("d.pdf/inside"));
        DisplayWidget display;
        LocalBooksWidget books;
        QCOMPARE(texts(books.bookList()), QStringList({"A.pdf", "b.pdf", "d.pdf"}));
        QSignalSpy jumps(&books, &LocalBooksWidget::jumpEBook);
        books.onBtnOpen(); // nothing chosen: nothing happens
        books.onBtnDelete();
        QCOMPARE(jumps.count(), 0);

        books.bookList()->setCurrentRow(1);
        QTest::mouseClick(books.openButton(), Qt::LeftButton);
        QCOMPARE(jumps.count(), 1);
        QCOMPARE(display.currentBook(), bookDir() + "b.pdf");
        QTRY_COMPARE_WITH_TIMEOUT(display.pageCount(), 3, 10000);

        answerConfirmation("no");
        books.onBtnDelete();
        QVERIFY(QFile::exists(bookDir() + "b.pdf"));
        answerConfirmation("yes");
        books.onBtnDelete();
        QVERIFY(!QFile::exists(bookDir() + "b.pdf"));
        QCOMPARE(texts(books.bookList()), QStringList({"A.pdf", "d.pdf"}));

        // What cannot be removed stays listed, and the student is told.
        books.bookList()->setCurrentRow(1);
        answerConfirmation("yes");
        books.onBtnDelete();
        QCOMPARE(texts(books.bookList()), QStringList({"A.pdf", "d.pdf"}));
        QVERIFY(books.failBox());
        QCOMPARE(books.failBox()->text(), QStringLiteral("The file could not be deleted."));
        books.failBox()->close();
    }

    // The list from the server, a download through it with its progress bar, and the book
    // opening by itself; a book that will not open is fetched again.
    void serverBooksDownloadAndOpen()
    {
        DisplayWidget display;
        LocalBooksWidget local;
        serverbooswidget server;
        server.queryBooks();
        QVERIFY(request("book@", "query"));
        QVERIFY(answer("book@", "books/math#five.pdf,bad.pdf@end"));
        QCOMPARE(texts(server.bookList()), QStringList({"five.pdf", "bad.pdf"}));
        QCOMPARE(server.bookList()->item(0)->data(serverbooswidget::ServerPathRole).toString(),
                 QStringLiteral("books/math/five.pdf"));

        QSignalSpy values(server.progressBar(), &QProgressBar::valueChanged);
        server.onItemDbClicked(server.bookList()->item(0));
        QVERIFY(!server.progressBar()->isHidden());
        const QString scratch = QDir::temp().filePath("five-served.pdf");
        QVERIFY(PdfFixtures::book(scratch, 5));
        QVERIFY(serve("books/math/five.pdf", readFile(scratch)));
        QVERIFY(values.contains({100}));
        QVERIFY(server.progressBar()->isHidden());
        QCOMPARE(server.progressBar()->value(), 0);
        QVERIFY(texts(local.bookList()).contains("five.pdf"));
        QTRY_COMPARE_WITH_TIMEOUT(display.lastBook(), bookDir() + "five.pdf", 10000);
        QCOMPARE(display.pageCount(), 5);

        // The same book downloaded again under its name opens again.
        server.bookList()->setCurrentRow(0);
        server.onBtnDownload();
        QVERIFY(serve("books/math/five.pdf", readFile(scratch)));
        QVERIFY(display.isOpening());
        QTRY_COMPARE_WITH_TIMEOUT(display.lastBook(), bookDir() + "five.pdf", 10000);

        // A downloaded book that fails is deleted and fetched again.
        server.bookList()->setCurrentRow(1);
        server.onBtnDownload();
        QVERIFY(serve("books/math/bad.pdf", "%PDF-1.4 broken"));
        QVERIFY(request("download@", "books/math/bad.pdf"));
        QVERIFY(!QFile::exists(bookDir() + "bad.pdf"));
        QVERIFY(!display.failBox()); // nothing to tell while it is fetched again
        QVERIFY(answer("download@", "failed#books/math/bad.pdf"));
        QVERIFY(!display.failBox()); // told once, by the download's box
        QVERIFY(server.failBox());
        QCOMPARE(server.failBox()->text(), QStringLiteral("Download failed."));
        QVERIFY(server.progressBar()->isHidden());

        // A progress step without a total draws nothing.
        server.onDownloadPdfProgress(0, 0);
        server.onDownloadPdfProgress(-5, 10);
        QVERIFY(server.progressBar()->isHidden());
    }

    // The teacher's book already in the local folder that will not open is removed and
    // fetched again until no retry is left; the student is told once, at the end. Opened from
    // the local list, it is kept.
    void damagedTeacherBookIsFetchedAgain()
    {
        DisplayWidget display;
        serverbooswidget server;
        const QString path = bookDir() + "teach.pdf";
        QVERIFY(PdfFixtures::damaged(path));
        const QByteArray damaged = readFile(path);
        tcp()->m_strDownloadPath = QStringLiteral("books/teach.pdf"); // named by the main window
        display.onOpeneBook(path);
        QTRY_VERIFY_WITH_TIMEOUT(display.failBox(), 10000);
        QVERIFY(QFile::exists(path));
        display.failBox()->close();
        QTRY_VERIFY(display.findChildren<QMessageBox *>().isEmpty());

        m_server.clearReceived();
        display.openTeacherBook(path);
        const QByteArray asked = FakeClassServer::command("download@", "books/teach.pdf");
        int fetches = 0;
        while (!server.failBox()) {
            QVERIFY(FakePeer::waitUntil(
                [&] { return server.failBox() || m_server.received().contains(asked); }, 10000));
            if (server.failBox())
                break;
            QVERIFY(!QFile::exists(path) && display.isFetchingAgain());
            QVERIFY(++fetches <= 2);
            QVERIFY(serve("books/teach.pdf", damaged));
        }
        QVERIFY(fetches >= 1 && !display.isFetchingAgain());
        QVERIFY(display.findChildren<QMessageBox *>().isEmpty());
        QCOMPARE(server.findChildren<QMessageBox *>().size(), 1);
        QCOMPARE(server.failBox()->text(), QStringLiteral("Download failed."));
    }
};

QTEST_MAIN(TestBookScreens)
#include "tst_bookscreens.moc"
