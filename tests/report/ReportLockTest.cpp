// The report lock shared by every account on one computer, under the kernel's
// protection of files in sticky world-writable folders (fs.protected_regular),
// as a stock Debian 12 has it. The test runs as root: it switches the setting
// for its own length and leaves a lock file owned by another account.
#include "report/ReportLock.h"
#include "report/ReportErrors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kSetting = "/proc/sys/fs/protected_regular";

std::string readSetting() {
    std::ifstream in(kSetting);
    std::string value;
    in >> value;
    return value;
}

bool writeSetting(const std::string& value) {
    std::ofstream out(kSetting);
    out << value << '\n';
    out.flush();
    return bool(out);
}

/// Sets fs.protected_regular for the life of the object and puts the old
/// value back afterwards, whatever the test's outcome.
class ProtectedRegular {
public:
    explicit ProtectedRegular(const std::string& value) : m_old(readSetting()) {
        m_ok = !m_old.empty() && writeSetting(value) && readSetting() == value;
    }
    ~ProtectedRegular() {
        if (!m_old.empty())
            writeSetting(m_old);
    }
    bool ok() const { return m_ok; }

private:
    std::string m_old;
    bool m_ok = false;
};

} // namespace

TEST(ReportLock, AnotherAccountsLockFileInAStickyFolderIsUsed) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to change fs.protected_regular";
    const passwd* nobody = getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    ProtectedRegular setting("2");
    if (!setting.ok())
        GTEST_SKIP() << "fs.protected_regular cannot be set here";

    // A folder like /tmp (owned by root, sticky, writable by all) holding
    // the lock file that a run of another account left there.
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/zemt-lock-XXXXXX"));
    ASSERT_TRUE(dir.isValid());
    const QByteArray folder = dir.path().toLocal8Bit();
    ASSERT_EQ(::chmod(folder.constData(), 01777), 0);
    const QString path = dir.filePath(QStringLiteral("report.lock"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QByteArray native = path.toLocal8Bit();
    ASSERT_EQ(::chmod(native.constData(), 0644), 0); // as another account's umask leaves it
    ASSERT_EQ(::chown(native.constData(), nobody->pw_uid, nobody->pw_gid), 0);

    TReportLock lock(path);
    try {
        EXPECT_TRUE(lock.acquire(std::chrono::milliseconds(0)));
    } catch (const Exception& e) {
        ADD_FAILURE() << e.what(); // "Permission denied" before the mend
    }
    EXPECT_TRUE(lock.held());
    lock.release();

    // A lock file this account creates is open to every other account.
    const QString fresh = dir.filePath(QStringLiteral("fresh.lock"));
    TReportLock creator(fresh);
    ASSERT_TRUE(creator.acquire(std::chrono::milliseconds(0)));
    struct stat st {};
    ASSERT_EQ(::stat(fresh.toLocal8Bit().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666u);
}
