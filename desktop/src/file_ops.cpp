#include "file_ops.hpp"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace oxtarn {

#ifdef Q_OS_WIN

bool renameNoReplace(const QString& from, const QString& to, QString* error) {
    // Without MOVEFILE_REPLACE_EXISTING the move fails when the target exists.
    if (MoveFileExW(reinterpret_cast<const wchar_t*>(from.utf16()), reinterpret_cast<const wchar_t*>(to.utf16()), 0))
        return true;
    if (error) *error = qt_error_string(int(GetLastError()));
    return false;
}

#else

namespace {

bool fail(int code, QString* error) {
    if (error) *error = QString::fromLocal8Bit(std::strerror(code));
    return false;
}

}  // namespace

bool renameNoReplace(const QString& from, const QString& to, QString* error) {
    const QByteArray src = QFile::encodeName(from);
    const QByteArray dst = QFile::encodeName(to);
#if defined(SYS_renameat2)
    // Atomic: fails with EEXIST when the target exists.
    constexpr unsigned kNoReplace = 1;  // RENAME_NOREPLACE
    if (::syscall(SYS_renameat2, AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), kNoReplace) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return fail(errno, error);
#endif
    // File systems without that flag: a hard link also refuses an existing target.
    if (::link(src.constData(), dst.constData()) == 0) {
        if (::unlink(src.constData()) == 0) return true;
        const int code = errno;
        ::unlink(dst.constData());
        return fail(code, error);
    }
    if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP && errno != EXDEV) return fail(errno, error);
    // No hard links either: check, then rename.
    struct stat st {};
    if (::lstat(dst.constData(), &st) == 0) return fail(EEXIST, error);
    if (::rename(src.constData(), dst.constData()) == 0) return true;
    return fail(errno, error);
}

#endif

}  // namespace oxtarn
