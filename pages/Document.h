#ifndef DOCUMENT_H
#define DOCUMENT_H

#include <QHash>
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include "pages/HSPage.h"

class DisplayPage;
class PrintPdfManager;

// The page files of one e-book or e-note, with the record of the shown page in memory.
class Document : public QObject
{
    Q_OBJECT
public:
    Document();
    ~Document() override;

    void setCurrpage(int index, bool noSave);
    bool saveCurrent();
    void rotateCurrent();
    bool appendPage(HSPage &page);
    bool addBlankPage(int width, int height, bool init);
    bool addPixmapPage(const QPixmap &pixmap, bool init);
    bool addSizedPage(int width, int height);
    // Appends a page whose file (a bare name in the folder) is already written; false when
    // the name is not a plain file name, is listed already or the file is missing.
    bool appendPageFile(const QString &name);
    bool addRecord(int index, const QString &itemText);
    bool resizepage(int index, int width, int height);
    void resetPagesInit();
    void clearAll();
    // Forgets every page, as clearAll, but leaves the files: their paths, for the caller to
    // write again or delete.
    QStringList takePageFiles();
    void removePage(int index);
    bool getPage(int index, HSPage &out);
    // Writes every page into the PDF file at the save path of Settings. A page is written at its
    // size brought within what a PDF page may be, drawn within the page image limit; a page
    // whose file cannot be read, or whose picture cannot be decoded, is written blank, and its
    // index goes to blankPages. False when the PDF could not be written.
    bool exportPdf(QList<int> *blankPages = nullptr);

    int pageCount() const { return m_listPageNames.size(); }
    QString pagePath(int index) const;
    // The held page's file is there but could not be read (damaged): it is shown empty and
    // never saved over. A page whose file is missing is a blank page and is saved as any.
    bool currentUnreadable() const { return m_bCurrUnreadable; }

    int m_nCurrIndex = -1;
    HSPage m_currPage;
    QList<QString> m_listPageNames;
    QString m_strFolder;

private:
    // Size of a blank page whose own size is not known, when no page came before it.
    static constexpr int kBlankPageWidth = 544;
    static constexpr int kBlankPageHeight = 704;
    enum class FileState
    {
        Read,
        Missing,
        Damaged
    };

    bool validIndex(int index) const;
    // Decodes the page's picture once, for the scene's next page to take; false when it has a
    // picture that does not decode, which is then dropped from the page.
    static bool primePicture(DisplayPage &scene, HSPage &page);
    static bool writePdfPage(DisplayPage &scene, PrintPdfManager &writer, HSPage &page,
                             const QSize &size, const QString &imagePath);
    QString nextPageName() const;
    void forgetFile();
    // Page index into page; a missing file reads as the blank page it was added as.
    FileState readPage(int index, HSPage &page) const;
    // Writes page index; a page written is no longer waiting for its file.
    bool writePage(int index, const HSPage &page);

    bool m_bCurrUnreadable = false;
    // What the held page's file holds, as last read or written; -1: not known.
    int m_nFileIndex = -1;
    HSPage m_filePage;
    // Pages whose files could not be written yet, by name: the blank page each stands for
    // (size and init flag; a picture that could not be written is not kept).
    QHash<QString, HSPage> m_unwritten;
};

#endif // DOCUMENT_H
