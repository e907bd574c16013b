#ifndef XPDFRENDERER_H
#define XPDFRENDERER_H

#include "pdf/PDFRenderer.h"

#include <QElapsedTimer>
#include <QImage>

#include <atomic>
#include <functional>
#include <memory>

class AbortableOutputDev;
class PDFDoc;
class SplashBitmap;

// PDF renderer over Poppler's core: one document, used by one thread at a time.
class XPDFRenderer : public PDFRenderer
{
    Q_OBJECT
public:
    explicit XPDFRenderer(const QString &path);
    ~XPDFRenderer() override;

    bool isValid() const override;
    int pageCount() const override;
    QSizeF pageSizeF(int page) const override;
    int pageRotation(int page) const override;
    QString title() const override;

    // The page at m_nDpi times the scales; an empty rect means the whole page,
    // otherwise rect (pixels at m_nDpi) selects a part. The image owns its pixels.
    // Null when not valid, the page is out of range or the render was aborted.
    QImage pageImage(int page, double xScale, double yScale, const QRectF &rect);
    QImage pageImage(int page);
    // The whole page drawn to fill exactly size pixels, into the renderer's own bitmap, which
    // the next page of the same size draws into again: the image shares those pixels and is
    // valid only until the next render or releaseBitmap. Null as for pageImage.
    QImage sharedPageImage(int page, const QSize &size);
    // Frees the bitmap that sharedPageImage drew into.
    void releaseBitmap();
    // Size of a book page as handed over: two thirds of the page image at m_nDpi, in whole
    // pixels (integer division), brought within PageImageLimit. Empty when out of range.
    QSize bookPageSize(int page) const;

    // Checked while a page renders; returning true aborts it.
    void setAbortCheck(std::function<bool()> check) { m_abortCheck = std::move(check); }
    // Work a page may take to render, as processor time of the thread rendering it (so what
    // else runs on the machine does not count); a page that takes more is aborted. Far past
    // the heaviest real pages, which take a few seconds. Negative: no limit.
    static constexpr int kDefaultPageBudgetMs = 30000;
    void setPageBudget(int ms) { m_nPageBudgetMs = ms; }
    // Whether the page loads: a page tree may claim pages it does not hold.
    bool pageLoads(int page) const;

    // Title bytes of the document information: UTF-16 with a byte-order mark, else UTF-8.
    static QString decodeTitle(const QByteArray &raw);

    // Documents open in the process right now.
    static int openCount() { return sOpenCount.load(); }
    using PDFRenderer::render;
    void render(QPainter *painter, int page, const QRectF &rect) override;

private:
    bool pageInRange(int page) const;
    // Draws the page (or the part of it) into the output device; false when nothing was drawn.
    bool draw(int page, double xScale, double yScale, const QRectF &rect);
    bool usable(SplashBitmap *bitmap) const;
    static bool abortCallback(void *data);
    bool overBudget();

    std::unique_ptr<PDFDoc> m_doc;
    double m_sliceX = 0.0;
    double m_sliceY = 0.0;
    std::unique_ptr<AbortableOutputDev> m_outputDev;
    double m_lastReduction = 1.0; // resolution factor applied to the last image (<= 1)
    bool m_lastAborted = false;
    std::function<bool()> m_abortCheck;
    int m_nPageBudgetMs = kDefaultPageBudgetMs;
    int m_nPage = 0;              // page of the render under way
    QElapsedTimer m_pageClock;    // started as that page starts
    qint64 m_nPageCpuStartMs = 0; // the thread's processor time then
    // The processor time is read once the page's wall-clock time reaches this: it never runs
    // ahead of the wall clock.
    qint64 m_nNextCpuCheckMs = 0;

    static std::atomic<int> sOpenCount;
};

#endif // XPDFRENDERER_H
