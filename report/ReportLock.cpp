#include "report/ReportLock.h"
#include "report/ReportErrors.h"

#include <QCoreApplication>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] int throwOpenError(const QString& path, int error) {
    throw EReportError(QStringLiteral("Cannot open the report lock file \"%1\". %2")
                           .arg(path, QString::fromLocal8Bit(std::strerror(error)))
                           .toStdString());
}

QString& lockPath() {
    // In /tmp rather than the user's temporary folder: the lock is shared by
    // every program on the computer, whoever runs it.
    static QString path = QStringLiteral("/tmp/zemt-report-data-communication.lock");
    return path;
}

// Opens the lock file, creating it when nobody has yet. An existing file is
// opened without O_CREAT: in a sticky world-writable folder such as /tmp the
// kernel refuses O_CREAT on a file another account owns (protected_regular),
// even though the file itself may be opened.
int openLockFile(const QString& path) {
    const QByteArray native = path.toLocal8Bit();
    for (int attempt = 0; attempt < 3; ++attempt) {
        int fd = ::open(native.constData(), O_RDWR | O_CLOEXEC);
        if (fd < 0 && errno == EACCES) // flock needs no write access
            fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0 || errno != ENOENT)
            return fd >= 0 ? fd : throwOpenError(path, errno);
        fd = ::open(native.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::fchmod(fd, 0666); // past the umask: other accounts' programs share this lock
            return fd;
        }
        if (errno != EEXIST) // EEXIST: another program created it just now
            return throwOpenError(path, errno);
    }
    return throwOpenError(path, EEXIST);
}

} // namespace

QString TReportLock::defaultPath() {
    return lockPath();
}
void TReportLock::setDefaultPath(const QString& path) {
    lockPath() = path;
}

TReportLock::TReportLock(QString path) : m_path(std::move(path)) {}

TReportLock::~TReportLock() {
    release();
}

bool TReportLock::acquire(std::chrono::milliseconds timeout) {
    if (held())
        return true;
    const int fd = openLockFile(m_path);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            m_fd = fd;
            return true;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            const int err = errno;
            ::close(fd);
            throw EReportError(QStringLiteral("Cannot lock \"%1\". %2")
                                   .arg(m_path, QString::fromLocal8Bit(std::strerror(err)))
                                   .toStdString());
        }
        if (std::chrono::steady_clock::now() >= deadline)
            break;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(20);
    }
    ::close(fd);
    return false;
}

void TReportLock::release() {
    if (m_fd < 0)
        return;
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
    m_fd = -1;
}
