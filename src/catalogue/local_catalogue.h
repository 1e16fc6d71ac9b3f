#pragma once

#include "catalogue/catalogue_store.h"
#include "core/scoped_transaction.h"

#include <optional>

// The catalogue file as its own store: a change is one transaction of the file (a savepoint
// inside a group, which is one transaction committed when it ends), and the stroke-order keys
// of what it wrote are made in that same transaction.
class LocalCatalogue : public CatalogueStore
{
public:
    explicit LocalCatalogue(Database &db);
    ~LocalCatalogue() override;

    void change(const std::function<bool(CatalogueRows &)> &write) override;
    void beginGroup() override;
    void endGroup() override;
    bool keepsEachChange() const override { return false; }
    // One program measures its own file: every claim is granted.
    std::unique_ptr<LoudnessClaim> claimLoudness(const SongToMeasure &) override
    {
        return std::make_unique<LoudnessClaim>();
    }

    // Makes a LocalCatalogue for each connection: the choice of a catalogue without a server.
    static CatalogueStoreMaker maker();

private:
    class Rows;

    Database &m_db;
    std::unique_ptr<Rows> m_rows;
    std::optional<ScopedTransaction> m_group;
};
