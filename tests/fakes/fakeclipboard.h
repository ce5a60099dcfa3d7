#pragma once

#include "platform/clipboard.h"

#include <QStringList>

// A clipboard in memory that records each access and can be told to fail.
class FakeClipboard final : public pennoro::Clipboard {
public:
    bool clear() override
    {
        if (fails(QStringLiteral("clear")))
            return false;
        content.reset();
        return true;
    }

    bool setText(const QString& text) override
    {
        if (fails(QStringLiteral("set")))
            return false;
        content = text;
        return true;
    }

    std::optional<QString> text() override
    {
        if (fails(QStringLiteral("get")))
            return std::nullopt;
        return content.value_or(QString());
    }

    std::optional<QString> content; // nothing: the clipboard holds no text
    QStringList log;                // "clear", "set", "get" in the order of access
    QStringList failingAccesses;    // these accesses fail, e.g. {"set"}

private:
    // Logs the access; true when it is to fail.
    bool fails(const QString& access)
    {
        log.append(access);
        return failingAccesses.contains(access);
    }
};
