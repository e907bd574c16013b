#ifndef IMPORTPDF_H
#define IMPORTPDF_H

#include "pdf/ImportAdpter.h"

// Imports a PDF book: makes its book folder and renders its pages on the global thread pool.
class ImportPdf : public ImportAdpter
{
public:
    ImportPdf() = default;
    ~ImportPdf() override;

    void importFile(const QString &path, const QString &text) override;
};

#endif // IMPORTPDF_H
