#pragma once

#include <functional>

class QDialog;

// Every modal window of the program is shown through here, so tests can act inside it.
namespace ModalRunner {

// Shows the dialog modally and returns when it closes.
int exec(QDialog &dialog);

// Tests only: instead of waiting for the user, the dialog is shown, the hook runs with it,
// and the dialog is closed if the hook left it open.
using Hook = std::function<void(QDialog &)>;
void setHook(Hook hook);

} // namespace ModalRunner
