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

QString& lockPath() {
    // In /tmp rather than the user's temporary folder: the lock is shared by
    // every program on the computer, whoever runs it.
    static QString path = QStringLiteral("/tmp/zemt-report-data-communication.lock");
    return path;
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
    const QByteArray native = m_path.toLocal8Bit();
    const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        throw EReportError(QStringLiteral("Cannot open the report lock file \"%1\". %2")
                               .arg(m_path, QString::fromLocal8Bit(std::strerror(errno)))
                               .toStdString());
    ::fchmod(fd, 0666); // other users' programs share this lock
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
