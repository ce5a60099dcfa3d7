#pragma once

#include <QByteArray>
#include <QString>

#ifdef Q_OS_UNIX
#include <QFile>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// The address space the process takes now, in bytes, which RLIMIT_AS bounds.
inline rlim_t addressSpaceInUse()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    return statm.open(QIODevice::ReadOnly)
               ? rlim_t(statm.readAll().split(' ').value(0).toULongLong()) *
                     rlim_t(sysconf(_SC_PAGESIZE))
               : rlim_t(0);
}

// Runs `work` in a child process, for what must not happen to the test itself: a signal that ends
// the process, an address space limit, a call that could wait for ever (the alarm ends it). The
// answer is what `work` gave or, when the child gave none, how it ended.
template <typename Work> QString answerOfChild(Work work)
{
    int channel[2];
    if (pipe(channel) != 0)
        return QStringLiteral("no pipe");
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        alarm(20);
        const QByteArray answer = work();
        const bool told = write(channel[1], answer.data(), answer.size()) == answer.size();
        _exit(told ? 0 : 1);
    }
    close(channel[1]);
    QByteArray answer;
    char buffer[256];
    for (ssize_t got; (got = read(channel[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, got);
    close(channel[0]);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child)
        return QStringLiteral("no child");
    if (WIFSIGNALED(status))
        return QStringLiteral("ended by signal %1").arg(WTERMSIG(status));
    if (WEXITSTATUS(status) != 0)
        return QStringLiteral("exit status %1").arg(WEXITSTATUS(status));
    return QString::fromUtf8(answer);
}
#endif
