#pragma once

#include <QString>

#include <array>

// The values read from Setting.ini. Key codes are kept as the decimal text of their number,
// as the file gives them; folders are absolute (a relative folder is taken inside AppPath).
struct Settings
{
    int SmallScreenTop = 200;
    int SmallScreenLeft = 700;
    QString RecordPath;
    QString pathCDROM;
    QString pathMusic;
    QString ExtMusic = QStringLiteral("mp3,wav,mid,cda");
    QString pathPicture;
    QString ExtPicture = QStringLiteral("jpg,bmp");
    QString ExtPictureMov = QStringLiteral("avi,mpg,mpeg,dat");

    QString keyDevide = QStringLiteral("47");
    QString keyMultiplication = QStringLiteral("42");
    QString keyMinus = QStringLiteral("45");
    QString keyPlus = QStringLiteral("43");
    QString keyEnter = QStringLiteral("13");
    QString keyDot = QStringLiteral("46");
    // "ManagerPin = digits", a line the owner adds by hand (the program never writes it):
    // the manager button then asks for these digits first. Empty: no lock.
    QString ManagerPin;
    // Phone ordering, from lines the owner adds by hand (never written by the program):
    // "PhoneOrdering = 0" turns it off; PhonePort (8080 when absent), PhoneListen (an address of
    // this machine, all of them when absent) and PhoneToken (a fixed token for printed table
    // cards, a new random one at every start when absent). Checked where they are used.
    // "PhoneOwnerActions = 1" lets every phone skip, pause and change anyone's songs without
    // ManagerPin, for a home where everyone is the owner.
    QString PhoneOrdering;
    QString PhonePort;
    QString PhoneListen;
    QString PhoneToken;
    QString PhoneOwnerActions;
    // Evening out loudness, from lines the owner may add by hand (never written by the program):
    // "LoudnessTarget = -18" is the loudness every measured song plays at, in LUFS;
    // "EvenLoudness = 0" plays every song as its file is.
    double LoudnessTarget = -18;
    int EvenLoudness = 1;
    // A venue's shared catalogue, from lines the owner may add by hand (never written by the
    // program): "CatalogueServer = postgresql://..." (a libpq connection string) makes this
    // room's catalogue a copy of the server's; "MediaRoot = /mnt/songs" is this room's mount of
    // the venue's shared media folder, onto which the server's song paths are mapped.
    QString CatalogueServer;
    QString MediaRoot;

    std::array<QString, 10> keyNum = {QStringLiteral("48"), QStringLiteral("49"), QStringLiteral("50"),
                                      QStringLiteral("51"), QStringLiteral("52"), QStringLiteral("53"),
                                      QStringLiteral("54"), QStringLiteral("55"), QStringLiteral("56"),
                                      QStringLiteral("57")};

    // The hot keys are written into the file for the owner to read, but their values are
    // never read back: the player always uses these codes.
    static constexpr int HotKeySoundChannel1 = 81; // Q
    static constexpr int HotKeySoundChannel2 = 87; // W
    static constexpr int HotKeySoundChannel3 = 69; // E
    static constexpr int HotKeyRecord = 82;        // R
    static constexpr int HotKeyPause = 80;         // P
    static constexpr int HotKeyReplay = 65;        // A
    static constexpr int HotKeyVolIncrease = 88;   // X
    static constexpr int HotKeyVolDecrease = 90;   // Z
};
