#ifndef IMPORTADPTER_H
#define IMPORTADPTER_H

#include <QString>

#include <atomic>

// Imports a file in the background; the owner polls the status flags from any thread.
// The destructor cancels a running import and waits until the worker has let go.
class ImportAdpter
{
public:
    ImportAdpter() = default;
    ImportAdpter(const ImportAdpter &) = delete;
    ImportAdpter &operator=(const ImportAdpter &) = delete;
    virtual ~ImportAdpter();

    virtual void importFile(const QString &path, const QString &text) = 0;

    void clearCancel() { m_bCancel = false; }
    void clearRunning() { m_bRunning = false; }
    void setRunning(bool running) { m_bRunning = running; }
    void requestCancel() { m_bCancel = true; }

    // Opening failed, or the file has no usable page.
    std::atomic<bool> m_bFailed{false};
    // Set by the owner: the worker stops before its next page.
    std::atomic<bool> m_bCancel{false};
    // The worker is rendering pages.
    std::atomic<bool> m_bRunning{false};
    // 0 to 100.
    std::atomic<int> m_nProgress{0};
    // The last run stopped early on a cancel, so it did not import every page.
    std::atomic<bool> m_bCancelled{false};
    // Workers that still hold this adapter.
    std::atomic<int> m_nWorkers{0};
};

#endif // IMPORTADPTER_H
