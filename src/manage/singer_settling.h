#pragma once

#include <QString>

#include <optional>

class Database;

// Asks the owner about a singer the catalogue does not know yet (the add-singer dialog).
class MissingSingerDecision
{
public:
    virtual ~MissingSingerDecision() = default;
    // The owner may create the singer, under name or a name corrected in the dialog. Returns
    // the name the owner settled on, or nothing when the dialog was closed without one.
    virtual std::optional<QString> addSinger(const QString &name) = 0;
};

struct SettledSinger
{
    qint64 code = 0;
    QString name;
};

// The singer of that name (trimmed); when the catalogue has none, the owner is asked to add
// it and the singer is looked up again under the name settled on. Nothing when there is still
// no such singer: no song may then be stored. Throws DatabaseError.
std::optional<SettledSinger> settleSinger(Database &db, MissingSingerDecision &decision, const QString &name);
