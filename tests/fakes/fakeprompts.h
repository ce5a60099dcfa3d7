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
        if (onMessage)
            onMessage();
    }

    QString saveFileName(const QString& filter) override
    {
        filters.append(filter);
        if (onDialog)
            onDialog();
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }

    QList<Message> messages;
    QStringList filters;       // one entry per dialog shown
    QStringList answers;       // the dialog's answers in turn; none left means cancel
    std::function<void()> onMessage; // runs while a message is "open"
    std::function<void()> onDialog;  // runs while the dialog is "open"
};
