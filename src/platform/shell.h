#pragma once

#include <QString>

namespace pennoro {

// Hands a web address or a mail link to the program the user has chosen for it. Fire and
// forget: whether a program took it is not reported.
class Shell {
public:
    virtual ~Shell() = default;

    virtual void open(const QString& target) = 0;
};

// Through the desktop's own URL handlers.
class QtShell final : public Shell {
public:
    void open(const QString& target) override;
};

} // namespace pennoro
