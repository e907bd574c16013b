#ifndef PDFRENDERER_H
#define PDFRENDERER_H

#include <QAtomicInt>
#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QUuid>

class QPainter;

// Abstract page renderer of a PDF document; page numbers are 1-based.
class PDFRenderer : public QObject
{
    Q_OBJECT
public:
    ~PDFRenderer() override;

    virtual bool isValid() const = 0;
    virtual int pageCount() const = 0;
    virtual QSizeF pageSizeF(int page) const = 0;
    virtual int pageRotation(int page) const = 0;
    virtual QString title() const = 0;

    // Shared documents, keyed by id; GUI thread only.
    static PDFRenderer *open(const QUuid &id, const QString &path);
    bool ref();
    void deref();

    void setId(const QUuid &id) { m_id = id; }
    void setData(const QByteArray &data) { m_data = data; }
    void setRef(int ref) { m_nRef.storeRelaxed(ref); }

    QUuid id() const { return m_id; }
    QByteArray data() const { return m_data; }
    int dpi() const { return m_nDpi; }

public slots:
    virtual void render(QPainter *painter, int page, const QRectF &rect) = 0;
    void render(QPainter *painter, int page) { render(painter, page, QRectF()); }

protected:
    PDFRenderer() = default;

    QAtomicInt m_nRef{0};
    QByteArray m_data;
    QUuid m_id;
    int m_nDpi = 96;

private:
    static QMap<QUuid, QPointer<PDFRenderer>> &documents();
};

#endif // PDFRENDERER_H
