#pragma once

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>

// Runs as "nobody" while it lives, when the test runs as root, so that file permissions bind,
// for the system calls and for Qt's own access checks. Root stays the saved user id.
class AsUnprivilegedUser {
public:
    AsUnprivilegedUser()
    {
        const passwd* nobody = geteuid() == 0 ? getpwnam("nobody") : nullptr;
        if (!nobody || setresgid(nobody->pw_gid, nobody->pw_gid, 0) != 0)
            return;
        active_ = setresuid(nobody->pw_uid, nobody->pw_uid, 0) == 0;
        if (!active_)
            setresgid(0, 0, 0);
    }
    ~AsUnprivilegedUser()
    {
        if (active_ && setresuid(0, 0, 0) == 0)
            setresgid(0, 0, 0);
    }
    bool bound() const { return active_ || geteuid() != 0; }

private:
    bool active_ = false;
};
#endif
