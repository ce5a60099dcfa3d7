#pragma once

#include "platform/prompts.h"

#include <QList>
#include <QStringList>

#include <functional>

// Records every message and answers the save dialog from a script, without a modal loop.
class FakePrompts final : public pennoro::Prompts {
public:
    struct Message {
        QString text;
        QString title;
        Icon icon;
    };

    void message(const QString& text, const QString& title, Icon icon) override
    {
        messages.append({text, title, icon});
    }

    QString saveFileName(const QString& filter) override
    {
        filters.append(filter);
        if (onDialog)
            onDialog();
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }

    // Each message as "title, icon: text", to compare all of a run's messages at once.
    QStringList shown() const
    {
        static const char* const icons[] = {"no icon", "warning", "critical"};
        QStringList lines;
        for (const Message& m : messages)
            lines.append(QStringLiteral("%1, %2: %3")
                             .arg(m.title, QLatin1String(icons[int(m.icon)]), m.text));
        return lines;
    }

    QList<Message> messages;
    QStringList filters;            // one entry per dialog shown
    QStringList answers;            // the dialog's answers in turn; none left means cancel
    std::function<void()> onDialog; // runs while the dialog is "open"
};
