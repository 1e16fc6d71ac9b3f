#pragma once

#include "catalogue/catalogue_store.h"

#include <memory>

class LocalCatalogue;
class VenueRoom;
struct SharedState;

// The catalogue's store, chosen once at start from Setting.ini: a venue's catalogue server
// when it names one (CatalogueServer), whose copy the catalogue file then is; otherwise the
// catalogue file itself. It is the state's store while the choice lives.
class CatalogueChoice
{
public:
    explicit CatalogueChoice(SharedState &state);
    ~CatalogueChoice();
    CatalogueChoice(const CatalogueChoice &) = delete;
    CatalogueChoice &operator=(const CatalogueChoice &) = delete;

    // The venue's room, or nullptr without a catalogue server.
    VenueRoom *venue() const { return m_venue.get(); }
    // The same choice for a connection of another thread.
    CatalogueStoreMaker storeMaker() const;

private:
    SharedState &m_state;
    std::unique_ptr<VenueRoom> m_venue;
    std::unique_ptr<LocalCatalogue> m_local;
};
