#pragma once

#include "platform/shell.h"

#include <QStringList>

// Remembers what it was asked to open; a file opens unless told there is no program for it.
class FakeShell final : public pennoro::Shell {
public:
    void open(const QString& target) override { opened.append(target); }

    bool openFile(const QUrl& file) override
    {
        opened.append(file.toString());
        return opensFiles;
    }

    QStringList opened;
    bool opensFiles = true;
};
