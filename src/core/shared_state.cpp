#include "core/shared_state.h"

#include "core/database.h"

SharedState::SharedState() = default;
SharedState::~SharedState() = default;

void SharedState::openCatalogue()
{
    if (!database || database->path() != DbPath)
        database = std::make_unique<Database>(DbPath);
}

const QStringList &songKindNameTable()
{
    static const QStringList names = {"台語", "國語", "客語", "英語", "日語", "兒歌", "其它", "粵語"};
    return names;
}
