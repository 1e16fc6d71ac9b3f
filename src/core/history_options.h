#pragma once

#include <QString>

// The play history's optional lines of Setting.ini, read where the jukebox starts; the program
// never writes them. HistoryDays (how long plays are kept, 365 when absent), RememberKey = 1
// (a song plays in the key it last ended with) and FairTurns = 1 (phone orders take turns).
struct HistoryOptions
{
    static constexpr int kDefaultDays = 365;

    int keepDays = kDefaultDays;
    bool rememberKey = false;
    bool fairTurns = false;

    // From the text of Setting.ini; a HistoryDays that is not a whole number of days from 1 to
    // 36500 keeps the default, and notice (when given) says so.
    static HistoryOptions fromSettingsText(const QString &text, QString *notice = nullptr);
};
