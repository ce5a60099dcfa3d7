#pragma once

#include "platform/shell.h"

#include <QStringList>

// Remembers what it was asked to open.
class FakeShell final : public pennoro::Shell {
public:
    void open(const QString& target) override { opened.append(target); }

    QStringList opened;
};
