// The sound requests as the script engine and the game make them; tests and tools record them.
#pragma once

// Every operation forwards to the sound request of the same name (audio/sound_requests.h);
// a recorder overrides them.
struct SoundRequests {
    virtual ~SoundRequests() = default;
    virtual void playMusic(const char* name);
    virtual void playLoopEffect(const char* name);
    virtual void playVoice(const char* name);
    virtual void playEffect(const char* name);
    virtual void playSystemEffect(const char* name);
    virtual void scheduleVoices(int channel, int first, int last, float shortest, float longest);
    virtual void stopVoiceSchedules();
    virtual void soundTick(float seconds, bool skipping);
};

// The forwarding instance that an engine uses until it is given another.
SoundRequests& realSoundRequests();
