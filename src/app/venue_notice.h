#pragma once

#include <QSize>
#include <QString>

class QLabel;
class QWidget;

// The one line at the foot of the jukebox menu that says the room's catalogue does not follow
// the venue's server now (and that the room plays from its own copy); hidden while it does.
QLabel *addVenueNotice(QWidget &menu, QSize screen);
// Shows notice on the line, or hides it for an empty notice. Safe to call from any thread.
void showVenueNotice(QLabel *line, const QString &notice);
