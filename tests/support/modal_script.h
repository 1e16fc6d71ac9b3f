#pragma once

#include "platform/modal_runner.h"

#include <QDialog>
#include <QList>
#include <QMap>
#include <QStringList>

#include <functional>

// How a test answers the modal windows its code opens: each opening of a window takes the next
// action given for its object name; a window with no action left closes as if the owner
// closed it. Every window opened is noted.
class ModalScript
{
public:
    using Action = std::function<void(QDialog &)>;

    ModalScript()
    {
        ModalRunner::setHook([this](QDialog &dialog) { run(dialog); });
    }
    ~ModalScript() { ModalRunner::setHook({}); }
    ModalScript(const ModalScript &) = delete;
    ModalScript &operator=(const ModalScript &) = delete;

    // The next opening of the window of that name runs action.
    void on(const QString &name, Action action) { m_actions[name].append(std::move(action)); }
    // Forgets the actions left for that name.
    void clear(const QString &name) { m_actions.remove(name); }

    QStringList opened;   // object names, in the order the windows opened
    QStringList captions; // their captions

private:
    void run(QDialog &dialog)
    {
        opened.append(dialog.objectName());
        captions.append(dialog.windowTitle());
        const auto found = m_actions.find(dialog.objectName());
        if (found == m_actions.end() || found->isEmpty())
            return;
        // Taken out first: the action may queue further actions for the same name while it runs.
        const Action action = found->takeFirst();
        action(dialog);
    }

    QMap<QString, QList<Action>> m_actions;
};
