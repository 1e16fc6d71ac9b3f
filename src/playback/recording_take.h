#pragma once

#include <QObject>
#include <QString>

struct PlaybackContext;

// Where the recording of the guest's singing stands, as the mixer's record key shows it.
enum class TakeState {
    Idle,      // "9錄音"
    Recording, // "錄音中"
    Retaking,  // "重錄": the song is being restarted for a new take under the same name
};

// The take: the guest's singing recorded by the shared Recorder into the record folder while
// a song plays. A take sung to the end is kept; one whose song was cut short is deleted.
class RecordingTake : public QObject
{
    Q_OBJECT

public:
    explicit RecordingTake(PlaybackContext &context);

    bool isRecording() const;
    TakeState state() const { return m_state; }

    // Starts the device recording into a new file named after the head of the queue; again:
    // into the previous take's file, which is replaced. False, and told on the message strip,
    // when the device refuses.
    bool startDevice(bool again);
    // The song has started together with the device: from now on the take runs. (The song's
    // own start passes through states that would end a running take.)
    void begin();
    // The song is about to start again for a new take; the caption says so meanwhile.
    void markRetaking();
    void cancelRetaking();
    // Ends the running take and keeps it.
    void end();
    // Ends the running take and deletes it.
    void discard();
    // The device stopped recording on its own (the capture source went away).
    void deviceFailed(const QString &message);

signals:
    void stateChanged(TakeState state);

private:
    void setState(TakeState state);
    // On NTFS the saved take is moved out and copied back, so that other programs see its
    // final size at once. The moved file is deleted only when the copy is there.
    void copyBackOnNtfs();

    PlaybackContext &m_context;
    TakeState m_state = TakeState::Idle;
};
