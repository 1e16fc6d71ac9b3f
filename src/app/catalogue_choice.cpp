#include "app/catalogue_choice.h"

#include "catalogue/local_catalogue.h"
#include "core/shared_state.h"
#include "venue/venue_room.h"

CatalogueChoice::CatalogueChoice(SharedState &state)
    : m_state(state)
    , m_venue(VenueRoom::forRoom(state))
{
    if (m_venue) {
        m_state.catalogueStore = &m_venue->store();
        return;
    }
    m_local = std::make_unique<LocalCatalogue>(state.db());
    m_state.catalogueStore = m_local.get();
}

CatalogueChoice::~CatalogueChoice()
{
    m_state.catalogueStore = nullptr;
}

CatalogueStoreMaker CatalogueChoice::storeMaker() const
{
    return m_venue ? m_venue->storeMaker() : LocalCatalogue::maker();
}
