#include "platform/modal_runner.h"

#include <QDialog>

namespace {
ModalRunner::Hook &hook()
{
    static ModalRunner::Hook h;
    return h;
}
} // namespace

int ModalRunner::exec(QDialog &dialog)
{
    if (!hook())
        return dialog.exec();
    dialog.setModal(true);
    dialog.show();
    hook()(dialog);
    if (dialog.isVisible())
        dialog.reject();
    return dialog.result();
}

void ModalRunner::setHook(Hook h)
{
    hook() = std::move(h);
}
