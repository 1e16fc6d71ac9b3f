#include "support/modal_script.h"

#include "platform/modal_runner.h"

#include <QDialog>

ModalScript::ModalScript()
{
    ModalRunner::setHook([this](QDialog &dialog) { run(dialog); });
}

ModalScript::~ModalScript()
{
    ModalRunner::setHook({});
}

void ModalScript::on(const QString &name, Action action)
{
    m_actions[name].append(std::move(action));
}

void ModalScript::clear(const QString &name)
{
    m_actions.remove(name);
}

void ModalScript::run(QDialog &dialog)
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
