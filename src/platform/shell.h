#pragma once

#include <QString>
#include <QUrl>

namespace pennoro {

// Hands a web address, a mail link or a local file to the program the user has chosen for it.
class Shell {
public:
    virtual ~Shell() = default;

    // Fire and forget: whether a program took the address is not reported.
    virtual void open(const QString& target) = 0;

    // A local file (QUrl::fromLocalFile) in the program chosen for its type; false when no
    // program could be started for it.
    virtual bool openFile(const QUrl& file) = 0;
};

// Through the desktop's own URL handlers.
class QtShell final : public Shell {
public:
    void open(const QString& target) override;
    bool openFile(const QUrl& file) override;
};

} // namespace pennoro
