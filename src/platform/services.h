#pragma once

class Clock;
class FileDialogs;
class FileSystem;
class MciDevice;
class MediaPlayerFactory;
class MessageBoxes;
class MousePointer;
class Shutdown;

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
};
