// screen sizes: 1920x1080
// resource lock: teacher ports
// The program as it ships, started on a bare X server and driven with xdotool through a whole
// lesson: the class server and the teacher (on the fixed teacher ports) are played here, and
// what the student sees is checked on screenshots of the X screen.
#include "support/FakeClassServer.h"
#include "support/FakeTeacher.h"
#include "support/PdfFixtures.h"
#include "support/ProgramRunner.h"
#include "support/ScreenPixels.h"
#include "support/TestArtifacts.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {
// Each step waits for what it checks at most this long: enough for a loaded machine. How fast the
// program starts is measured by bench_startup.
#if defined(__SANITIZE_ADDRESS__)
const int kStepMs = 45000; // instrumented builds run several times slower
#else
const int kStepMs = 15000;
#endif
const int kToolbarHeight = 62;
const quint16 kTeacherPort = 59988;
const quint16 kPageImagePort = 56688;
// Another run of this test elsewhere on the machine may hold the teacher ports for a while.
const int kPortWaitMs = 120000;

const QColor kFirstPageBox(0, 170, 0);
const QColor kSecondPageBox(0, 0, 255);
const QColor kTeacherBookInk(255, 0, 255);
const QColor kNoteBackground(255, 200, 0);
const QColor kTeacherNoteInk(0, 150, 150);
const QSize kNotePage(800, 600);
const int kTitleBand = 40;
const QSize kChatSize(500, 400);
const QSize kVoteSize(250, 370);
const QByteArray kBookPath = "books/grade 5/fractions.pdf";

// Where the login screen puts its fields on a screen of the given size.
struct LoginLayout
{
    explicit LoginLayout(const QRect &screen)
    {
        QSize panel(333, 300);
        if (screen.width() >= 1280 && screen.height() >= 800)
            panel = QSize(int(0.26 * screen.width()), int(0.46 * screen.height()));
        const int labelWidth = int(0.4 * panel.width());
        const int rowHeight = int(0.15 * panel.height());
        const int fieldWidth = int(0.6 * panel.width());
        const QPoint origin((screen.width() - panel.width()) / 2,
                            kToolbarHeight +
                                (screen.height() - kToolbarHeight - panel.height()) / 2);
        const int buttonRowHeight = qMax(rowHeight, 60);
        const int settingHeight = int(0.126 * panel.height());
        // The spare height is shared out evenly above, between and below the five rows.
        const int gap = (panel.height() - 3 * rowHeight - buttonRowHeight - settingHeight - 53) / 6;
        // Left third of a field: clear of its keyboard button.
        const auto field = [&](int row) {
            return origin + QPoint(labelWidth + fieldWidth / 3,
                                   gap + row * (rowHeight + 4 + gap) + rowHeight / 2);
        };
        name = field(0);
        password = field(1);
        teacher = field(2);
        login = origin +
                QPoint(labelWidth / 2, gap + 3 * (rowHeight + gap) + 8 + 25 + buttonRowHeight / 2);
        exit = login + QPoint(labelWidth / 2 + 65, 0); // right of the login button, 130 wide
        teacherField =
            QRect(origin.x() + labelWidth, teacher.y() - rowHeight / 2, fieldWidth, rowHeight);
    }
    QPoint name, password, teacher, login, exit;
    QRect teacherField;
};

// Centre of a toolbar button: the status picture, then the buttons, 70 wide and 4 apart.
QPoint toolbarButton(int slot)
{
    return QPoint(slot * 74 + 35, kToolbarHeight / 2);
}
const int kPenButton = 3;
// Left of the hands-up button at the right end of the toolbar.
const QRect kShareIndicator(1600, 0, 236, kToolbarHeight);
// Background of the login screen, clear of its panel.
const QRect kLoginBackground(20, kToolbarHeight + 20, 300, 200);

// A stroke item text: type 3, colour, width, points.
QByteArray strokeText(const QColor &colour, int width, const QList<QPoint> &points)
{
    QByteArray text = "3#" + QByteArray::number(colour.red()) + ',' +
                      QByteArray::number(colour.green()) + ',' + QByteArray::number(colour.blue()) +
                      ",255#" + QByteArray::number(width) + '#';
    for (const QPoint &p : points)
        text += QByteArray::number(p.x()) + ',' + QByteArray::number(p.y()) + ' ';
    text.chop(1);
    return text;
}

// A zigzag drawn on a page shown on screen: from a page point, steps of dx across, dy above and
// below; its screen points and the screen area its ink may cover.
struct PenPath
{
    QList<QPoint> points;
    QRect area;
};

PenPath zigzag(const QRect &page, const QPoint &from, int steps, int dx, int dy)
{
    PenPath path;
    for (int i = 0; i <= steps; ++i)
        path.points << page.topLeft() + from + QPoint(i * dx, i % 2 ? dy : -dy);
    path.area = QRect(path.points.first(), path.points.last())
                    .normalized()
                    .adjusted(-5, -dy - 10, 5, dy + 10);
    return path;
}

// The first point of the stroke of a "line@" message.
QPointF firstStrokePoint(const QByteArray &line)
{
    const QList<QByteArray> xy = line.mid(line.lastIndexOf('#') + 1).split(' ').first().split(',');
    return xy.size() == 2 ? QPointF(xy.at(0).toDouble(), xy.at(1).toDouble()) : QPointF(-1, -1);
}

QByteArray notePicture()
{
    QImage image(kNotePage, QImage::Format_RGB32);
    image.fill(kNoteBackground);
    QPainter painter(&image);
    painter.fillRect(QRect(0, 0, kNotePage.width(), kTitleBand), Qt::darkGray);
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// Where the pages are drawn: right of the thumbnail list, under the toolbar.
QRect canvasArea(const QRect &screen)
{
    return QRect(220, kToolbarHeight, screen.width() - 220, screen.height() - kToolbarHeight);
}

bool mostlyBlack(const QImage &shot)
{
    const QRect all = shot.rect();
    return ScreenPixels::count(shot, all, Qt::black) > all.width() * all.height() * 9 / 10;
}
} // namespace

class TestProgram : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void joiningTheClass();
    void joiningTheTeacher();
    void followingTheTeachersBook();
    void teacherStrokeOnTheBook();
    void synchronisedNotePage();
    void penChosenOnTheBookDrawsOnTheNotes();
    void stalledNoteImageSparesTheNextPage();
    void studentStrokeReachesTheTeacher();
    void chat();
    void chatFloodKeepsTheProgramAnswering();
    void lockAndRelease();
    void exitQuestionUnderTheLock();
    void vote();
    void lastPageOfALongBook();
    void kick();
    void cleanupTestCase();

private:
    // Runs the event loop, grabbing the screen, until the picture passes the check.
    QImage waitForScreen(const std::function<bool(const QImage &)> &check, int timeoutMs = kStepMs);
    // The teacher's frames (each "word@args") without the battery reports, which come when
    // they come.
    QList<QByteArray> lessonFrames() const;
    bool waitForFrame(const QByteArray &text, int timeoutMs = kStepMs);
    bool save(const QImage &shot, const QString &name);
    bool hasWindowOfSize(const QSize &size) const;

    QTemporaryDir m_files;
    QByteArray m_book;
    FakeClassServer m_server;
    FakeTeacher m_teacher;
    FakePeer m_images;
    ProgramRunner m_program;
    QRect m_screen;
    QImage m_loginScreen;
    QRect m_notePage; // where the note page shows on screen
};

void TestProgram::initTestCase()
{
    QVERIFY2(!ProgramRunner::xdotool({QStringLiteral("version")}).isNull(),
             "xdotool is missing (scripts/install-deps.sh installs it)");
    QVERIFY(m_server.listen());
    QVERIFY(m_program.writeSettings(QStringLiteral("127.0.0.1"), m_server.port()));
    // The program reaches the teacher on fixed ports only.
    bool teacher = false;
    bool images = false;
    QVERIFY2(FakePeer::waitUntil(
                 [&] {
                     teacher = teacher || m_teacher.listen(kTeacherPort);
                     images = images || m_images.listen(kPageImagePort);
                     return teacher && images;
                 },
                 kPortWaitMs),
             "the teacher ports 59988 and 56688 stay taken");

    PdfFixtures::Page first;
    first.box = QRectF(36, 36, 300, 200);
    first.colour = kFirstPageBox;
    first.text = true;
    PdfFixtures::Page second = first;
    second.colour = kSecondPageBox;
    const QString book = m_files.filePath(QStringLiteral("book.pdf"));
    QVERIFY(PdfFixtures::write(book, {first, second}));
    QFile file(book);
    QVERIFY(file.open(QIODevice::ReadOnly));
    m_book = file.readAll();
}

void TestProgram::joiningTheClass()
{
    QVERIFY(m_program.start());
    const QByteArray query = "teacher@cXVlcnk=";
    QVERIFY2(m_server.waitUntil([&] { return m_server.received() == query; }, kStepMs),
             m_program.output().right(2000).constData());

    // Full screen without a window manager.
    QVERIFY(m_program.waitForWindow(&m_screen));
    QCOMPARE(m_screen, ProgramRunner::screenGeometry());

    m_server.clearReceived();
    const LoginLayout layout(m_screen);
    // The screen is painted, the teacher field's light face shown, before the list comes.
    const QRect &field = layout.teacherField;
    const QImage painted = waitForScreen([&](const QImage &image) {
        return ScreenPixels::count(image, field, Qt::white, 55) >
               field.width() * field.height() / 2;
    });
    QVERIFY(!painted.isNull());
    const int teacherInk = ScreenPixels::count(painted, field, Qt::black, 60);
    QVERIFY(m_server.sendCommand("teacher@", QStringLiteral("Ms Kowalski,Mr Brandt")));
    // The list has reached the screen: its first name shows in the teacher field.
    QVERIFY(!waitForScreen([&](const QImage &image) {
                 return ScreenPixels::count(image, field, Qt::black, 60) > teacherInk + 50;
             }).isNull());
    QVERIFY(m_program.click(layout.name));
    QVERIFY(m_program.type(QStringLiteral("Anna")));
    QVERIFY(m_program.click(layout.password));
    QVERIFY(m_program.type(QStringLiteral("secret 1")));
    QVERIFY(m_program.click(layout.login));

    const QByteArray login = FakeClassServer::command(
        "login@", QStringLiteral("Ms Kowalski,Anna,") +
                      QCryptographicHash::hash("secret 1", QCryptographicHash::Md5).toHex());
    QVERIFY2(m_server.waitUntil([&] { return m_server.received() == login; }),
             m_server.received().constData());
    QCOMPARE(m_program.readSetting(QStringLiteral("StudentName")), QStringLiteral("Anna"));
    m_loginScreen = ProgramRunner::grabScreen();
    QVERIFY(save(m_loginScreen, QStringLiteral("program_login")));

    // Accepted: the program asks where the teacher is.
    m_server.clearReceived();
    QVERIFY(m_server.sendCommand("login@", QStringLiteral("success")));
    QVERIFY(m_server.waitUntil([&] { return m_server.received() == "teacherIP@cXVlcnk="; }));
    QVERIFY(m_program.isRunning());
}

void TestProgram::joiningTheTeacher()
{
    // "127.0.0.1" stands for the class server's own address.
    QVERIFY(m_server.sendCommand("teacherIP@", QStringLiteral("Ms Kowalski#127.0.0.1")));
    QVERIFY(m_teacher.waitForConnection(kStepMs));
    QVERIFY(m_images.waitForConnection(kStepMs));
    QVERIFY(waitForFrame("information@Anna"));
    m_teacher.clearFrames();
    QVERIFY(m_teacher.sendFrame("information@", ""));
    QVERIFY(waitForFrame("query@status"));
    QCOMPARE(lessonFrames(), QList<QByteArray>{"query@status"});
}

void TestProgram::followingTheTeachersBook()
{
    m_teacher.clearFrames();
    QVERIFY(m_teacher.sendFrame("query@", "status#ebook"));
    QVERIFY(waitForFrame("status@ebook"));
    // The battery level goes with the answer, before it.
    QVERIFY(!m_teacher.frameTexts().isEmpty() &&
            m_teacher.frameTexts().first().startsWith("battery@"));
    QCOMPARE(lessonFrames(), (QList<QByteArray>{"query@ebook#bookpath", "status@ebook"}));

    // Not in the local book folder: fetched from the class server.
    m_server.clearReceived();
    m_teacher.clearFrames();
    QVERIFY(m_teacher.sendFrame("query@", "ebook#bookpath#" + kBookPath));
    const QByteArray request = FakeClassServer::command("download@", kBookPath);
    QVERIFY2(m_server.waitUntil([&] { return m_server.received() == request; }, kStepMs),
             m_server.received().constData());
    m_server.clearReceived();
    QVERIFY(m_server.sendCommand("download@", kBookPath + '#' + QByteArray::number(m_book.size())));
    const QByteArray ready = FakeClassServer::command("download@", "ready#" + kBookPath);
    QVERIFY2(m_server.waitUntil([&] { return m_server.received() == ready; }, kStepMs),
             m_server.received().constData());
    QVERIFY(m_server.write(m_book));

    // Opened: the program asks for the teacher's page, shows it and says so.
    QVERIFY(waitForFrame("query@ebook#pageindex"));
    QVERIFY(m_teacher.sendFrame("query@", "ebook#pageindex#1"));
    QVERIFY(waitForFrame("sync@ebook#1"));
    QCOMPARE(lessonFrames(), (QList<QByteArray>{"query@ebook#pageindex", "sync@ebook#1"}));
    QFile copy(m_program.dataRoot() + QStringLiteral("localBook/fractions.pdf"));
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), m_book);

    // The canvas shows the second page; both pages are among the thumbnails.
    const QRect canvas = canvasArea(m_screen);
    const QRect thumbnails(0, kToolbarHeight, 220, m_screen.height() - kToolbarHeight);
    const QImage shot = waitForScreen([&](const QImage &image) {
        return ScreenPixels::count(image, canvas, kSecondPageBox) > 20000 &&
               ScreenPixels::count(image, canvas, kFirstPageBox) == 0 &&
               ScreenPixels::count(image, thumbnails, kFirstPageBox) > 100 &&
               ScreenPixels::count(image, thumbnails, kSecondPageBox) > 100;
    });
    QVERIFY(save(shot, QStringLiteral("program_ebook")));
    QVERIFY(!shot.isNull());
}

void TestProgram::teacherStrokeOnTheBook()
{
    const QRect canvas = canvasArea(m_screen);
    QCOMPARE(ScreenPixels::count(ProgramRunner::grabScreen(), canvas, kTeacherBookInk), 0);
    // Book pages are shown at two thirds of 96 dpi: a letter page is 544 x 704.
    const QList<QPoint> points = {{60, 420}, {200, 470}, {340, 430}, {480, 520}};
    QVERIFY(m_teacher.sendFrame("line@", "ebook&1&" + strokeText(kTeacherBookInk, 8, points)));
    const QImage shot = waitForScreen([&](const QImage &image) {
        return ScreenPixels::count(image, canvas, kTeacherBookInk) > 1500;
    });
    QVERIFY(save(shot, QStringLiteral("program_ebook_stroke")));
    QVERIFY(!shot.isNull());
    // Drawn over the page where the teacher put it: below the coloured box, left to right.
    const QRect ink = ScreenPixels::box(shot, canvas, kTeacherBookInk);
    const QRect box = ScreenPixels::box(shot, canvas, kSecondPageBox);
    // The box begins half an inch (32 pixels) into the page; the ink is 8 wide.
    const int pageLeft = box.left() - 32;
    QVERIFY2(ink.top() > box.bottom() && qAbs(ink.left() - (pageLeft + 60 - 4)) <= 4 &&
                 qAbs(ink.width() - (420 + 8)) <= 8,
             qPrintable(QStringLiteral("ink %1,%2 %3x%4, box %5,%6")
                            .arg(ink.x())
                            .arg(ink.y())
                            .arg(ink.width())
                            .arg(ink.height())
                            .arg(box.x())
                            .arg(box.y())));
}

void TestProgram::synchronisedNotePage()
{
    m_teacher.clearFrames();
    QVERIFY(m_teacher.sendFrame("query@", "status#enote"));
    QVERIFY(waitForFrame("status@enote"));
    QCOMPARE(lessonFrames(), (QList<QByteArray>{"query@enote#pagecount", "status@enote"}));
    m_teacher.clearFrames();
    QVERIFY(m_teacher.sendFrame("query@", "enote#pagecount#1"));
    QVERIFY(waitForFrame("query@enote#pageindex"));
    QVERIFY(m_teacher.sendFrame("query@", "enote#pageindex#0"));

    // The page is not up to date: its size and picture come on the page-image connection.
    QVERIFY(m_images.waitUntil([this] { return m_images.received() == "sync@enote#query#0"; },
                               kStepMs));
    const QByteArray png = notePicture();
    QVERIFY(m_images.write("sync@enote#0#" + QByteArray::number(kNotePage.width()) + ',' +
                           QByteArray::number(kNotePage.height()) + ",1," +
                           QByteArray::number(png.size())));
    QVERIFY(waitForFrame("sync@enote#0"));
    QVERIFY(m_images.waitUntil(
        [this] { return m_images.received() == "sync@enote#query#0sync@enote#ready#0"; }, kStepMs));
    QVERIFY(m_images.write(png));
    // Its strokes follow on the data connection, closed by the line-sync end.
    const QList<QPoint> points = {{100, 120}, {300, 200}, {500, 110}, {700, 190}};
    QVERIFY(m_teacher.sendFrame("line@", "enote&0&" + strokeText(kTeacherNoteInk, 10, points)));
    QVERIFY(m_teacher.sendFrame("sync@", "enote#end"));

    const QRect canvas = canvasArea(m_screen);
    const QImage shot = waitForScreen([&](const QImage &image) {
        return ScreenPixels::count(image, canvas, kNoteBackground) > 300000 &&
               ScreenPixels::count(image, canvas, kTeacherNoteInk) > 2000;
    });
    QVERIFY(save(shot, QStringLiteral("program_enote")));
    QVERIFY(!shot.isNull());
    // The page's background under its title band.
    m_notePage = ScreenPixels::box(shot, canvas, kNoteBackground).adjusted(0, -kTitleBand, 0, 0);
    QCOMPARE(m_notePage.size(), kNotePage);
    // Synchronised once: nothing more is asked for.
    QTest::qWait(200);
    QCOMPARE(m_images.received(), QByteArray("sync@enote#query#0sync@enote#ready#0"));
    QCOMPARE(lessonFrames(), (QList<QByteArray>{"query@enote#pageindex", "sync@enote#0"}));
}

void TestProgram::penChosenOnTheBookDrawsOnTheNotes()
{
    QVERIFY(!m_notePage.isEmpty());
    const QRect canvas = canvasArea(m_screen);
    m_teacher.clearFrames();
    QVERIFY(m_teacher.sendFrame("query@", "status#ebook"));
    QVERIFY(waitForFrame("status@ebook"));
    QVERIFY(!waitForScreen([&](const QImage &image) {
                 return ScreenPixels::count(image, canvas, kSecondPageBox) > 20000;
             }).isNull());
    QVERIFY(m_program.click(toolbarButton(kPenButton)));

    // The class moves on to the notes, sharing.
    m_teacher.clearFrames();
    QVERIFY(m_teacher.sendFrame("query@", "status#enote"));
    QVERIFY(waitForFrame("status@enote"));
    QVERIFY(m_teacher.sendFrame("share@", "1"));
    QVERIFY(waitForFrame("share@1"));
    QVERIFY(!waitForScreen([&](const QImage &image) {
                 return ScreenPixels::count(image, canvas, kNoteBackground) > 300000;
             }).isNull());

    // A line across the page between the teacher's ink and the lower half.
    const PenPath path = zigzag(m_notePage, QPoint(150, 260), 6, 80, 25);
    const QRect &drawn = path.area;
    const int darkBefore = ScreenPixels::count(ProgramRunner::grabScreen(), drawn, Qt::black, 60);
    m_teacher.clearFrames();
    QVERIFY(m_program.drag(path.points));
    const QImage shot = waitForScreen([&](const QImage &image) {
        return ScreenPixels::count(image, drawn, Qt::black, 60) > darkBefore + 400;
    });
    QVERIFY2(!shot.isNull(), "no ink on the note page");
    QVERIFY(save(shot, QStringLiteral("program_pen_from_the_book")));
    QVERIFY(m_teacher.waitUntil(
        [this] { return !lessonFrames().isEmpty() && lessonFrames().first().startsWith("line@"); },
        kStepMs));
    // On note page 0, from the first point of the line in page coordinates.
    const QByteArray line = lessonFrames().first();
    QVERIFY2(line.startsWith("line@enote&0&3#0,0,0,255#3#"), line.constData());
    const QPointF first = firstStrokePoint(line);
    QVERIFY2(qAbs(first.x() - 150) <= 2 && qAbs(first.y() - 235) <= 2, line.constData());

    QVERIFY(m_teacher.sendFrame("share@", "0"));
    QVERIFY(waitForFrame("share@0"));
    QVERIFY(!waitForScreen([&](const QImage &image) {
                 return image.copy(kShareIndicator) == m_loginScreen.copy(kShareIndicator);
             }).isNull());
}

// The teacher announces a new page's picture and never sends it. Once that sync is given up
// (10 s without progress), the next page still comes with its picture.
void TestProgram::stalledNoteImageSparesTheNextPage()
{
    QVERIFY(!m_notePage.isEmpty());
    const QColor background(120, 200, 255);
    QImage picture(kNotePage, QImage::Format_RGB32);
    picture.fill(background);
    QByteArray png;
    QBuffer buffer(&png);
    QVERIFY(buffer.open(QIODevice::WriteOnly) && picture.save(&buffer, "PNG"));
    const QByteArray size =
        QByteArray::number(kNotePage.width()) + ',' + QByteArray::number(kNotePage.height());
    const QByteArray announced = size + ",1," + QByteArray::number(png.size());
    const auto asked = [this](const QByteArray &request, int timeoutMs = kStepMs) {
        return m_images.waitUntil([&] { return m_images.received().endsWith(request); }, timeoutMs);
    };
    m_images.clearReceived();
    m_teacher.clearFrames();
    QVERIFY(m_teacher.sendFrame("query@", "enote#add#" + size + "#1"));
    QVERIFY(asked("sync@enote#query#1"));
    QVERIFY(m_images.write("sync@enote#1#" + announced));
    QVERIFY(waitForFrame("sync@enote#1"));
    QVERIFY(asked("sync@enote#ready#1"));
    QVERIFY(m_teacher.sendFrame("sync@", "enote#end"));
    QVERIFY(m_teacher.sendFrame("query@", "enote#add#" + size + "#1"));

    QVERIFY(asked("sync@enote#query#2", 10000 + kStepMs));
    QVERIFY(m_images.write("sync@enote#2#" + announced));
    QVERIFY(waitForFrame("sync@enote#2"));
    QVERIFY(asked("sync@enote#ready#2"));
    QVERIFY(m_images.write(png));
    QVERIFY(m_teacher.sendFrame("sync@", "enote#end"));
    const QRect canvas = canvasArea(m_screen);
    const QImage shot = waitForScreen([&](const QImage &image) {
        return ScreenPixels::count(image, canvas, background) > 300000;
    });
    QVERIFY(save(shot, QStringLiteral("program_enote_after_stall")));

    // Back on page 0, which is up to date: nothing is asked for.
    m_images.clearReceived();
    QVERIFY(m_teacher.sendFrame("query@", "enote#pageindex#0"));
    QVERIFY(!waitForScreen([](const QImage &image) {
                 return ScreenPixels::count(image, image.rect(), kNoteBackground) > 300000 &&
                        ScreenPixels::count(image, image.rect(), kTeacherNoteInk) > 2000;
             }).isNull());
    QCOMPARE(m_images.received(), QByteArray());
}

void TestProgram::studentStrokeReachesTheTeacher()
{
    QVERIFY(!m_notePage.isEmpty());
    m_teacher.clearFrames();
    QCOMPARE(ProgramRunner::grabScreen().copy(kShareIndicator),
             m_loginScreen.copy(kShareIndicator));
    QVERIFY(m_teacher.sendFrame("share@", "1"));
    QVERIFY(waitForFrame("share@1"));
    // The share indicator comes up beside the hands-up button.
    QVERIFY(!waitForScreen([&](const QImage &image) {
                 return image.copy(kShareIndicator) != m_loginScreen.copy(kShareIndicator);
             }).isNull());
    QVERIFY(m_program.click(toolbarButton(kPenButton)));

    // A wave across the lower half of the note page.
    const PenPath path = zigzag(m_notePage, QPoint(100, 400), 12, 50, 60);
    const QRect &drawn = path.area;
    const int darkBefore = ScreenPixels::count(ProgramRunner::grabScreen(), drawn, Qt::black, 60);
    m_teacher.clearFrames();
    QVERIFY(m_program.drag(path.points));

    QVERIFY(m_teacher.waitUntil(
        [this] {
            for (const QByteArray &frame : lessonFrames()) {
                if (frame.startsWith("line@"))
                    return true;
            }
            return false;
        },
        kStepMs));
    QByteArray line;
    for (const QByteArray &frame : lessonFrames()) {
        if (frame.startsWith("line@"))
            line = frame;
    }
    // On note page 0, black, with the points of the path in page coordinates.
    QVERIFY2(line.startsWith("line@enote&0&3#0,0,0,255#"), line.constData());
    const QList<QByteArray> points = line.mid(line.lastIndexOf('#') + 1).split(' ');
    QVERIFY2(points.size() >= 3, line.constData());
    const QList<QByteArray> first = points.first().split(',');
    QCOMPARE(first.size(), 2);
    QVERIFY2(qAbs(first.at(0).toDouble() - 100) <= 2 && qAbs(first.at(1).toDouble() - 340) <= 2,
             points.first().constData());

    const QImage shot = waitForScreen([&](const QImage &image) {
        return ScreenPixels::count(image, drawn, Qt::black, 60) > darkBefore + 600;
    });
    QVERIFY(save(shot, QStringLiteral("program_student_stroke")));
    QVERIFY(!shot.isNull());
}

void TestProgram::chat()
{
    m_teacher.clearFrames();
    QVERIFY(m_teacher.sendFrame("chat@", "Open page 2, please & show me"));
    const QRect view = m_program.waitForWindowOfSize(kChatSize, kStepMs);
    QVERIFY(!view.isEmpty());
    QCOMPARE(view.center(), m_screen.center());
    QVERIFY(
        save(waitForScreen([](const QImage &) { return true; }), QStringLiteral("program_chat")));

    // The input line sits at the bottom left of the view.
    QVERIFY(m_program.click(view.bottomLeft() + QPoint(60, -30)));
    QVERIFY(m_program.type(QStringLiteral("Done #2")));
    QVERIFY(m_program.key(QStringLiteral("Return")));
    QVERIFY(waitForFrame("chat@Done #2"));
    QVERIFY(save(ProgramRunner::grabScreen(), QStringLiteral("program_chat_answered")));

    QVERIFY(m_teacher.sendFrame("closechat@", ""));
    QVERIFY(FakePeer::waitUntil([&] { return !hasWindowOfSize(kChatSize); }, kStepMs));
    QCOMPARE(lessonFrames(), QList<QByteArray>{"chat@Done #2"});
}

// Megabytes of chat, then messages of nothing but line breaks, more than the chat view could
// lay out: the heartbeat behind them is answered in a step's time, the chat shows.
void TestProgram::chatFloodKeepsTheProgramAnswering()
{
    m_teacher.clearFrames();
    const QByteArray word(2 * 1024 * 1024, 'w');
    for (int i = 0; i < 3; ++i)
        QVERIFY(m_teacher.sendFrame("chat@", word));
    const QByteArray lines(4000, '\n');
    for (int i = 0; i < 120; ++i)
        QVERIFY(m_teacher.sendFrame("chat@", lines));
    QVERIFY(m_teacher.sendFrame("heart@", ""));
    QVERIFY(waitForFrame("heart@student"));
    const QRect view = m_program.waitForWindowOfSize(kChatSize, kStepMs);
    QVERIFY(!view.isEmpty());
    QVERIFY(save(ProgramRunner::grabScreen(), QStringLiteral("program_chat_flood")));
    QVERIFY(m_teacher.sendFrame("closechat@", ""));
    QVERIFY(FakePeer::waitUntil([&] { return !hasWindowOfSize(kChatSize); }, kStepMs));
    QCOMPARE(lessonFrames(), QList<QByteArray>{"heart@student"});
}

void TestProgram::lockAndRelease()
{
    m_teacher.clearFrames();
    QVERIFY(m_teacher.sendFrame("lockscreen@", "1#Eyes on the board"));
    QVERIFY(waitForFrame("lockscreen@1"));
    const QImage locked = waitForScreen(mostlyBlack);
    QVERIFY(save(locked, QStringLiteral("program_locked")));
    // The message is written in white on the black screen.
    QVERIFY(ScreenPixels::count(locked, locked.rect(), Qt::white, 30) > 500);
    const QRect lockText = ScreenPixels::box(locked, locked.rect(), Qt::white, 30);

    // A warning shows over the lock; when it has blinked its time, the lock is back on top.
    QVERIFY(m_teacher.sendFrame("warning@", "Sit down"));
    const QImage warned = waitForScreen([&](const QImage &image) {
        return mostlyBlack(image) &&
               ScreenPixels::count(image, image.rect(), Qt::white, 30) > 300 &&
               ScreenPixels::box(image, image.rect(), Qt::white, 30) != lockText;
    });
    QVERIFY(save(warned, QStringLiteral("program_warning_over_lock")));
    const QImage relocked = waitForScreen(
        [&](const QImage &image) {
            return mostlyBlack(image) &&
                   ScreenPixels::box(image, image.rect(), Qt::white, 30) == lockText;
        },
        6000 + kStepMs);
    QVERIFY(!relocked.isNull());

    QVERIFY(m_teacher.sendFrame("lockscreen@", "0"));
    QVERIFY(waitForFrame("lockscreen@0"));
    const QImage released = waitForScreen([](const QImage &image) {
        return !mostlyBlack(image) &&
               ScreenPixels::count(image, image.rect(), kNoteBackground) > 300000;
    });
    QVERIFY(!released.isNull());
    QCOMPARE(lessonFrames(), (QList<QByteArray>{"lockscreen@1", "lockscreen@0"}));
}

void TestProgram::exitQuestionUnderTheLock()
{
    // The exit question is open (login screen, Exit) when the teacher locks the screen.
    QVERIFY(m_program.click(toolbarButton(1)));
    QVERIFY(!waitForScreen([&](const QImage &image) {
                 return image.copy(kLoginBackground) == m_loginScreen.copy(kLoginBackground);
             }).isNull());
    QVERIFY(m_program.click(LoginLayout(m_screen).exit));
    QRect question;
    QVERIFY(FakePeer::waitUntil(
        [&] {
            for (const QRect &window : m_program.windows()) {
                if (window.size() != m_screen.size())
                    question = window;
            }
            return !question.isEmpty();
        },
        kStepMs));
    m_teacher.clearFrames();
    QVERIFY(m_teacher.sendFrame("lockscreen@", "1#Hands off"));
    QVERIFY(waitForFrame("lockscreen@1"));
    QVERIFY(!waitForScreen(mostlyBlack).isNull());

    // Every key that could answer it goes nowhere while the lock shows.
    for (const char *key : {"Return", "space", "y", "alt+y", "KP_Enter"})
        QVERIFY(m_program.key(QString::fromLatin1(key)));
    QTest::qWait(500);
    QVERIFY(m_program.isRunning());
    QVERIFY(mostlyBlack(ProgramRunner::grabScreen()));

    // Released, the question is still there; answered No, the program goes on.
    QVERIFY(m_teacher.sendFrame("lockscreen@", "0"));
    QVERIFY(waitForFrame("lockscreen@0"));
    QVERIFY(!waitForScreen([](const QImage &image) { return !mostlyBlack(image); }).isNull());
    QVERIFY(m_program.windows().contains(question));
    QVERIFY(m_program.click(question.topLeft() + QPoint(20, 20)));
    QVERIFY(m_program.key(QStringLiteral("Escape")));
    QVERIFY(FakePeer::waitUntil([&] { return !m_program.windows().contains(question); }, kStepMs));
    QVERIFY(m_program.isRunning());

    // Back to the teacher's note.
    QVERIFY(m_teacher.sendFrame("query@", "status#enote"));
    QVERIFY(waitForFrame("status@enote"));
    QVERIFY(!waitForScreen([](const QImage &image) {
                 return ScreenPixels::count(image, image.rect(), kNoteBackground) > 300000;
             }).isNull());
}

void TestProgram::vote()
{
    m_teacher.clearFrames();
    QVERIFY(m_teacher.sendFrame("vote@", "1"));
    const QRect view = m_program.waitForWindowOfSize(kVoteSize, kStepMs);
    QVERIFY(!view.isEmpty());
    QVERIFY(
        save(waitForScreen([](const QImage &) { return true; }), QStringLiteral("program_vote")));

    // Digits 1 to 3 in the first row of buttons, 4 to 6 in the second, Send below them; the
    // answer shows above them.
    const QRect answer(view.topLeft() + QPoint(25, 24), QSize(200, 56));
    QVERIFY(m_program.click(view.topLeft() + QPoint(205, 132)));
    QVERIFY(save(waitForScreen([&](const QImage &image) {
                     return ScreenPixels::count(image, answer, Qt::white, 55) >
                                answer.width() * answer.height() / 2 &&
                            ScreenPixels::count(image, answer, Qt::black, 60) > 30;
                 }),
                 QStringLiteral("program_vote_chosen")));
    QVERIFY(m_program.click(view.topLeft() + QPoint(125, 315)));
    QVERIFY(waitForFrame("vote@3"));
    QVERIFY(m_teacher.sendFrame("vote@", "0"));
    QVERIFY(FakePeer::waitUntil([&] { return !hasWindowOfSize(kVoteSize); }, kStepMs));
    QCOMPARE(lessonFrames(), QList<QByteArray>{"vote@3"});
}

// A book of more than a thousand pages, already in the local book folder: the student follows
// the teacher to its last page, and past it is told so and stays in the lesson.
void TestProgram::lastPageOfALongBook()
{
    const int pages = 1200;
    PdfFixtures::Page small;
    small.width = small.height = 72; // 64 x 64 pixels on screen
    QList<PdfFixtures::Page> book;
    for (int i = 0; i < pages; ++i)
        book << small;
    book.last().box = QRectF(0, 0, 72, 72);
    book.last().colour = kFirstPageBox;
    QVERIFY(PdfFixtures::write(m_program.dataRoot() + QStringLiteral("localBook/long.pdf"), book));
    m_teacher.clearFrames();
    QVERIFY(m_teacher.sendFrame("query@", "status#ebook"));
    QVERIFY(waitForFrame("status@ebook"));
    QVERIFY(m_teacher.sendFrame("query@", "ebook#bookpath#books/long.pdf"));
    // While the book opens, the teacher goes to its last page and writes there: the program
    // goes there, with the ink on it, once the page is in.
    const QByteArray last = QByteArray::number(pages - 1);
    QVERIFY(m_teacher.sendFrame("query@", "ebook#pageindex#" + last));
    QVERIFY(m_teacher.sendFrame("line@", "ebook&" + last + '&' +
                                             strokeText(kTeacherBookInk, 2, {{4, 4}, {60, 4}})));
    QVERIFY(waitForFrame("sync@ebook#" + last, 60000));
    QVERIFY(waitForFrame("query@ebook#pageindex", 60000));
    const QRect canvas = canvasArea(m_screen);
    QImage shot = waitForScreen([&](const QImage &image) {
        return ScreenPixels::count(image, canvas, kFirstPageBox) > 60 * 60 &&
               ScreenPixels::count(image, canvas, kTeacherBookInk) > 50;
    });
    QVERIFY(save(shot, QStringLiteral("program_ink_before_its_page")));
    m_teacher.clearFrames();
    QVERIFY(m_teacher.sendFrame("query@", "ebook#pageindex#" + last));
    QVERIFY(waitForFrame("sync@ebook#" + last));

    // Past the last page: a notice over the page, no page change.
    QVERIFY(m_teacher.sendFrame("query@", "ebook#pageindex#" + QByteArray::number(pages)));
    shot = waitForScreen([&](const QImage &image) {
        return ScreenPixels::count(image, canvas, QColor(50, 50, 50), 12) > 10000 &&
               ScreenPixels::count(image, canvas, kFirstPageBox) > 60 * 60;
    });
    QVERIFY(save(shot, QStringLiteral("program_past_the_book")));
    QVERIFY(m_teacher.sendFrame("query@", "ebook#pageindex#0"));
    QVERIFY(waitForFrame("sync@ebook#0"));
    QVERIFY(!lessonFrames().contains("sync@ebook#" + QByteArray::number(pages)));
}

void TestProgram::kick()
{
    QVERIFY(!m_loginScreen.isNull());
    QVERIFY(m_teacher.sendFrame("kick@", "1"));
    // Frames are handled in turn: the kick is, once the heartbeat after it is answered.
    QVERIFY(m_teacher.sendFrame("heart@", ""));
    QVERIFY(waitForFrame("heart@student"));
    m_teacher.closeConnection();
    // Back on the login screen, offline; the program itself goes on.
    const QRect status(0, 0, 70, kToolbarHeight);
    const QImage shot = waitForScreen([&](const QImage &image) {
        for (const QRect &area : {status, kLoginBackground, kShareIndicator}) {
            if (image.copy(area) != m_loginScreen.copy(area))
                return false;
        }
        return true;
    });
    QVERIFY(save(shot, QStringLiteral("program_kicked")));
    QVERIFY(!shot.isNull());
    QVERIFY(m_program.isRunning());
}

void TestProgram::cleanupTestCase()
{
    m_program.stop();
}

QImage TestProgram::waitForScreen(const std::function<bool(const QImage &)> &check, int timeoutMs)
{
    QImage shot;
    const bool ok = FakePeer::waitUntil(
        [&] {
            shot = ProgramRunner::grabScreen();
            return check(shot);
        },
        timeoutMs);
    if (!ok) {
        save(shot, QStringLiteral("program_failed"));
        return QImage();
    }
    return shot;
}

QList<QByteArray> TestProgram::lessonFrames() const
{
    QList<QByteArray> frames;
    for (const QByteArray &frame : m_teacher.frameTexts()) {
        if (!frame.startsWith("battery@"))
            frames << frame;
    }
    return frames;
}

bool TestProgram::waitForFrame(const QByteArray &text, int timeoutMs)
{
    const bool ok =
        m_teacher.waitUntil([&] { return m_teacher.frameTexts().contains(text); }, timeoutMs);
    if (!ok)
        qWarning() << "frames so far:" << m_teacher.frameTexts();
    return ok;
}

bool TestProgram::save(const QImage &shot, const QString &name)
{
    return !shot.isNull() && shot.save(TestArtifacts::path(name));
}

bool TestProgram::hasWindowOfSize(const QSize &size) const
{
    for (const QRect &window : m_program.windows()) {
        if (window.size() == size)
            return true;
    }
    return false;
}

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
