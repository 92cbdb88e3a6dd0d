#pragma once
// The report data communication lock: one lock file shared by every program
// on the computer that runs reports, held with flock for the length of a run.
#include <QString>
#include <chrono>

/// An exclusive flock on a lock file; released on destruction.
class TReportLock {
public:
    explicit TReportLock(QString path = defaultPath());
    ~TReportLock();
    TReportLock(const TReportLock&) = delete;
    TReportLock& operator=(const TReportLock&) = delete;

    /// Waits up to `timeout` for the lock, keeping the user interface
    /// responsive. Throws EReportError when the lock file cannot be opened.
    bool acquire(std::chrono::milliseconds timeout);
    void release();
    bool held() const { return m_fd >= 0; }

    /// The lock file every run uses; changeable for tests.
    static QString defaultPath();
    static void setDefaultPath(const QString& path);

private:
    QString m_path;
    int m_fd = -1;
};
