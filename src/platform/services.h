#pragma once

class Clock;
class FileDialogs;
class FileSystem;
class MciDevice;
class MediaPlayerFactory;
class MessageBoxes;
class MousePointer;
class Printer;
class Shutdown;
class SpreadsheetFactory;

// The outside world as the windows reach it. The program builds the real ones; tests pass fakes.
struct Services
{
    FileSystem &fileSystem;
    Clock &clock;
    MessageBoxes &messageBoxes;
    FileDialogs &fileDialogs;
    MousePointer &mousePointer;
    Shutdown &shutdown;
    MediaPlayerFactory &mediaPlayers;
    MciDevice &mci;
    Printer &printer;
    SpreadsheetFactory &spreadsheets;
};
