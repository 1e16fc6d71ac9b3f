#pragma once

#include "phone/phone_request.h"

#include <QByteArray>

#include <optional>

// What a page of another site could ask of the jukebox through a guest's browser is refused:
// a change comes only as JSON (a plain form cannot send it, and a script of another site cannot
// without the jukebox's leave, which it never gives), and a browser's Origin must be the
// jukebox's own address as that browser reached it, an address rather than a name (a name could
// be pointed at this machine by the other site). Requests without Origin come from programs,
// not from a page in a browser. The header values are as received, empty when absent.
std::optional<PhoneRefusal> crossSiteRefusal(const QByteArray &method, const QByteArray &contentType,
                                             const QByteArray &origin, const QByteArray &host);
