#pragma once

#include <QSize>
#include <QString>

class QWidget;
struct BatchRecord;
struct Services;
struct SharedState;

// The dialogs of manager mode that bulk registration opens modally.

// reg_by_filename_addSinger, with the singer's name filled in.
void openRegByFilenameAddSinger(SharedState &state, Services &services, QSize screen, QWidget *parent,
                                const QString &name);
// batch_singer_add for the record's singer; the owner may correct the record's singer name.
void openBatchSingerAdd(SharedState &state, Services &services, QSize screen, QWidget *parent, BatchRecord &record);
// batch_same for the record, which decides what is stored.
void openBatchSame(SharedState &state, Services &services, QSize screen, QWidget *parent, BatchRecord &record);
