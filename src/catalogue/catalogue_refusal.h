#pragma once

#include "core/database_error.h"

// A change the catalogue does not store, such as a song without a valid number or a singer
// without a name: nothing is written, and the message says why in the owner's words.
class CatalogueRefusal : public DatabaseError
{
public:
    using DatabaseError::DatabaseError;
};

// Throws CatalogueRefusal with problem unless it is empty.
inline void refuseIf(const QString &problem)
{
    if (!problem.isEmpty())
        throw CatalogueRefusal(problem);
}
