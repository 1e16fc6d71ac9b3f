#include "core/shared_state.h"

const QStringList &songKindNameTable()
{
    static const QStringList names = {"台語", "國語", "客語", "英語", "日語", "兒歌", "其它", "粵語"};
    return names;
}
