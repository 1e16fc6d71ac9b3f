#pragma once

#include <QList>
#include <QMap>
#include <QStringList>

#include <functional>

class QDialog;

// How a test answers the modal windows its code opens: each opening of a window takes the next
// action given for its object name; a window with no action left closes as if the owner
// closed it. Every window opened is noted.
class ModalScript
{
public:
    using Action = std::function<void(QDialog &)>;

    ModalScript();
    ~ModalScript();
    ModalScript(const ModalScript &) = delete;
    ModalScript &operator=(const ModalScript &) = delete;

    // The next opening of the window of that name runs action.
    void on(const QString &name, Action action);
    // Forgets the actions left for that name.
    void clear(const QString &name);

    QStringList opened;   // object names, in the order the windows opened
    QStringList captions; // their captions

private:
    void run(QDialog &dialog);

    QMap<QString, QList<Action>> m_actions;
};
